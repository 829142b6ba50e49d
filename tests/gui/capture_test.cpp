// Text capture: the two capture modes, the hot key, the viewer chain and the duplicate test.

#include "gui_support.h"

#include <QtTest>

using namespace zub;
using namespace zub::test;
using Message = SimViewerChain::Message;

class CaptureTest : public QObject {
    Q_OBJECT

private slots:
    void startsInManualMode() {
        Window w;
        QCOMPARE(w.panel(4), QStringLiteral("手动"));
        QVERIFY(!w.action("Action15")->isChecked());
        QVERIFY(w.action("Action16")->isEnabled());
        QVERIFY(w.sim.hotKey.isRegistered(hotkey::kControl, hotkey::kKeyR));
        QVERIFY(!w.sim.viewerChain.isMember(*w.form));
    }

    void automaticModeAddsEachNewTextOnce() {
        Window w;
        w.sim.clipboard.setOtherProgramText("first");
        w.action("Action15")->trigger();
        QCOMPARE(w.panel(4), QStringLiteral("自动"));
        QVERIFY(!w.action("Action16")->isEnabled());
        // Switching on captures what is on the clipboard at once.
        QCOMPARE(w.entries(), Entries({"first"}));
        QCOMPARE(w.panel(0), QStringLiteral("1/1"));
        QCOMPARE(w.panel(2), QStringLiteral("无"));

        w.sim.copyFromOtherProgram("second");
        w.selectRow(0);
        w.sim.copyFromOtherProgram("second");
        QCOMPARE(w.entries(), Entries({"first", "second"}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(0)); // the repeat changed nothing
        QCOMPARE(w.panel(0), QStringLiteral("1/2"));

        // Off and on again: the same clipboard text is not added a second time.
        w.action("Action15")->trigger();
        QCOMPARE(w.panel(4), QStringLiteral("手动"));
        QVERIFY(w.action("Action16")->isEnabled());
        QVERIFY(!w.sim.viewerChain.isMember(*w.form));
        w.sim.copyFromOtherProgram("while manual");
        w.action("Action15")->trigger();
        QCOMPARE(w.entries(), Entries({"first", "second", "while manual"}));
        w.action("Action15")->trigger();
        w.action("Action15")->trigger();
        QCOMPARE(w.list().size(), std::size_t(3));
    }

    void comparesWithClipTextsOnly() {
        Window w;
        w.fill({"abc", "xyz[Zub]note"});
        w.action("Action15")->trigger(); // clipboard empty: offers nothing
        QCOMPARE(w.list().size(), std::size_t(2));
        w.sim.copyFromOtherProgram("xyz");
        QCOMPARE(w.list().size(), std::size_t(2));
        w.sim.copyFromOtherProgram("xyz[Zub]note");
        QCOMPARE(w.entries(), Entries({"abc", "xyz[Zub]note", "xyz[Zub]note"}));
        QCOMPARE(w.panel(0), QStringLiteral("3/3"));
        QCOMPARE(w.panel(2), QStringLiteral("note"));
        // Case matters.
        w.sim.copyFromOtherProgram("ABC");
        QCOMPARE(w.list().size(), std::size_t(4));
    }

    void keepsChineseAndEveryOtherCharacterAsCodePageBytes() {
        Window w;
        w.action("Action15")->trigger();
        w.sim.copyFromOtherProgram(cp936(u"中文😀"));
        QCOMPARE(w.entries(), Entries({"\xD6\xD0\xCE\xC4\x94\x39\xFC\x36"}));
        // An empty text is text too, and is captured once.
        w.sim.copyFromOtherProgram("");
        w.sim.copyFromOtherProgram("");
        QCOMPARE(w.list().size(), std::size_t(2));
    }

    void bitmapOnlyChangesNothingInTheList() {
        Window w;
        w.action("Action15")->trigger();
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        w.sim.clipboard.setOtherProgramBitmap(image);
        w.sim.viewerChain.notifyChange();
        QCOMPARE(w.list().size(), std::size_t(0));
        QCOMPARE(w.panel(0), QStringLiteral("就绪"));
    }

    void sortedListPlacesTheEntryButSelectsTheLastRow() {
        Window w;
        w.fill({"apple", "cherry"});
        w.action("Action4")->trigger();
        w.action("Action15")->trigger();
        w.sim.copyFromOtherProgram("banana");
        QCOMPARE(w.entries(), Entries({"apple", "banana", "cherry"}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(2));
        QCOMPARE(w.panel(0), QStringLiteral("3/3"));
    }

    void hotKeyCapturesOnceInManualMode() {
        Window w;
        w.sim.copyFromOtherProgram("pressed");
        QVERIFY(w.sim.hotKey.press(hotkey::kControl, hotkey::kKeyR));
        QCOMPARE(w.entries(), Entries({"pressed"}));
        QVERIFY(!w.sim.viewerChain.isMember(*w.form));
        // Out of the chain again: a later copy elsewhere adds nothing.
        w.sim.copyFromOtherProgram("later");
        QCOMPARE(w.list().size(), std::size_t(1));
        // Pressing again captures the new text.
        w.sim.hotKey.press(hotkey::kControl, hotkey::kKeyR);
        QCOMPARE(w.entries(), Entries({"pressed", "later"}));
    }

    void hotKeyDoesNothingInAutomaticModeOrWithOtherModifiers() {
        Window w;
        w.action("Action15")->trigger();
        w.sim.clipboard.setOtherProgramText("quiet");
        w.sim.hotKey.press(hotkey::kControl, hotkey::kKeyR);
        QCOMPARE(w.list().size(), std::size_t(0));
        QVERIFY(w.sim.viewerChain.isMember(*w.form));

        w.action("Action15")->trigger();
        const std::uint16_t atom = w.sim.hotKey.addAtom("hotkey");
        w.sim.hotKey.deliver(atom, hotkey::kControl | hotkey::kShift, hotkey::kKeyR);
        w.sim.hotKey.deliver(atom, hotkey::kControl, 'T');
        QCOMPARE(w.list().size(), std::size_t(0));
        w.sim.hotKey.deliver(atom, hotkey::kControl, hotkey::kKeyR);
        QCOMPARE(w.list().size(), std::size_t(1));
    }

    void hotKeyHeldByAnotherProgramFailsSilently() {
        SimPlatform sim;
        sim.hotKey.takeByOtherProgram(hotkey::kControl, hotkey::kKeyR);
        TForm1 form(sim.services());
        QVERIFY(sim.dialogs.messages().empty());
        QVERIFY(!sim.hotKey.press(hotkey::kControl, hotkey::kKeyR));
        // The command's own shortcut still captures.
        sim.clipboard.setOtherProgramText("by command");
        form.action(QStringLiteral("Action16"))->trigger();
        QCOMPARE(form.clipList().size(), std::size_t(1));
    }

    void forwardsEveryChangeFirstAndAlways() {
        Window w;
        const ViewerHandle other = w.sim.viewerChain.addOtherViewer();
        const std::size_t before = w.sim.viewerChain.received(other).size();
        w.action("Action15")->trigger();
        QCOMPARE(w.form->nextViewer(), other);
        // At the first join the handler forwards to the next viewer as it stood: none.
        QCOMPARE(w.sim.viewerChain.received(other).size(), before);

        w.sim.copyFromOtherProgram("one");
        QCOMPARE(w.sim.viewerChain.received(other).size(), before + 1);
        QCOMPARE(w.sim.viewerChain.received(other).back().kind, Message::Change);

        // A clipboard held open: the change is still passed on, the error shown, nothing added.
        w.sim.clipboard.setOtherProgramText("held");
        w.sim.clipboard.holdOpen(true);
        w.sim.viewerChain.notifyChange();
        QCOMPARE(w.sim.viewerChain.received(other).size(), before + 2);
        QCOMPARE(w.messages(), QStringList({"Cannot open clipboard."}));
        QCOMPARE(w.sim.dialogs.messages().front().caption, QStringLiteral("Zub剪贴板"));
        QCOMPARE(w.sim.dialogs.messages().front().icon, MessageIcon::Error);
        QCOMPARE(w.entries(), Entries({"one"}));

        // The program goes on: once released, the next change is captured.
        w.sim.clipboard.holdOpen(false);
        w.sim.viewerChain.notifyChange();
        QCOMPARE(w.entries(), Entries({"one", "held"}));
    }

    void manualCaptureForwardsToTheViewerOfTheLastJoin() {
        Window w;
        const ViewerHandle other = w.sim.viewerChain.addOtherViewer();
        w.sim.clipboard.setOtherProgramText("x");
        const std::size_t before = w.sim.viewerChain.received(other).size();
        w.action("Action16")->trigger();
        // First join: nothing forwarded; on leaving, the next viewer is told it stays next.
        QCOMPARE(w.form->nextViewer(), other);
        const auto& got = w.sim.viewerChain.received(other);
        QCOMPARE(got.size(), before + 1);
        QCOMPARE(got.back(),
                 (Message{Message::ChainChanged, w.sim.viewerChain.handleOf(*w.form), other}));
        // Second join: the handler forwards to the value the first join returned.
        w.action("Action16")->trigger();
        QCOMPARE(got.size(), before + 3);
        QCOMPARE(got[before + 1].kind, Message::Change);
        QCOMPARE(w.sim.viewerChain.members(), std::vector<ViewerHandle>{other});
    }

    void aSecretCopyIsPassedOnButNeverCaptured() {
        Window w;
        const ViewerHandle other = w.sim.viewerChain.addOtherViewer();
        w.sim.copyFromOtherProgram(std::string("hunter2"), std::nullopt, true);
        w.action("Action16")->trigger();
        QVERIFY(w.list().empty());
        w.action("Action15")->trigger();
        const std::size_t before = w.sim.viewerChain.received(other).size();
        QImage picture(2, 2, QImage::Format_RGB32);
        w.sim.copyFromOtherProgram(std::string("pw"), picture, true);
        QVERIFY(w.list().empty());
        QCOMPARE(w.sim.viewerChain.received(other).size(), before + 1);
        QVERIFY(w.messages().isEmpty());
        w.sim.copyFromOtherProgram("ordinary");
        QCOMPARE(w.entries(), Entries({"ordinary"}));
    }

    void aSlowProgramDelaysOnlyItsOwnCaptureAndCapturesKeepTheirOrder() {
        Window w;
        w.action("Action15")->trigger();
        w.sim.copyFromSlowProgram("slow");
        w.sim.copyFromOtherProgram("quick");
        // Nothing yet: the quick copy waits its turn behind the slow one.
        QVERIFY(w.list().empty());
        w.sim.slowProgramAnswers();
        QCOMPARE(w.entries(), Entries({"slow", "quick"}));
        QCOMPARE(w.panel(0), QStringLiteral("2/2"));

        // A program that never answers is given up: nothing captured, nothing said, and the
        // copies behind it come through.
        w.sim.copyFromSlowProgram("hung");
        w.sim.copyFromOtherProgram("after");
        w.sim.slowProgramGivenUp();
        QCOMPARE(w.entries(), Entries({"slow", "quick", "after"}));
        QVERIFY(w.messages().isEmpty());
    }

    void aManualCaptureDuringASlowCopyTakesTheCopyOnceItArrives() {
        Window w;
        w.sim.copyFromOtherProgram("old");
        w.sim.copyFromSlowProgram("new");
        QVERIFY(w.sim.hotKey.press(hotkey::kControl, hotkey::kKeyR));
        QVERIFY(w.list().empty());
        QVERIFY(!w.sim.viewerChain.isMember(*w.form));
        w.sim.slowProgramAnswers();
        QCOMPARE(w.entries(), Entries({"new"}));
        // Given up: the capture takes what the clipboard still holds.
        w.sim.copyFromSlowProgram("lost");
        w.action("Action16")->trigger();
        w.sim.slowProgramGivenUp();
        QCOMPARE(w.entries(), Entries({"new"}));
        w.sim.copyFromSlowProgram("lost again");
        w.action("Action16")->trigger();
        w.action("Action16")->trigger();
        w.sim.copyFromOtherProgram("fresh");
        w.sim.slowProgramGivenUp();
        QCOMPARE(w.entries(), Entries({"new", "fresh"}));
    }

    void leavesTheChainAndReleasesTheHotKeyAtTheEnd() {
        Window w;
        const ViewerHandle other = w.sim.viewerChain.addOtherViewer();
        w.action("Action15")->trigger();
        const ViewerHandle self = w.sim.viewerChain.handleOf(*w.form);
        w.form.reset();
        QCOMPARE(w.sim.viewerChain.members(), std::vector<ViewerHandle>{other});
        QCOMPARE(w.sim.viewerChain.received(other).back(),
                 (Message{Message::ChainChanged, self, other}));
        QVERIFY(!w.sim.hotKey.isRegistered(hotkey::kControl, hotkey::kKeyR));
    }
};

QTEST_MAIN(CaptureTest)
#include "capture_test.moc"
