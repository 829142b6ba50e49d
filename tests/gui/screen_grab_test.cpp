// The screen grab on the simulated screen: the settings, the command and its delay, the region
// selector with its rubber band, and what reaches the clipboard.

#include "grab/frozen_picture.h"
#include "grab/rubber_band.h"
#include "grab/tform5.h"
#include "gui_support.h"
#include "images/image_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using namespace zub;
using namespace zub::test;

namespace {

// Every pixel tells where it is; `shade` tells two screens apart.
QImage pattern(int width, int height, int shade = 0) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y + shade) % 256));
    return image;
}

struct GrabWindow : Window {
    QCheckBox* checkBox2;
    QComboBox* comboBox4;
    QTimer* timer1;

    GrabWindow() {
        checkBox2 = form->findChild<QCheckBox*>(QStringLiteral("CheckBox2"));
        comboBox4 = form->findChild<QComboBox*>(QStringLiteral("ComboBox4"));
        timer1 = form->timer1();
        sim.screen.setPicture(pattern(320, 200));
        form->show();
    }

    // The selector on the screen, if any; closed ones are on their way out.
    TForm5* selector() {
        for (TForm5* s : form->findChildren<TForm5*>())
            if (s->isVisible()) return s;
        return nullptr;
    }
    // The delay has passed: the timer's tick, as the event loop would run it.
    TForm5* tick() {
        form->guard([this] { form->Timer1Timer(); });
        return selector();
    }
    TForm5* startGrab() {
        action("Action21")->trigger();
        return tick();
    }
    QWidget* image1() { return selector()->image1(); }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(image1(), button, {}, at);
    }
    void move(QPoint at) { QTest::mouseMove(image1(), at); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(image1(), button, {}, at);
    }
    void drag(QPoint from, QPoint to) {
        press(from);
        move((from + to) / 2);
        move(to);
        release(to);
    }
    QImage clipboardPicture() { return sim.clipboard.bitmap().value_or(QImage()); }
};

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class ScreenGrabTest : public QObject {
    Q_OBJECT

private slots:
    // The rectangle is kept for the whole run, so this test must be the run's first grab.
    void aRightClickEndsTheFirstGrabWithTheWholeScreenAndLaterOnesWithTheLastRectangle() {
        QVERIFY2(runRubberBand().rect() == SelectionRect{}, "not the first grab of the run");
        GrabWindow w;
        QVERIFY(w.startGrab());
        w.press({50, 40}, Qt::RightButton);
        QVERIFY(!runRubberBand().isSelecting());
        w.release({50, 40}, Qt::RightButton);
        QCOMPARE(w.clipboardPicture(), w.sim.screen.picture());
        QVERIFY(!w.selector());

        QVERIFY(w.startGrab());
        w.drag({30, 20}, {36, 24});
        QCOMPARE(w.clipboardPicture(), pattern(320, 200).copy(30, 20, 6, 4));

        // The screen changed meanwhile: the old rectangle of the new frozen screen.
        w.sim.screen.setPicture(pattern(320, 200, 99));
        QVERIFY(w.startGrab());
        QTest::mouseClick(w.image1(), Qt::RightButton, {}, QPoint(200, 150));
        QCOMPARE(w.clipboardPicture(), pattern(320, 200, 99).copy(30, 20, 6, 4));
        QVERIFY(!w.selector());
    }

    void settingsStartWithAutoHideOnAndNoDelayChosen() {
        GrabWindow w;
        QVERIFY(w.checkBox2);
        QCOMPARE(w.checkBox2->text(), QStringLiteral("抓屏自动隐藏"));
        QVERIFY(w.checkBox2->isChecked());
        QVERIFY(w.comboBox4);
        QVERIFY(!w.comboBox4->isEditable());
        QCOMPARE(w.comboBox4->count(), 10);
        QCOMPARE(w.comboBox4->itemText(0), QStringLiteral("1"));
        QCOMPARE(w.comboBox4->itemText(9), QStringLiteral("10"));
        QCOMPARE(w.comboBox4->currentText(), QString());
        QStringList labels;
        for (const QLabel* label : w.form->findChildren<QLabel*>()) labels << label->text();
        QVERIFY(labels.contains(QStringLiteral("抓屏延时:    ")));
        QVERIFY(labels.contains(QStringLiteral("秒 ")));
        QVERIFY(!w.timer1->isActive());
        QCOMPARE(w.timer1->interval(), 1000);
        QCOMPARE(w.timer1->timerType(), Qt::PreciseTimer);
        QCOMPARE(w.action("Action21")->text(), QStringLiteral("屏幕抓图(&P)"));
    }

    void withNoDelayChosenTheSelectorComesAfterOneSecondOverTheHiddenWindow() {
        GrabWindow w;
        QElapsedTimer clock;
        clock.start();
        w.action("Action21")->trigger();
        QVERIFY(!w.form->isVisible());
        QVERIFY(w.timer1->isActive());
        QCOMPARE(w.timer1->interval(), 1000);
        QVERIFY(!w.selector());

        // The real tick, through the event loop; a precise timer is never early (how late it
        // is depends on the machine's load).
        QTRY_VERIFY_WITH_TIMEOUT(w.selector(), 5000);
        QVERIFY(clock.elapsed() >= 1000);
        TForm5* selector = w.selector();
        QVERIFY(!w.timer1->isActive());
        QCOMPARE(w.sim.screen.grabCount(), 1);
        QCOMPARE(w.sim.screen.beepCount(), 1);
        QVERIFY(!w.sim.screen.windowsInLastGrab().contains(QStringLiteral("Form1")));
        QVERIFY(selector->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(selector->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(selector->parentWidget(), w.form.get());
        QCOMPARE(selector->image1()->pos(), QPoint(0, 0));
        QCOMPARE(selector->image1()->size(), QSize(320, 200));
        QCOMPARE(selector->image1()->cursor().shape(), Qt::CrossCursor);
        QCOMPARE(selector->image1()->picture(), w.sim.screen.picture());
        // The selector has no keys of its own.
        QTest::keyClick(selector, Qt::Key_Escape);
        QVERIFY(selector->isVisible());
        QVERIFY(!w.form->isVisible());
    }

    void bothDragDirectionsGiveTheSameTenByFivePicture() {
        GrabWindow w;
        const QImage expected = pattern(320, 200).copy(10, 10, 10, 5);
        QVERIFY(w.startGrab());
        w.drag({10, 10}, {20, 15});
        QCOMPARE(w.clipboardPicture().size(), QSize(10, 5));
        QCOMPARE(w.clipboardPicture(), expected);
        QVERIFY(w.form->isVisible());
        QVERIFY(!w.selector());

        QVERIFY(w.startGrab());
        w.drag({20, 15}, {10, 10});
        QCOMPARE(w.clipboardPicture(), expected);

        // Where the button goes up does not count: the last move does.
        QVERIFY(w.startGrab());
        w.press({10, 10});
        w.move({20, 15});
        w.release({100, 100});
        QCOMPARE(w.clipboardPicture(), expected);
        // One change per grab, nothing but the bitmap.
        QCOMPARE(w.sim.clipboard.writeCount(), 3);
        QVERIFY(!w.sim.clipboard.text());
    }

    void aClickOrADragOfZeroWidthOrHeightGivesTheWholeScreen() {
        GrabWindow w;
        QVERIFY(w.startGrab());
        QTest::mouseClick(w.image1(), Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(w.clipboardPicture(), w.sim.screen.picture());

        QVERIFY(w.startGrab());
        w.drag({40, 40}, {40, 90});
        QCOMPARE(w.clipboardPicture(), w.sim.screen.picture());

        QVERIFY(w.startGrab());
        w.drag({40, 40}, {90, 40});
        QCOMPARE(w.clipboardPicture(), w.sim.screen.picture());
    }

    void theOutlineIsDrawnOverThePictureAndNeverIntoIt() {
        GrabWindow w;
        QImage white(320, 200, QImage::Format_RGB32);
        white.fill(Qt::white);
        w.sim.screen.setPicture(white);
        QVERIFY(w.startGrab());
        FrozenPicture* image1 = w.selector()->image1();
        w.press({10, 10});
        w.move({30, 20});
        QVERIFY(runRubberBand().isSelecting());

        const QImage shown = image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // The outline's dots are the picture's pixels inverted, every other one along the edge;
        // inside and outside the rectangle the picture shows unchanged.
        int dots = 0;
        for (int x = 10; x < 30; ++x) dots += shown.pixel(x, 10) == qRgb(0, 0, 0);
        QCOMPARE(dots, 10);
        QCOMPARE(shown.pixel(10, 10), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(11, 10), qRgb(255, 255, 255));
        QCOMPARE(shown.pixel(29, 19), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(28, 19), qRgb(255, 255, 255));
        QCOMPARE(shown.pixel(20, 15), qRgb(255, 255, 255));
        QCOMPARE(shown.pixel(30, 20), qRgb(255, 255, 255));
        QCOMPARE(image1->picture(), white);

        // Moving on takes the old outline away.
        w.move({12, 12});
        const QImage moved = image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(moved.pixel(29, 19), qRgb(255, 255, 255));
        QCOMPARE(moved.pixel(10, 10), qRgb(0, 0, 0));

        w.release({12, 12});
        QCOMPARE(w.clipboardPicture(), white.copy(10, 10, 2, 2));
    }

    void withAutoHideOffTheWindowStaysAndIsInThePicture() {
        GrabWindow w;
        w.checkBox2->setChecked(false);
        w.action("Action21")->trigger();
        QVERIFY(w.form->isVisible());
        QVERIFY(w.tick());
        QVERIFY(w.form->isVisible());
        QVERIFY(w.sim.screen.windowsInLastGrab().contains(QStringLiteral("Form1")));
    }

    void theCountdownRestartsOnlyWhenTheDelayChanges() {
        GrabWindow w;
        w.checkBox2->setChecked(false);
        w.comboBox4->setCurrentIndex(4);
        w.action("Action21")->trigger();
        QCOMPARE(w.timer1->interval(), 5000);

        // Again with 5: the countdown that runs goes on.
        QTest::qWait(600);
        w.action("Action21")->trigger();
        QVERIFY(w.timer1->isActive());
        // A countdown started again would show nearly 5000 ms, one that went on 4400 at most.
        QVERIFY(w.timer1->remainingTime() < 4700);

        // 3 first: it starts again, at 3 seconds.
        w.comboBox4->setCurrentIndex(2);
        w.action("Action21")->trigger();
        QVERIFY(w.timer1->isActive());
        QCOMPARE(w.timer1->interval(), 3000);
        QVERIFY(w.timer1->remainingTime() > 2000);

        // One tick per command; the delay stays for the next one, chosen or not.
        QVERIFY(w.tick());
        QVERIFY(!w.timer1->isActive());
        w.comboBox4->setCurrentIndex(-1);
        w.action("Action21")->trigger();
        QCOMPARE(w.timer1->interval(), 3000);
    }

    void whileTheClipboardCannotBeOpenedTheSelectorStaysAndTheNextReleaseTriesAgain() {
        GrabWindow w;
        QVERIFY(w.startGrab());
        w.sim.clipboard.holdOpen(true);
        w.drag({10, 10}, {20, 15});
        QCOMPARE(w.messages(), QStringList{QStringLiteral("Cannot open clipboard.")});
        QVERIFY(w.selector());
        QVERIFY(!w.form->isVisible());
        QVERIFY(!runRubberBand().isSelecting());
        QCOMPARE(runRubberBand().rect(), (SelectionRect{10, 10, 20, 15}));
        QVERIFY(!w.sim.clipboard.bitmap());

        w.sim.clipboard.holdOpen(false);
        QTest::mouseClick(w.image1(), Qt::MiddleButton, {}, QPoint(200, 100));
        QCOMPARE(w.clipboardPicture(), pattern(320, 200).copy(10, 10, 10, 5));
        QVERIFY(!w.selector());
        QVERIFY(w.form->isVisible());
    }

    void inAutomaticModeTheGrabReachesTheImagePane() {
        GrabWindow w;
        const ViewerHandle other = w.sim.viewerChain.addOtherViewer();
        w.action("Action15")->trigger();
        const std::size_t heard = w.sim.viewerChain.received(other).size();
        QVERIFY(w.startGrab());
        w.drag({5, 6}, {9, 8});
        const QImage expected = pattern(320, 200).copy(5, 6, 4, 2);
        QCOMPARE(w.clipboardPicture(), expected);
        // The window heard of the change and passed it on, once, and shows the picture.
        QCOMPARE(w.sim.viewerChain.received(other).size(), heard + 1);
        QVERIFY(w.picturesSettled());
        QCOMPARE(w.form->imagePane()->picture().image().convertToFormat(QImage::Format_RGB32),
                 expected);
        QVERIFY(w.messages().isEmpty());
        // In manual mode the grab ends at the clipboard.
        w.action("Action15")->trigger();
        QVERIFY(w.startGrab());
        w.drag({50, 60}, {90, 80});
        QCOMPARE(w.clipboardPicture(), pattern(320, 200).copy(50, 60, 40, 20));
        QCOMPARE(w.form->imagePane()->picture().image().convertToFormat(QImage::Format_RGB32),
                 expected);
    }

    void aClosedSelectorIsReleasedWithItsPicture() {
        GrabWindow w;
        QPointer<TForm5> first = w.startGrab();
        QVERIFY(first);
        w.drag({1, 1}, {4, 4});
        flushDeletes();
        QVERIFY(!first);
        QPointer<TForm5> second = w.startGrab();
        QVERIFY(second);
        QCOMPARE(w.form->findChildren<TForm5*>().size(), 1);
        // Closed otherwise than by a release, it brings the hidden window back as well.
        second->close();
        flushDeletes();
        QVERIFY(!second);
        QVERIFY(w.form->isVisible());
    }
};

QTEST_MAIN(ScreenGrabTest)
#include "screen_grab_test.moc"
