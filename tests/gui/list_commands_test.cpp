// Commands on the whole list: reorder, Sort, Tidy, Invert and Delete, as the user runs them.

#include "app/up_down.h"
#include "gui_support.h"

#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace zub;
using namespace zub::test;

class ListCommandsTest : public QObject {
    Q_OBJECT

    static UpDown* upDown(Window& w) { return w.form->findChild<UpDown*>("UpDown1"); }

private slots:
    void reorderMovesTheSelectedEntryOneRowPerClick() {
        Window w;
        w.fill({"one", "two", "six"});
        w.list().setChecked(1, true);
        w.list().setChecked(2, true);
        w.selectRow(1);
        QCOMPARE(w.panel(0), QStringLiteral("2/3"));
        upDown(w)->stepUp();
        QCOMPARE(w.entries(), Entries({"two", "one", "six"}));
        QCOMPARE(w.checks(), Checks({true, false, true}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(0));
        QCOMPARE(w.panel(0), QStringLiteral("1/3"));
        // At the top the up arrow changes nothing.
        upDown(w)->stepUp();
        QCOMPARE(w.entries(), Entries({"two", "one", "six"}));
        upDown(w)->stepDown();
        QCOMPARE(w.entries(), Entries({"one", "two", "six"}));
        QCOMPARE(w.panel(0), QStringLiteral("2/3"));
        upDown(w)->stepDown();
        upDown(w)->stepDown(); // at the bottom: nothing
        QCOMPARE(w.entries(), Entries({"one", "six", "two"}));
        QCOMPARE(w.checks(), Checks({false, true, true}));
        QCOMPARE(w.panel(0), QStringLiteral("3/3"));

        // Nothing selected: the arrows change nothing.
        w.list().select(std::nullopt);
        w.form->CheckListBox1Click();
        upDown(w)->stepUp();
        upDown(w)->stepDown();
        QCOMPARE(w.entries(), Entries({"one", "six", "two"}));
    }

    void oneMouseClickOnAnArrowMovesTheEntryOneRow() {
        Window w;
        w.fill({"a", "b", "c", "d"});
        w.selectRow(3);
        int moves = 0;
        struct MoveCounter : ClipListListener {
            int& count;
            explicit MoveCounter(int& c) : count(c) {}
            void beforeMove(std::size_t, std::size_t) override { ++count; }
        } counter(moves);
        w.list().addListener(&counter);
        QTest::mouseClick(upDown(w)->upButton(), Qt::LeftButton);
        w.list().removeListener(&counter);
        QCOMPARE(w.entries(), Entries({"a", "b", "d", "c"}));
        QCOMPARE(moves, 1);
        QCOMPARE(w.panel(0), QStringLiteral("3/4"));
    }

    void reorderReachesRowsBeyondSixteenBits() {
        Window w;
        std::vector<std::string> many(40000, "x");
        many[39998] = "above";
        many[39999] = "moving";
        w.list().assign(many);
        w.selectRow(39999);
        upDown(w)->stepUp();
        QCOMPARE(w.list().text(39998), std::string("moving"));
        QCOMPARE(w.list().text(39999), std::string("above"));
        QCOMPARE(w.panel(0), QStringLiteral("39999/40000"));
    }

    void sortKeepsMarksRowAndTopRowAndLeavesTheDisplay() {
        Window w;
        w.fill({"banana", "Cherry[Zub]red", "apple"});
        w.list().setChecked(0, true);
        w.selectRow(1);
        QCOMPARE(w.panel(2), QStringLiteral("red"));
        w.action("Action4")->trigger();
        QCOMPARE(w.entries(), Entries({"apple", "banana", "Cherry[Zub]red"}));
        QCOMPARE(w.checks(), Checks({false, true, false}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
        QVERIFY(w.action("Action4")->isChecked());
        auto* bar = w.form->findChild<QToolBar*>("ToolBar2");
        QVERIFY(qobject_cast<QToolButton*>(bar->widgetForAction(w.action("Action4")))->isChecked());
        // The display is not refreshed: panel 2 still shows the comment of the entry before.
        QCOMPARE(w.panel(2), QStringLiteral("red"));
        QCOMPARE(w.panel(0), QStringLiteral("2/3"));

        w.action("Action4")->trigger();
        QVERIFY(!w.action("Action4")->isChecked());
        QCOMPARE(w.entries(), Entries({"apple", "banana", "Cherry[Zub]red"}));
        w.action("Action15")->trigger();
        w.sim.copyFromOtherProgram("aardvark");
        QCOMPARE(w.entries().back(), QByteArray("aardvark"));
    }

    void sortKeepsTheTopRowInView() {
        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        std::vector<std::string> entries;
        for (int i = 0; i < 200; ++i) entries.push_back(std::to_string(199 - i));
        w.list().assign(entries);
        ClipListView* view = w.form->clipListView();
        view->verticalScrollBar()->setValue(50);
        w.action("Action4")->trigger();
        QCOMPARE(view->topRow(), 50);
    }

    void tidyTrimsDeletesEmptiesAndMarksRepeats() {
        Window w;
        w.fill({" a ", "", "\t", "a", "b", "a", "A", "a[Zub]x"});
        w.selectRow(4);
        w.action("Action5")->trigger();
        QCOMPARE(w.entries(), Entries({"a", "a", "b", "a", "A", "a[Zub]x"}));
        QCOMPARE(w.checks(), Checks({false, true, false, true, false, false}));
        // The selected "b" survived and moved up by the two deleted entries before it.
        QCOMPARE(w.selection(), std::optional<std::size_t>(2));
        QCOMPARE(w.panel(0), QStringLiteral("3/6"));

        // Nothing to tidy: no entry and no mark changes; a mark is never turned off.
        w.list().setChecked(0, true);
        w.action("Action5")->trigger();
        QCOMPARE(w.entries(), Entries({"a", "a", "b", "a", "A", "a[Zub]x"}));
        QCOMPARE(w.checks(), Checks({true, true, false, true, false, false}));
    }

    void invertSwitchesEveryMarkAndTwiceRestoresThem() {
        Window w;
        w.action("Action6")->trigger(); // empty list: nothing
        w.fill({"a", "b", "c"});
        w.list().setChecked(1, true);
        w.selectRow(2);
        w.action("Action6")->trigger();
        QCOMPARE(w.checks(), Checks({true, false, true}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(2));
        w.action("Action6")->trigger();
        QCOMPARE(w.checks(), Checks({false, true, false}));
    }

    void deleteRemovesCheckedEntriesAndFollowsTheSelection() {
        Window w;
        w.fill({"w", "x", "y[Zub]why", "z"});
        w.list().setChecked(0, true);
        w.selectRow(2);
        QCOMPARE(w.panel(0), QStringLiteral("3/4"));
        w.action("Action8")->trigger();
        QCOMPARE(w.entries(), Entries({"x", "y[Zub]why", "z"}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
        QCOMPARE(w.panel(0), QStringLiteral("2/3"));

        // Nothing checked: nothing deleted, the display refreshed.
        w.form->statusBar1()->setText(0, QString());
        w.action("Action8")->trigger();
        QCOMPARE(w.list().size(), std::size_t(3));
        QCOMPARE(w.panel(0), QStringLiteral("2/3"));

        // The selected entry itself deleted: no selection.
        w.list().setChecked(1, true);
        w.action("Action8")->trigger();
        QCOMPARE(w.entries(), Entries({"x", "z"}));
        QCOMPARE(w.selection(), std::nullopt);
        QCOMPARE(w.panel(0), QStringLiteral("就绪"));

        w.action("Action6")->trigger();
        w.action("Action8")->trigger();
        QCOMPARE(w.list().size(), std::size_t(0));
        QCOMPARE(w.panel(0), QStringLiteral("就绪"));
    }
};

QTEST_MAIN(ListCommandsTest)
#include "list_commands_test.moc"
