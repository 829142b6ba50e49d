// The picture step of a clipboard change: the image pane and the time-stamped files of automatic
// saving, on the simulated platform.

#include "gui_support.h"
#include "images/bmp_reader.h"
#include "images/image_pane.h"
#include "images/picture_control.h"

#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include <chrono>
#include <filesystem>
#include <fstream>

using namespace zub;
using namespace zub::test;
namespace fs = std::filesystem;

namespace {

QImage picture(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    // A mark in one corner, so that a picture upside down or shifted does not pass.
    image.setPixel(0, 0, qRgb(1, 2, 3));
    return image;
}

struct Capture : Window {
    fs::path program = fs::path(folder.path().toStdU16String());
    fs::path pictures = program / u"Zub图像";

    Capture() {
        sim.clock.set(12, 7, 6, 5, 9);
        action("Action15")->trigger(); // automatic capture
    }
    ImagePane* pane() { return form->imagePane(); }
    // Another program copies; the picture is decoded and saved off the window's thread.
    void copy(std::optional<std::string> text, std::optional<QImage> image) {
        sim.copyFromOtherProgram(std::move(text), std::move(image));
        QVERIFY(picturesSettled());
    }
    void saving(bool on) {
        form->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(on);
    }
    QStringList savedFiles() {
        QStringList names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(pictures, error))
            names << QString::fromStdU16String(entry.path().filename().u16string());
        names.sort();
        return names;
    }
    DecodedBitmap saved(const char* name) {
        QFile file(QString::fromStdU16String(
            (pictures / QString::fromUtf8(name).toStdU16String()).u16string()));
        if (!file.open(QIODevice::ReadOnly)) return {};
        const QByteArray bytes = file.readAll();
        return decodeBmp(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    }
};

int displayDepth() {
    return QGuiApplication::primaryScreen()->depth();
}

} // namespace

class PictureCaptureTest : public QObject {
    Q_OBJECT

private slots:
    void aChangeWithTextAndBitmapAddsTheEntryShowsAndSavesThePicture() {
        Capture w;
        w.saving(true);
        const QImage image = picture(900, 700, qRgb(200, 30, 40));
        w.copy(std::string("caption"), image);

        QCOMPARE(w.entries(), Entries({"caption"}));
        QCOMPARE(w.pane()->picture().image().convertToFormat(QImage::Format_RGB32), image);
        // The layout ran: the picture control has the picture's size and the bars reach it.
        QCOMPARE(w.pane()->image1()->size(), QSize(900, 700));
        QCOMPARE(w.pane()->scrollBar1()->maximum(), 900 - w.pane()->panel1()->width());
        QCOMPARE(w.pane()->scrollBar2()->maximum(), 700 - w.pane()->panel1()->height());

        QCOMPARE(w.savedFiles(), QStringList({"12月7日6时05分09秒.bmp"}));
        const DecodedBitmap file = w.saved("12月7日6时05分09秒.bmp");
        QCOMPARE(file.bitsPerPixel, displayDepth() >= 24 ? displayDepth() : 24);
        QCOMPARE(file.image.convertToFormat(QImage::Format_RGB32), image);
        // The program's folder became the current one and stays it.
        QCOMPARE(w.sim.files.currentFolder(), w.program);
        QVERIFY(w.messages().isEmpty());

        // The clipboard keeps its own: the pane's copy is independent of it.
        QCOMPARE(*w.sim.clipboard.bitmap(), image);
    }

    void everyChangeShowsAndSavesAgainAndOneSecondKeepsTheLaterPicture() {
        Capture w;
        w.saving(true);
        // Both copies before either is saved: the saves keep the order of the copies.
        w.sim.copyFromOtherProgram(std::nullopt, picture(4000, 3000, qRgb(0, 0, 255)));
        const QImage later = picture(50, 20, qRgb(0, 255, 0));
        w.copy(std::nullopt, later);
        QCOMPARE(w.pane()->picture().width(), 50);
        QCOMPARE(w.savedFiles(), QStringList({"12月7日6时05分09秒.bmp"}));
        QCOMPARE(w.saved("12月7日6时05分09秒.bmp").image.convertToFormat(QImage::Format_RGB32),
                 later);
        QVERIFY(w.entries().isEmpty());

        // The same picture again, when automatic mode is switched on over it, is a capture too.
        w.action("Action15")->trigger();
        w.sim.clock.set(1, 31, 23, 59, 0);
        w.action("Action15")->trigger();
        QVERIFY(w.picturesSettled());
        QCOMPARE(w.savedFiles(),
                 QStringList({"12月7日6时05分09秒.bmp", "1月31日23时59分00秒.bmp"}));
        QCOMPARE(w.saved("1月31日23时59分00秒.bmp").image.convertToFormat(QImage::Format_RGB32),
                 later);
    }

