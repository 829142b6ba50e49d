// The preview pane of the picture dialogs and its Preview window, offscreen.

#include "../unit/picture_test_files.h"
#include "images/bmp_writer.h"
#include "images/picture_files.h"
#include "platform/qt/picture_preview_pane.h"
#include "platform/qt/picture_preview_window.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace zub;

namespace {

std::string writeBitmap(const QTemporaryDir& folder, const QString& name, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(0, 128, 255));
    const std::string bytes = encodeBmp(image, 24);
    const QString path = folder.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path.toStdString();
}

// Runs `act` on the modal window that the next call opens; a dialog that a failed check left
// open is closed, so that the failure is reported instead of waiting for ever.
template <typename T> void onModal(std::function<void(T*)> act) {
    QTimer::singleShot(0, [act] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        QVERIFY2(window, "no such window");
        act(window);
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

class PicturePreviewTest : public QObject {
    Q_OBJECT

private slots:
    void showsThePictureOfTheSelectedFileOrNone() {
        QTemporaryDir folder;
        const QString small = QString::fromStdString(writeBitmap(folder, "small.bmp", {30, 20}));
        const QString large = QString::fromStdString(writeBitmap(folder, "large.bmp", {600, 300}));
        PicturePreviewPane pane(picturePreview);
        pane.resize(300, 300);
        pane.show();
        QCOMPARE(pane.caption()->text(), QStringLiteral("Picture:"));
        QVERIFY(pane.view()->picture().isNull());
        QCOMPARE(pane.previewButton()->text(), QStringLiteral("Preview"));
        QCOMPARE(pane.previewButton()->toolTip(), QStringLiteral("Preview"));
        QVERIFY(!pane.previewButton()->isEnabled());

        pane.showFile(small);
        QTRY_COMPARE(pane.caption()->text(), QStringLiteral(" (30x20)"));
        QVERIFY(pane.previewButton()->isEnabled());
        // A small picture keeps its size, centred.
        const QRect view = pane.view()->rect();
        QCOMPARE(pane.view()->pictureRect().size(), QSize(30, 20));
        QCOMPARE(pane.view()->pictureRect().center(), view.center());

        // A large one is scaled down to fit, its proportions kept.
        pane.showFile(large);
        QTRY_COMPARE(pane.caption()->text(), QStringLiteral(" (600x300)"));
        const QRect scaled = pane.view()->pictureRect();
        QCOMPARE(scaled.width(), view.width());
        QCOMPARE(scaled.height(), view.width() / 2);
        QVERIFY(qAbs(scaled.center().y() - view.center().y()) <= 1);

        for (const QString& nothing : {folder.path(), folder.filePath("missing.bmp"), QString()}) {
            pane.showFile(nothing);
            QTRY_VERIFY(!pane.isReading());
            QCOMPARE(pane.caption()->text(), QStringLiteral("Picture:"));
            QVERIFY(pane.view()->picture().isNull());
            QVERIFY(!pane.previewButton()->isEnabled());
        }
    }

    // The file is read off the window's thread: a slow one holds nothing, a picture that
    // arrives after the selection moved on is dropped, and a file that once hung the reader for
    // good shows nothing.
    void aSlowOrHostileFileNeverHoldsThePaneAndALateOneIsDropped() {
        QTemporaryDir folder;
        const QString quick = QString::fromStdString(writeBitmap(folder, "quick.bmp", {30, 20}));
        const QString slow = folder.filePath(QStringLiteral("slow.bmp"));
        QFile(slow).open(QIODevice::WriteOnly);
        std::atomic<bool> release{false};
        PicturePreviewPane pane([&](const std::filesystem::path& path) {
            if (path.filename() != "slow.bmp") return picturePreview(path);
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return QImage(70, 70, QImage::Format_RGB32);
        });
        pane.showFile(slow);
        QVERIFY(pane.isReading());
        QCOMPARE(pane.caption()->text(), QStringLiteral("Picture:"));
        pane.showFile(quick);
        release = true;
        QTRY_VERIFY(!pane.isReading());
        QCOMPARE(pane.caption()->text(), QStringLiteral(" (30x20)"));

        // A Windows metafile whose bitmap header says 29 bytes (one byte of a good one changed).
        const QString hostile = folder.filePath(QStringLiteral("hostile.wmf"));
        QFile file(hostile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const std::string bytes =
            test::wmfWithBitmap({50, 30}, QImage(5, 3, QImage::Format_RGB32), 0x1D);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        file.close();
        pane.showFile(hostile);
        QTRY_VERIFY_WITH_TIMEOUT(!pane.isReading(), 60000);
        QCOMPARE(pane.caption()->text(), QStringLiteral("Picture:"));
        QVERIFY(pane.view()->picture().isNull());
        QVERIFY(!pane.previewButton()->isEnabled());
    }

    void thePreviewWindowFitsThePictureAndClosesWithEscape() {
        QTemporaryDir folder;
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        PicturePreviewPane pane(picturePreview);
        for (QSize picture : {QSize(40, 30), QSize(3000, 2000)}) {
            pane.showFile(QString::fromStdString(writeBitmap(folder, "p.bmp", picture)));
            QTRY_VERIFY(pane.previewButton()->isEnabled());
            // What the window shows, looked at while it is open; Esc then closes it.
            QString title;
            Qt::WindowFlags flags;
            bool grip = false;
            QRect geometry;
            QSize shown;
            onModal<PicturePreviewWindow>([&](PicturePreviewWindow* window) {
                title = window->windowTitle();
                flags = window->windowFlags();
                grip = window->isSizeGripEnabled();
                geometry = window->geometry();
                shown = window->view()->picture().size();
                QTest::keyClick(window, Qt::Key_Escape);
            });
            pane.previewButton()->click();
            QCOMPARE(title, QStringLiteral("Preview"));
            QVERIFY(flags & Qt::Tool);
            QVERIFY(grip);
            const QSize most(screen.width() * 3 / 4, screen.height() * 3 / 4);
            const QSize fitted = (picture + QSize(16, 16)).boundedTo(most);
#ifdef _WIN32
            // Windows keeps a window wide enough for its title bar's buttons.
            QCOMPARE(geometry.height(), fitted.height());
            QVERIFY(geometry.width() >= fitted.width());
#else
            QCOMPARE(geometry.size(), fitted);
#endif
            // Centred, give or take what the platform adds around a window: on Windows a title bar
            // above it and the width it adds to a narrow one.
#ifdef _WIN32
            const int slack = 40;
#else
            const int slack = 3;
#endif
            const QPoint off = geometry.center() - screen.center();
            QVERIFY2(qAbs(off.x()) <= slack && qAbs(off.y()) <= slack,
                     qPrintable(QStringLiteral("%1,%2 on %3x%4")
                                    .arg(geometry.x())
                                    .arg(geometry.y())
                                    .arg(screen.width())
                                    .arg(screen.height())));
            QCOMPARE(shown, picture);
            QVERIFY(!QApplication::activeModalWidget());
        }
    }

    void fileDialogsShowThePaneOnlyWhenAskedTo() {
        QTemporaryDir folder;
        const std::string path = writeBitmap(folder, "in.bmp", {30, 20});
        QtDialogs dialogs;
        FileDialogOptions options;
        options.filter = openPictureFilter();
        options.initialFolder = folder.path();
        options.preview = picturePreview;
        bool looked = false;
        onModal<QFileDialog>([&](QFileDialog* dialog) {
            looked = true;
            auto* pane = dialog->findChild<PicturePreviewPane*>();
            QVERIFY(pane);
            QVERIFY(pane->isVisible());
            QCOMPARE(dialog->nameFilters().first(),
                     QStringLiteral("All (*.bmp;*.ico;*.emf;*.wmf) (*.bmp *.ico *.emf *.wmf)"));
            // Selecting a file shows its picture.
            emit dialog->currentChanged(QString::fromStdString(path));
            QTRY_COMPARE(pane->caption()->text(), QStringLiteral(" (30x20)"));
            dialog->reject();
        });
        QCOMPARE(dialogs.openFile(nullptr, options), std::nullopt);
        QVERIFY(looked);

        options.preview = nullptr;
        onModal<QFileDialog>([](QFileDialog* dialog) {
            QVERIFY(!dialog->findChild<PicturePreviewPane*>());
            dialog->reject();
        });
        QCOMPARE(dialogs.saveFile(nullptr, options), std::nullopt);
    }
};

QTEST_MAIN(PicturePreviewTest)
#include "picture_preview_test.moc"
