// The image page: layout, scroll bars, drag-panning, and the open and save picture commands.

#include "gui_support.h"
#include "images/bmp_writer.h"
#include "images/image_pane.h"
#include "images/picture_control.h"

#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>

using namespace zub;
using namespace zub::test;

namespace {

// A picture in which every pixel differs from its neighbours.
QImage pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    return image;
}

struct ImageWindow : Window {
    ImagePane* pane;
    QScrollBar* bar1;
    QScrollBar* bar2;
    PictureControl* image1;
    QWidget* panel1;

    ImageWindow() {
        pane = form->imagePane();
        bar1 = pane->scrollBar1();
        bar2 = pane->scrollBar2();
        image1 = pane->image1();
        panel1 = pane->panel1();
        form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    // A bitmap file in the test's folder, opened through the command.
    std::string writeBitmap(const QString& name, const QImage& image) {
        const QString path = folder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        const std::string bytes = encodeBmp(image, 24);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path.toStdString();
    }
    void open(const std::string& path) {
        sim.dialogs.answerOpenFile(path);
        action("Action22")->trigger();
        QVERIFY(picturesSettled());
    }
    // A picture as the layout leaves it: opened, then the window resized by a pixel and back.
    void show(const QImage& image) {
        open(writeBitmap(QStringLiteral("shown.bmp"), image));
        relayout();
    }
    void relayout() {
        form->resize(form->width() + 1, form->height());
        form->resize(form->width() - 1, form->height());
    }
    // A viewport `extra` pixels narrower and lower than a picture of the given size.
    QSize pictureLargerBy(int extraX, int extraY) const {
        return {panel1->width() + extraX, panel1->height() + extraY};
    }

    // Mouse events on the picture; positions are in the viewport's coordinates, as the user
    // sees them, and handed to the picture in its own.
    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               QPoint inViewport) {
        const QPoint local = inViewport - image1->pos();
        QMouseEvent event(type, local, image1->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(image1, &event);
    }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        mouse(QEvent::MouseButtonPress, button, button, at);
    }
    void moveTo(QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
        mouse(QEvent::MouseMove, Qt::NoButton, held, at);
    }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        mouse(QEvent::MouseButtonRelease, button, Qt::NoButton, at);
    }
    void endDrag() { release({0, 0}); }
};

} // namespace

class ImagePaneTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // The drag gesture lives for the whole run; each test starts without one.
        ImagePane pane;
        pane.Image1MouseUp(Qt::LeftButton, 0, 0);
    }

    void hasItsControlsBeforeTheWindowIsShown() {
        Window w;
        ImagePane* pane = w.form->imagePane();
        QCOMPARE(pane->objectName(), QStringLiteral("TabSheet2"));
        QCOMPARE(pane->panel1()->objectName(), QStringLiteral("Panel1"));
        QCOMPARE(pane->image1()->objectName(), QStringLiteral("Image1"));
        QCOMPARE(pane->image1()->parentWidget(), pane->panel1());
        QCOMPARE(pane->panel1()->geometry(), QRect(0, 0, 564, 243));
        QCOMPARE(pane->image1()->geometry(), QRect(0, 0, 0, 0));
        QCOMPARE(pane->scrollBar1()->geometry(), QRect(0, 243, 564, 16));
        QCOMPARE(pane->scrollBar2()->geometry(), QRect(564, 0, 16, 243));
        QCOMPARE(pane->image1()->cursor().shape(), Qt::PointingHandCursor);
        for (QScrollBar* bar : {pane->scrollBar1(), pane->scrollBar2()}) {
            QCOMPARE(bar->minimum(), 0);
            QCOMPARE(bar->maximum(), 0);
            QCOMPARE(bar->value(), 0);
            QCOMPARE(bar->singleStep(), 1);
            QCOMPARE(bar->pageStep(), 1);
            QVERIFY(bar->focusPolicy() & Qt::TabFocus);
        }
        QCOMPARE(pane->scrollBar1()->orientation(), Qt::Horizontal);
        QCOMPARE(pane->scrollBar2()->orientation(), Qt::Vertical);
        // The vertical bar comes first in the tab order.
        QWidget* next = pane->scrollBar2()->nextInFocusChain();
        while (next != pane->scrollBar1() && next != pane->scrollBar2())
            next = next->nextInFocusChain();
        QCOMPARE(next, pane->scrollBar1());
    }

    void theLayoutFillsThePageAndLeavesTheCornerEmpty() {
        ImageWindow w;
        for (QSize size : {QSize(596, 426), QSize(800, 600), QSize(300, 250)}) {
            w.form->resize(size);
            const QSize page = w.pane->size();
            QCOMPARE(w.panel1->geometry(), QRect(0, 0, page.width() - 16, page.height() - 16));
            QCOMPARE(w.bar1->geometry(), QRect(0, page.height() - 16, page.width() - 16, 16));
            QCOMPARE(w.bar2->geometry(), QRect(page.width() - 16, 0, 16, page.height() - 16));
            QCOMPARE(w.pane->childAt(page.width() - 8, page.height() - 8), nullptr);
        }
    }

    void theLayoutAlsoRunsWhileAnotherPageIsShown() {
        ImageWindow w;
        auto* tabs = w.form->findChild<QTabWidget*>("PageControl1");
        tabs->setCurrentIndex(0);
        w.form->resize(700, 500);
        const QSize page = tabs->currentWidget()->size();
        QCOMPARE(w.panel1->size(), page - QSize(16, 16));
        QCOMPARE(w.bar2->x(), page.width() - 16);
    }

    void aSmallerPictureCannotBeScrolledOrDragged() {
        ImageWindow w;
        w.show(pattern(100, 80));
        QCOMPARE(w.image1->geometry(), QRect(0, 0, 100, 80));
        QCOMPARE(w.bar1->maximum(), 0);
        QCOMPARE(w.bar2->maximum(), 0);
        w.bar1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        w.bar2->triggerAction(QAbstractSlider::SliderPageStepAdd);
        w.press({50, 40});
        w.moveTo({10, 5});
        QCOMPARE(w.image1->pos(), QPoint(0, 0));
    }

    void theMaximaAreWhatThePictureHasBeyondTheViewport() {
        ImageWindow w;
        w.show(pattern(w.pictureLargerBy(100, 0).width(), 30));
        QCOMPARE(w.bar1->maximum(), 100);
        QCOMPARE(w.bar2->maximum(), 0);
        // A click on an arrow or in the track moves one pixel, and the picture with it.
        w.bar1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        w.bar1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(w.bar1->value(), 2);
        QCOMPARE(w.image1->pos(), QPoint(-2, 0));
        // So does a key on the focused bar.
        w.bar1->setFocus();
        QTest::keyClick(w.bar1, Qt::Key_Right);
        QCOMPARE(w.image1->x(), -3);
        QTest::keyClick(w.bar1, Qt::Key_End);
        QCOMPARE(w.image1->x(), -100);
        QTest::keyClick(w.bar1, Qt::Key_Left);
        QTest::keyClick(w.bar1, Qt::Key_PageUp);
        QCOMPARE(w.image1->x(), -98);
        QTest::keyClick(w.bar1, Qt::Key_Home);
        QCOMPARE(w.image1->x(), 0);

        w.show(pattern(20, w.pictureLargerBy(0, 50).height()));
        w.bar2->setFocus();
        QTest::keyClick(w.bar2, Qt::Key_Down);
        QTest::keyClick(w.bar2, Qt::Key_PageDown);
        QCOMPARE(w.image1->pos(), QPoint(0, -2));
        QTest::keyClick(w.bar2, Qt::Key_Up);
        QCOMPARE(w.image1->pos(), QPoint(0, -1));
    }

    void draggingMovesThePictureWithTheCursorUntilABarStops() {
        ImageWindow w;
        w.show(pattern(w.pictureLargerBy(100, 100).width(), w.pictureLargerBy(100, 100).height()));
        QCOMPARE(w.bar1->maximum(), 100);
        w.bar1->setValue(10);
        QCOMPARE(w.image1->x(), -10);

        // 30 pixels to the left from 10: 40.
        w.press({60, 60});
        QVERIFY(ImagePane::panning());
        w.moveTo({30, 60});
        QCOMPARE(w.bar1->value(), 40);
        QCOMPARE(w.image1->pos(), QPoint(-40, 0));
        w.release({30, 60});
        QVERIFY(!ImagePane::panning());

        // 30 to the right from 10: 0, and the picture stops while the cursor goes on.
        w.bar1->setValue(10);
        w.press({60, 60});
        w.moveTo({90, 60});
        QCOMPARE(w.bar1->value(), 0);
        w.moveTo({150, 60});
        QCOMPARE(w.image1->x(), 0);
        // It follows again once the pressed point (70 in the picture) can be under the cursor.
        w.moveTo({55, 60});
        QCOMPARE(w.bar1->value(), 15);
        // Up and down together, and past the other end.
        w.moveTo({-200, -30});
        QCOMPARE(w.bar1->value(), 100);
        QCOMPARE(w.bar2->value(), 90);
        QCOMPARE(w.image1->pos(), QPoint(-100, -90));
        w.endDrag();
        // Moves without a drag do nothing.
        w.moveTo({0, 0}, Qt::NoButton);
        QCOMPARE(w.image1->pos(), QPoint(-100, -90));
    }

    void onlyTheLeftButtonPansButAnyReleaseEndsIt() {
        ImageWindow w;
        w.show(pattern(w.pictureLargerBy(100, 100).width(), w.pictureLargerBy(100, 100).height()));
        w.press({60, 60}, Qt::RightButton);
        QVERIFY(!ImagePane::panning());
        w.moveTo({10, 10}, Qt::RightButton);
        QCOMPARE(w.image1->pos(), QPoint(0, 0));
        w.release({10, 10}, Qt::RightButton);

        w.press({60, 60});
        w.moveTo({50, 60});
        QCOMPARE(w.bar1->value(), 10);
        // The right button goes down and up while the left is held: the drag is over.
        w.mouse(QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton,
                {50, 60});
        QVERIFY(ImagePane::panning());
        w.mouse(QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton, {50, 60});
        QVERIFY(!ImagePane::panning());
        w.moveTo({10, 10});
        QCOMPARE(w.bar1->value(), 10);
        QCOMPARE(w.bar2->value(), 0);
    }

    void aLargerPictureOpenedWhileTheMaximaAreZeroWaitsForTheNextResize() {
        ImageWindow w;
        const QSize large = w.pictureLargerBy(50, 40);
        w.open(w.writeBitmap(QStringLiteral("large.bmp"), pattern(large.width(), large.height())));
        QCOMPARE(w.image1->geometry(), QRect(QPoint(0, 0), large));
        QCOMPARE(w.bar1->maximum(), 0);
        QCOMPARE(w.bar2->maximum(), 0);
        w.press({60, 60});
        w.moveTo({10, 10});
        QCOMPARE(w.image1->pos(), QPoint(0, 0));
        w.endDrag();

        w.relayout();
        QCOMPARE(w.bar1->maximum(), 50);
        QCOMPARE(w.bar2->maximum(), 40);
        w.press({60, 60});
        w.moveTo({10, 10});
        QCOMPARE(w.image1->pos(), QPoint(-50, -40));
        w.endDrag();
    }

    void aNewPictureKeepsTheOffsetUntilTheNextLayout() {
        ImageWindow w;
        w.show(pattern(w.pictureLargerBy(200, 100).width(), w.pictureLargerBy(200, 100).height()));
        w.bar1->setValue(100);
        w.bar2->setValue(50);
        w.open(w.writeBitmap(QStringLiteral("small.bmp"), pattern(60, 40)));
        QCOMPARE(w.image1->geometry(), QRect(-100, -50, 60, 40));
        QCOMPARE(w.bar1->value(), 100);
        w.relayout();
        QCOMPARE(w.image1->geometry(), QRect(0, 0, 60, 40));
        QCOMPARE(w.bar1->value(), 0);
        QCOMPARE(w.bar2->value(), 0);
    }

    void enlargingTheWindowPullsAScrolledPictureBack() {
        ImageWindow w;
        const QSize large = w.pictureLargerBy(100, 0);
        w.show(pattern(large.width(), 20));
        w.bar1->setValue(100);
        QCOMPARE(w.image1->x() + w.image1->width(), w.panel1->width());

        w.form->resize(w.form->width() + 30, w.form->height());
        QCOMPARE(w.bar1->maximum(), 70);
        QCOMPARE(w.bar1->value(), 70);
        // The picture's right edge stays at the viewport's right edge.
        QCOMPARE(w.image1->x() + w.image1->width(), w.panel1->width());

        w.form->resize(w.form->width() + 200, w.form->height());
        QCOMPARE(w.bar1->maximum(), 0);
        QCOMPARE(w.image1->x(), 0);
    }

    void clearingEmptiesThePaneAndItsBars() {
        ImageWindow w;
        w.show(pattern(w.pictureLargerBy(100, 100).width(), w.pictureLargerBy(100, 100).height()));
        w.bar1->setValue(30);
        w.bar2->setValue(20);
        w.pane->clear();
        QVERIFY(w.pane->picture().isEmpty());
        QCOMPARE(w.image1->geometry(), QRect(0, 0, 0, 0));
        for (QScrollBar* bar : {w.bar1, w.bar2}) {
            QCOMPARE(bar->maximum(), 0);
            QCOMPARE(bar->value(), 0);
        }
    }

    void bitmapsCoverTheViewportAndIconsLetItShowThrough() {
        ImageWindow w;
        QImage bitmap(40, 40, QImage::Format_RGB32);
        bitmap.fill(qRgb(10, 200, 30));
        w.show(bitmap);
        const QRgb menuColour = w.panel1->palette().color(QPalette::Window).rgb();
        QImage shot = w.panel1->grab().toImage();
        QCOMPARE(shot.pixel(20, 20), qRgb(10, 200, 30));
        QCOMPARE(shot.pixel(60, 20), menuColour);

        // An icon that is transparent in its right half.
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 16; ++x) icon.setPixel(x, y, qRgb(200, 0, 0));
        const QString path = w.folder.filePath(QStringLiteral("icon.ico"));
        QVERIFY(icon.save(path, "ICO"));
        w.open(path.toStdString());
        QVERIFY(w.pane->picture().isTransparent());
        shot = w.panel1->grab().toImage();
        QCOMPARE(shot.pixel(8, 8), qRgb(200, 0, 0));
        QCOMPARE(shot.pixel(24, 8), menuColour);
    }

    void palettePicturesAreDrawnPieceByPieceWithTheirColours() {
        ImageWindow w;
        QImage paletted(w.pictureLargerBy(300, 300), QImage::Format_Indexed8);
        paletted.setColorTable({qRgb(0, 160, 0)});
        paletted.fill(0);
        // An index past the palette's end, as a sloppy file may hold, shows black.
        for (int y = 0; y < 20; ++y) std::fill_n(paletted.scanLine(y + 310) + 310, 20, uchar(5));
        w.pane->setPicture(Picture::fromBitmap(paletted, 8));
        w.relayout();
        w.bar1->setValue(300);
        w.bar2->setValue(300);
        const QImage shot = w.panel1->grab().toImage();
        QCOMPARE(shot.pixel(5, 5), qRgb(0, 160, 0));
        QCOMPARE(shot.pixel(15, 15), qRgb(0, 0, 0));
        QCOMPARE(shot.pixel(w.panel1->width() - 1, w.panel1->height() - 1), qRgb(0, 160, 0));
    }

    void thePictureDialogsHaveTheirFiltersAndPreview() {
        ImageWindow w;
        w.action("Action22")->trigger();
        w.action("Action20")->trigger();
        const FileDialogOptions open = w.sim.dialogs.openFileCalls().at(0);
        QCOMPARE(open.title, QString());
        QCOMPARE(open.filter,
                 QStringLiteral("All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps "
                                "(*.bmp)|*.bmp|Icons (*.ico)|*.ico|Enhanced Metafiles "
                                "(*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"));
        const FileDialogOptions save = w.sim.dialogs.saveFileCalls().at(0);
        QCOMPARE(save.filter, QStringLiteral("图位(*.bmp)|*.bmp"));
        QCOMPARE(save.defaultExtension, QStringLiteral("bmp"));
        QVERIFY(!save.confirmOverwrite);
        // The preview shows what the file holds, and nothing for what is not a picture.
        const std::string bitmap = w.writeBitmap(QStringLiteral("p.bmp"), pattern(30, 20));
        QCOMPARE(open.preview(bitmap).size(), QSize(30, 20));
        QCOMPARE(save.preview(bitmap).size(), QSize(30, 20));
        QVERIFY(open.preview(w.folder.filePath(QStringLiteral("none.bmp")).toStdString()).isNull());
        // A cancelled dialog does nothing.
        QVERIFY(w.pane->picture().isEmpty());
        QVERIFY(w.messages().isEmpty());
    }

    void aFileThatCannotBeOpenedLeavesThePictureAndSaysWhy() {
        ImageWindow w;
        w.show(pattern(30, 20));
        const QString text = w.folder.filePath(QStringLiteral("notes.txt"));
        QFile(text).open(QIODevice::WriteOnly);
        w.open(text.toStdString());
        const QString broken = w.folder.filePath(QStringLiteral("broken.bmp"));
        QFile file(broken);
        file.open(QIODevice::WriteOnly);
        file.write("BM broken");
        file.close();
        w.open(broken.toStdString());
        w.open(w.folder.filePath(QStringLiteral("missing.ico")).toStdString());
        QCOMPARE(
            w.messages(),
            // The error display adds no full stop after a closing parenthesis.
            QStringList(
                {QStringLiteral("Unknown picture file extension (.txt)"),
                 QStringLiteral("Bitmap image is not valid."),
                 missingFileMessage(
                     "open", w.folder.filePath(QStringLiteral("missing.ico")).toStdU16String())}));
        QCOMPARE(w.pane->picture().width(), 30);
    }

    void savingWritesThePicturesOwnFormatOrNothingForAnEmptyPane() {
        ImageWindow w;
        const QString target = w.folder.filePath(QStringLiteral("saved.bmp"));
        w.sim.dialogs.answerSaveFile(target.toStdString());
        w.action("Action20")->trigger();
        QVERIFY(w.picturesSettled());
        QVERIFY(!QFile::exists(target));
        QVERIFY(w.messages().isEmpty());

        // An icon keeps its bytes under a bitmap's name, replacing the file there.
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(qRgba(0, 0, 255, 128));
        const QString iconPath = w.folder.filePath(QStringLiteral("in.ico"));
        QVERIFY(icon.save(iconPath, "ICO"));
        w.open(iconPath.toStdString());
        QFile old(target);
        old.open(QIODevice::WriteOnly);
        old.write("old");
        old.close();
        w.sim.dialogs.answerSaveFile(target.toStdString());
        w.action("Action20")->trigger();
        QVERIFY(w.picturesSettled());
        QFile in(iconPath);
        QFile out(target);
        QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), in.readAll());
        QVERIFY(w.messages().isEmpty());
    }
};

QTEST_MAIN(ImagePaneTest)
#include "image_pane_test.moc"
