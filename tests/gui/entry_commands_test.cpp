// Commands on one entry and the edit box: recall, Return, Comment, the edit-box search and the
// clip list's context menu.

#include "../under_sanitizer.h"
#include "cliplist/edit_box.h"
#include "gui_support.h"
#include "platform/qt/qt_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

#include <fstream>

using namespace zub;
using namespace zub::test;

namespace {

QStringList recentItems(Window& w) {
    QStringList out;
    for (const std::string& item : w.form->editBox()->recent().items()) out << toQString(item);
    return out;
}

QString editText(Window& w) {
    return toQString(w.form->editBox()->text());
}

QLineEdit* lineEdit(Window& w) {
    return w.form->findChild<QComboBox*>("ComboBox1")->lineEdit();
}

// The user double-clicks the list (the window's handler runs through its error display).
void doubleClick(Window& w) {
    emit w.form->clipListView()->doubleClicked();
}

void recall(Window& w, std::size_t row) {
    w.selectRow(row);
    doubleClick(w);
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key)
        if (key == "VmRSS:" && status >> value) return value;
    return 0;
}

void comment(Window& w) {
    w.form->findChild<QAction*>("Z4")->trigger();
}

} // namespace

class EntryCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void recallPutsTheClipTextEverywhere() {
        Window w;
        w.fill({"abc[Zub]note", "[Zub]note", "", cp936(u"中文")});
        recall(w, 0);
        QCOMPARE(w.sim.clipboard.text(), std::optional<std::string>("abc"));
        QVERIFY(!w.sim.clipboard.bitmap());
        QCOMPARE(editText(w), QStringLiteral("abc"));
        QCOMPARE(recentItems(w), QStringList({"abc"}));

        recall(w, 1); // an empty clip text is recalled as such
        QCOMPARE(w.sim.clipboard.text(), std::optional<std::string>(""));
        QCOMPARE(editText(w), QString());
        QCOMPARE(recentItems(w), QStringList({"", "abc"}));

        const int writes = w.sim.clipboard.writeCount();
        recall(w, 2); // an empty entry: nothing
        w.list().select(std::nullopt);
        doubleClick(w); // nothing selected: nothing
        QCOMPARE(w.sim.clipboard.writeCount(), writes);
        QCOMPARE(recentItems(w), QStringList({"", "abc"}));