    void aTwoColourBitmapIsSavedAtOneBitPerPixel() {
        Capture w;
        w.saving(true);
        QImage mono(33, 9, QImage::Format_Mono);
        mono.fill(0);
        mono.setPixel(32, 8, 1);
        w.copy(std::nullopt, mono);
        const DecodedBitmap file = w.saved("12月7日6时05分09秒.bmp");
        QCOMPARE(file.bitsPerPixel, 1);
        QCOMPARE(file.image.convertToFormat(QImage::Format_RGB32),
                 mono.convertToFormat(QImage::Format_RGB32));
    }

    void withSavingOffNothingIsWrittenAndTheFolderStays() {
        Capture w;
        const fs::path before = w.sim.files.currentFolder();
        w.copy(std::nullopt, picture(10, 10, qRgb(9, 9, 9)));
        QCOMPARE(w.pane()->picture().width(), 10);
        QVERIFY(!fs::exists(w.pictures));
        QCOMPARE(w.sim.files.currentFolder(), before);
    }

    void failuresAreShownAndThePictureStaysOnShow() {
        Capture w;
        w.saving(true);
        // The picture folder cannot be made: writing into it fails, with its full name.
        w.sim.files.failCreateFolder(true);
        const QImage image = picture(64, 48, qRgb(5, 6, 7));
        w.copy(std::string("kept"), image);
        QCOMPARE(
            w.messages(),
            QStringList({missingFileMessage("create", w.pictures / u"12月7日6时05分09秒.bmp")}));
        QCOMPARE(w.pane()->picture().image().convertToFormat(QImage::Format_RGB32), image);
        QCOMPARE(w.entries(), Entries({"kept"}));

        // The program's folder cannot be made the current one: the input/output error, and
        // nothing is saved.
        w.sim.files.failCreateFolder(false);
        w.sim.files.failCurrentFolder(EACCES);
        w.copy(std::nullopt, picture(8, 8, qRgb(1, 1, 1)));
        QCOMPARE(w.messages().size(), 2);
        QCOMPARE(w.messages().last(), QStringLiteral("File access denied."));
        QCOMPARE(w.pane()->picture().width(), 8);
        QVERIFY(!fs::exists(w.pictures));
    }

    void aClipboardHeldOpenKeepsThePreviousPicture() {
        Capture w;
        w.copy(std::nullopt, picture(30, 20, qRgb(1, 2, 3)));
        w.sim.clipboard.holdOpen(true);
        w.copy(std::nullopt, picture(60, 40, qRgb(3, 2, 1)));
        QCOMPARE(w.messages(), QStringList({"Cannot open clipboard."}));
        QCOMPARE(w.pane()->picture().width(), 30);
        w.sim.clipboard.holdOpen(false);
    }

    // A save cut short in an earlier run (the program killed) left its temporary file behind;
    // the next run removes it at start, and nothing else.
    void temporaryFilesLeftByEarlierRunsAreRemovedAtStart() {
        QTemporaryDir folder;
        const fs::path pictures = fs::path(folder.path().toStdU16String()) / u"Zub图像";
        fs::create_directory(pictures);
        // Named as each system's saves name their temporary files.
#ifdef _WIN32
        const fs::path leftover = pictures / "zub1A2B.tmp";
#else
        const fs::path leftover = pictures / u".12月7日6时05分09秒.bmp.zub-Ab12Cd";
#endif
        const fs::path kept = pictures / u"12月7日6时05分09秒.bmp";
        for (const fs::path& file : {leftover, kept}) {
            std::ofstream(file, std::ios::binary) << "x";
            fs::last_write_time(file, fs::last_write_time(file) - std::chrono::minutes(10));
        }
        SimPlatform sim;
        sim.files.setExecutableFolder(folder.path().toStdString());
        TForm1 form(sim.services());
        QTRY_VERIFY(!fs::exists(leftover));
        QVERIFY(fs::exists(kept));
    }
};

QTEST_MAIN(PictureCaptureTest)
#include "picture_capture_test.moc"