        recall(w, 3);
        QCOMPARE(w.sim.clipboard.text(), std::optional<std::string>("\xD6\xD0\xCE\xC4"));
        QCOMPARE(editText(w), QStringLiteral("中文"));
        // The list and its display stay as they were.
        QCOMPARE(w.entries().size(), 4);
        QCOMPARE(w.selection(), std::optional<std::size_t>(3));
    }

    void aHugeEntryIsRecalledWholeAndShownCutInTheField() {
        Window w;
        const std::string clip = std::string(20'000'000, 'a') + "\xD6\xD0";
        w.fill({clip + "[Zub]note"});
        const long before = residentKiB();
        recall(w, 0);
        QCOMPARE(w.sim.clipboard.text()->size(), clip.size());
        QVERIFY(*w.sim.clipboard.text() == clip);
        // The field shows a bounded beginning; the edit box still holds every byte.
        const QString shown = lineEdit(w)->text();
        QVERIFY(shown.size() <= int(EditBox::kMaxShownBytes) + 1);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(w.form->editBox()->text() == clip);
        QVERIFY(w.form->findChild<QComboBox*>("ComboBox1")->itemText(0).size() <=
                int(EditBox::kMaxShownBytes) + 1);
        // Held a few times over (the entry, the clipboard, the edit box, the recent list), not
        // the gigabytes a laid-out line of twenty million characters costs.
        if (!test::underAddressSanitizer()) {
            QVERIFY2(residentKiB() - before < 6 * 20'000,
                     qPrintable(QString::number(residentKiB() - before)));
        }

        // Returned unedited, the entry keeps exactly its bytes.
        w.action("Action7")->trigger();
        QVERIFY(w.list().text(0) == clip + "[Zub]note");
    }

    void recentListKeepsFiveNewestWithoutRepeats() {
        Window w;
        w.fill({"1", "2", "3", "4", "5", "6", "ABC", "abc"});
        for (std::size_t row = 0; row < 6; ++row) recall(w, row);
        QCOMPARE(recentItems(w), QStringList({"6", "5", "4", "3", "2"}));
        recall(w, 3); // already there: stays where it is
        QCOMPARE(recentItems(w), QStringList({"6", "5", "4", "3", "2"}));
        recall(w, 7);
        recall(w, 6); // case matters
        QCOMPARE(recentItems(w), QStringList({"ABC", "abc", "6", "5", "4"}));
    }

    void recallInAutomaticModeAddsNothing() {
        Window w;
        w.fill({"one", "two[Zub]c"});
        w.action("Action15")->trigger();
        recall(w, 1);
        QCOMPARE(w.entries(), Entries({"one", "two[Zub]c"}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
        QVERIFY(w.messages().isEmpty());
    }

    void recallWithTheClipboardHeldChangesNothing() {
        Window w;
        w.fill({"abc"});
        w.sim.clipboard.holdOpen(true);
        recall(w, 0);
        QCOMPARE(w.messages(), QStringList({"Cannot open clipboard."}));
        QCOMPARE(editText(w), QString());
        QVERIFY(recentItems(w).isEmpty());
    }

    void returnWritesTheEditBoxBackKeepingTheComment() {
        Window w;
        w.fill({"old[Zub]note", "old"});
        w.list().setChecked(0, true);
        w.selectRow(0);
        w.form->editBox()->setTextByProgram("new");
        w.action("Action7")->trigger();
        QCOMPARE(w.entries(), Entries({"new[Zub]note", "old"}));
        QCOMPARE(w.checks(), Checks({true, false}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(0));
        // No display refresh: the tool tip still shows the former text.
        QCOMPARE(w.form->clipListView()->toolTip(), QStringLiteral("old[Zub]note"));

        w.selectRow(1);
        w.action("Action7")->trigger();
        QCOMPARE(w.entries(), Entries({"new[Zub]note", "new"}));

        w.form->editBox()->setTextByProgram("");
        w.selectRow(0);
        w.action("Action7")->trigger(); // empty edit box: nothing
        w.form->editBox()->setTextByProgram("x");
        w.list().select(std::nullopt);
        w.action("Action7")->trigger(); // nothing selected: nothing
        QCOMPARE(w.entries(), Entries({"new[Zub]note", "new"}));
    }

    void anEditElsewhereKeepsEveryRecalledByte() {
        Window w;
        // Bytes that start no character of the code page first, then random texts.
        std::vector<std::string> texts = {"a\xD6 b",      "\xD6\x7F",         "end\xD6",
                                          "\x81\x30\x81", "\xA2\xE3\xD6\xD0", "\xE7\x95\x8C"};
        std::mt19937 random(11);
        while (texts.size() < 200) texts.push_back(randomBytes(random));
        QLineEdit* field = lineEdit(w);
        for (const std::string& text : texts) {
            w.list().clear();
            w.fill({text + "[Zub]note"});
            recall(w, 0);
            QCOMPARE(w.form->editBox()->text(), text);
            QTest::keyClick(field, Qt::Key_Home);
            QTest::keyClick(field, Qt::Key_X);
            w.action("Action7")->trigger();
            QCOMPARE(w.entries(), Entries({QByteArray::fromStdString("x" + text + "[Zub]note")}));
        }
    }

    void returnInASortedListDoesNotResort() {
        Window w;
        w.fill({"banana", "apple"});
        w.action("Action4")->trigger();
        w.selectRow(0);
        w.form->editBox()->setTextByProgram("zebra");
        w.action("Action7")->trigger();
        QCOMPARE(w.entries(), Entries({"zebra", "banana"}));
        w.action("Action4")->trigger();
        w.action("Action4")->trigger();
        QCOMPARE(w.entries(), Entries({"banana", "zebra"}));
    }

    void commentAddsReplacesAndRemoves() {
        Window w;
        w.fill({"abc"});
        w.selectRow(0);
        w.sim.dialogs.answerInputBox("x");
        comment(w);
        QCOMPARE(w.entries(), Entries({"abc[Zub]x"}));
        QCOMPARE(w.panel(2), QStringLiteral("x"));
        const auto& call = w.sim.dialogs.inputBoxCalls().back();
        QCOMPARE(call.caption, QStringLiteral("注释  "));
        QCOMPARE(call.prompt, QStringLiteral("内容  "));
        QCOMPARE(call.initial, std::string());
        QCOMPARE(call.maxBytes, std::size_t(255));

        w.sim.dialogs.answerInputBox("y");
        comment(w);
        QCOMPARE(w.entries(), Entries({"abc[Zub]y"}));
        QCOMPARE(w.sim.dialogs.inputBoxCalls().back().initial, std::string("x"));

        w.sim.dialogs.answerInputBox("");
        comment(w);
        QCOMPARE(w.entries(), Entries({"abc"}));
        QCOMPARE(w.panel(2), QStringLiteral("无"));
    }

    void commentCancelKeepsTheEntryUnlessItsCommentIsEmpty() {
        Window w;
        w.fill({"abc[Zub]x", "abc", "abc[Zub]"});
        for (std::size_t row = 0; row < 3; ++row) {
            w.selectRow(row);
            comment(w); // no scripted answer: Cancel
        }
        QCOMPARE(w.entries(), Entries({"abc[Zub]x", "abc", "abc"}));
    }

    void typingSearchesTheWholeEntryIgnoringCase() {
        Window w;
        w.fill({"xyz", "note[Zub]the ABsolute", "cab"});
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        QLineEdit* edit = lineEdit(w);
        edit->setFocus();
        QTest::keyClicks(edit, "ab");
        QCOMPARE(w.selection(), std::optional<std::size_t>(1)); // the match is in the comment
        QCOMPARE(w.panel(0), QStringLiteral("2/3"));
        QTest::keyClick(edit, Qt::Key_Q); // "abq" matches nothing: the selection stays
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
        w.form->statusBar1()->setText(0, QString());
        for (int i = 0; i < 3; ++i) QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(editText(w), QString());
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
        QCOMPARE(w.panel(0), QStringLiteral("2/3")); // refreshed all the same
    }

    void searchNeverMatchesInsideACharacter() {
        Window w;
        w.fill({"\xC4\xE3\xBA\xC3", "\xE3\xBA"}); // 你好, then the bytes E3 BA alone
        w.form->editBox()->setTextByProgram("\xE3\xBA");
        w.form->ComboBox1Change();
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
    }

    void pickingARecentItemSearchesForIt() {
        Window w;
        w.fill({"first", "second[Zub]c", "Second"});
        recall(w, 2);
        recall(w, 0);
        w.selectRow(0);
        auto* combo = w.form->findChild<QComboBox*>("ComboBox1");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), QStringLiteral("Second"));
        combo->activated(1);
        QCOMPARE(editText(w), QStringLiteral("Second"));
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
    }

    void contextMenuFollowsTheSelection() {
        Window w;
        w.fill({"a"});
        QAction* t2 = w.form->findChild<QAction*>("T2");
        QAction* z4 = w.form->findChild<QAction*>("Z4");
        w.form->CheckListBox1ContextPopup();
        QVERIFY(!t2->isEnabled());
        QVERIFY(!z4->isEnabled());
        QVERIFY(w.action("Action11")->isEnabled()); // the command itself is not touched
        w.selectRow(0);
        w.form->CheckListBox1ContextPopup();
        QVERIFY(t2->isEnabled());
        QVERIFY(z4->isEnabled());
    }
};

QTEST_MAIN(EntryCommandsTest)
#include "entry_commands_test.moc"
