// Find and Replace on the workbench, in the window on the simulated platform: the commands'
// enabling, the two modeless dialogs, and what their buttons do to the workbench and the list.

#include "cliplist/edit_box.h"
#include "gui_support.h"
#include "platform/qt/qt_text.h"
#include "workbench/search_dialog.h"
#include "workbench/workbench_edit.h"
#include "workbench/workbench_search.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace zub;
using namespace zub::test;

namespace {

using Row = std::optional<std::size_t>;

// What the user types into a dialog's field, character by character.
void typeInto(QLineEdit* field, const QString& text) {
    field->selectAll();
    field->del();
    typeCharacters(field, text);
}

struct Searching : Window {
    WorkbenchEdit* memo() { return form->memo1(); }
    QByteArray memoBytes() { return QByteArray::fromStdString(memo()->text()); }
    QByteArray selected() {
        return QByteArray::fromStdString(
            memo()->bytes(memo()->selectionStart(), memo()->selectionLength()));
    }

    bool showActive() {
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) return false;
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get());
    }
    bool focusMemo() {
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) return false;
        memo()->setFocus();
        return QTest::qWaitFor([this] { return memo()->hasFocus(); });
    }
    // The user puts text into the workbench and the caret at `caret`.
    void setText(const std::string& bytes, std::uint64_t caret = 0) {
        memo()->setText(bytes);
        memo()->selectBytes(caret, 0);
    }

    SearchDialog* openFind() {
        action("SearchFind1")->trigger();
        return form->workbenchSearch()->findDialog();
    }
    SearchDialog* openReplace() {
        action("SearchReplace1")->trigger();
        return form->workbenchSearch()->replaceDialog();
    }
    void find(SearchDialog* d, const QString& text, SearchOptions options = {}, bool up = false) {
        typeInto(d->findField(), text);
        d->matchCaseBox()->setChecked(options.matchCase);
        d->wholeWordBox()->setChecked(options.wholeWord);
        if (d->upButton()) (up ? d->upButton() : d->downButton())->setChecked(true);
        QTest::mouseClick(d->findNextButton(), Qt::LeftButton);
    }
};

} // namespace

class SearchTest : public QObject {
    Q_OBJECT

private slots:
    void findAndReplaceFollowTheFocusAndTheText() {
        Searching w;
        QVERIFY(w.showActive());
        QAction* find = w.action("SearchFind1");
        QAction* replace = w.action("SearchReplace1");
        QVERIFY(!find->isEnabled()); // at start: nothing has the focus, nothing is written
        QVERIFY(w.focusMemo());
        QVERIFY(!find->isEnabled()); // the workbench holds no byte yet
        typeCharacters(w.memo(), QStringLiteral("a"));
        QVERIFY(find->isEnabled());
        QVERIFY(replace->isEnabled());
        QTest::keyClick(w.memo(), Qt::Key_Backspace);
        QVERIFY(!find->isEnabled());
        typeCharacters(w.memo(), QStringLiteral("ab"));
        QVERIFY(find->isEnabled());

        // The clip list and the edit box take the focus: both commands go grey, in the menu too.
        w.fill({"x"});
        w.form->clipListView()->setFocus();
        QTRY_VERIFY(w.form->clipListView()->hasFocus());
        QVERIFY(!find->isEnabled());
        QVERIFY(!replace->isEnabled());
        QMenu* edit = w.form->findChild<QToolBar*>("ToolBar1")
                          ->findChild<QToolButton*>("MenuButton2")
                          ->menu();
        QCOMPARE(edit->actions()[4]->text(), QStringLiteral("查找(&F)"));
        QVERIFY(!edit->actions()[4]->isEnabled());
        QCOMPARE(edit->actions()[5]->toolTip(), QStringLiteral("查找替换"));
        QVERIFY(!edit->actions()[5]->isEnabled());
        auto* combo = w.form->findChild<QComboBox*>("ComboBox1");
        combo->setFocus();
        QTRY_VERIFY(combo->hasFocus());
        QVERIFY(!find->isEnabled());
        // Ctrl+F does nothing then.
        QTest::keyClick(w.form.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.form->workbenchSearch()->findDialog() == nullptr);

        QVERIFY(w.focusMemo());
        QVERIFY(find->isEnabled());
        QVERIFY(edit->actions()[4]->isEnabled());
        // New empties the workbench without a change event; the commands follow all the same.
        w.action("Action10")->trigger();
        QVERIFY(!find->isEnabled());
    }

    void ctrlFOpensOneFindDialogThatKeepsItsTextsAndComesToTheFront() {
        Searching w;
        QVERIFY(w.showActive());
        w.setText("one two");
        QVERIFY(w.focusMemo());
        QTest::keyClick(w.form.get(), Qt::Key_F, Qt::ControlModifier);
        SearchDialog* d = w.form->workbenchSearch()->findDialog();
        QVERIFY(d != nullptr);
        QTRY_VERIFY(d->isVisible());
        QVERIFY(!d->isModal());
        QCOMPARE(d->windowTitle(), QStringLiteral("查找"));
        QCOMPARE(d->findField()->text(), QString());
        QVERIFY(!d->matchCaseBox()->isChecked());
        QVERIFY(!d->wholeWordBox()->isChecked());
        QVERIFY(d->downButton()->isChecked());
        QVERIFY(d->findNextButton()->isDefault());

        typeInto(d->findField(), QStringLiteral("two"));
        d->wholeWordBox()->setChecked(true);
        d->upButton()->setChecked(true);
        QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
        QVERIFY(!d->isVisible());

        QVERIFY(w.focusMemo());
        QCOMPARE(w.openFind(), d); // one dialog for the whole run
        QTRY_VERIFY(d->isVisible());
        QCOMPARE(d->findField()->text(), QStringLiteral("two"));
        QVERIFY(d->wholeWordBox()->isChecked());
        QVERIFY(d->upButton()->isChecked());
        // While it is open, the command brings it to the front.
        QVERIFY(w.focusMemo());
        QVERIFY(w.openFind() == d);
        QTRY_VERIFY(d->isActiveWindow());

        // The Replace dialog is another, with no direction: it always searches down.
        QVERIFY(w.focusMemo());
        SearchDialog* r = w.openReplace();
        QVERIFY(r != nullptr && r != d);
        QCOMPARE(r->windowTitle(), QStringLiteral("替换"));
        QVERIFY(r->upButton() == nullptr);
        QCOMPARE(r->replaceField()->text(), QString());
        QVERIFY(r->replaceAllButton() != nullptr);
    }

    void findNextSelectsTheMatchWhileTheDialogKeepsTheFocus() {
        Searching w;
        QVERIFY(w.showActive());
        std::string text;
        for (int i = 0; i < 400; ++i) text += "line\r\n";
        text += "Target here";
        w.setText(text);
        QVERIFY(w.focusMemo());
        SearchDialog* d = w.openFind();
        QTRY_VERIFY(d->isActiveWindow());
        w.find(d, QStringLiteral("target"));
        QCOMPARE(w.selected(), QByteArray("Target"));
        QCOMPARE(w.memo()->selectionStart(), 400u * 6);
        QVERIFY(d->isActiveWindow());
        QVERIFY(!w.memo()->hasFocus());
        // Scrolled into view.
        const QRect caret = w.memo()->cursorRect();
        QVERIFY(w.memo()->viewport()->rect().contains(caret.center()));
        QVERIFY(w.sim.dialogs.messages().empty());
    }

    void thereIsNoWrapAround() {
        Searching w;
        QVERIFY(w.showActive());
        w.setText("abc xyz", 4);
        QVERIFY(w.focusMemo());
        SearchDialog* d = w.openFind();
        std::optional<std::uint64_t> caretDuringMessage;
        w.sim.dialogs.onMessage = [&] { caretDuringMessage = w.memo()->selectionStart(); };
        w.find(d, QStringLiteral("abc"));
        QCOMPARE(caretDuringMessage, std::optional<std::uint64_t>(4));
        QCOMPARE(w.sim.dialogs.messages().size(), std::size_t(1));
        const auto& m = w.sim.dialogs.messages()[0];
        QCOMPARE(m.text, QStringLiteral("Text not found: \"abc\""));
        QCOMPARE(m.caption, QStringLiteral("Zub剪贴板"));
        QCOMPARE(m.icon, MessageIcon::None);
        QCOMPARE(w.memo()->selectionStart(), 4u);
        QCOMPARE(w.memo()->selectionLength(), 0u);
        // Upwards it is found; then upwards again nothing is left.
        w.find(d, QStringLiteral("abc"), {}, true);
        QCOMPARE(w.memo()->selectionStart(), 0u);
        QCOMPARE(w.selected(), QByteArray("abc"));
        w.find(d, QStringLiteral("abc"), {}, true);
        QCOMPARE(w.sim.dialogs.messages().size(), std::size_t(2));
        // An empty find text finds nothing.
        w.find(d, QString());
        QCOMPARE(w.messages().last(), QStringLiteral("Text not found: \"\""));
        QCOMPARE(w.selected(), QByteArray("abc"));
    }

    void wholeWordSkipsWordsThatGoOnButNotChineseNeighbours() {
        Searching w;
        QVERIFY(w.showActive());
        w.setText("ab1 ab");
        QVERIFY(w.focusMemo());
        SearchDialog* d = w.openFind();
        w.find(d, QStringLiteral("ab"), {false, true});
        QCOMPARE(w.memo()->selectionStart(), 4u);
        QCOMPARE(w.selected(), QByteArray("ab"));

        w.setText(cp936(u"中ab文"));
        w.find(d, QStringLiteral("ab"), {false, true});
        QCOMPARE(w.memo()->selectionStart(), 2u);
        QCOMPARE(w.selected(), QByteArray("ab"));
        QVERIFY(w.sim.dialogs.messages().empty());
    }

    void aLetterNeverMatchesTheTrailByteOfADoubleByteCharacter() {
        Searching w;
        QVERIFY(w.showActive());
        // 乤 is 81 61: its second byte is the letter 'a'.
        const std::string a2 = cp936(u"乤");
        QCOMPARE(QByteArray::fromStdString(a2), QByteArray("\x81"
                                                           "a"));
        w.setText(a2 + a2 + "Xa");
        QVERIFY(w.focusMemo());
        SearchDialog* d = w.openFind();
        w.find(d, QStringLiteral("a"), {true, false});
        QCOMPARE(w.memo()->selectionStart(), 5u);
        QCOMPARE(w.selected(), QByteArray("a"));
        w.find(d, QStringLiteral("a"), {true, false});
        QCOMPARE(w.messages(), QStringList{QStringLiteral("Text not found: \"a\"")});
        // Replace All leaves the characters whole.
        QVERIFY(w.focusMemo());
        SearchDialog* r = w.openReplace();
        w.memo()->selectBytes(0, 0);
        typeInto(r->findField(), QStringLiteral("A"));
        typeInto(r->replaceField(), QStringLiteral("b"));
        QTest::mouseClick(r->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(w.memoBytes(), QByteArray::fromStdString(a2 + a2 + "Xb"));
    }

    void replaceAllOfAByAaInAaaEnds() {
        Searching w;
        QVERIFY(w.showActive());
        w.setText("aaa");
        QVERIFY(w.focusMemo());
        SearchDialog* r = w.openReplace();
        typeInto(r->findField(), QStringLiteral("a"));
        typeInto(r->replaceField(), QStringLiteral("aa"));
        QTest::mouseClick(r->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(w.memoBytes(), QByteArray("aaaaaa"));
        QCOMPARE(w.memo()->selectionStart(), 6u);  // after the last replacement
        QVERIFY(w.sim.dialogs.messages().empty()); // no count is reported
        // One step to undo.
        w.memo()->undo();
        QCOMPARE(w.memoBytes(), QByteArray("aaa"));

        // Nothing to replace after the caret: the message, and nothing changes.
        w.memo()->selectBytes(3, 0);
        QTest::mouseClick(r->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(w.messages(), QStringList{QStringLiteral("Text not found: \"a\"")});
        QCOMPARE(w.memoBytes(), QByteArray("aaa"));
    }

    void replaceAllRunsTheWordPrefixSearchForEachReplacement() {
        Searching w;
        QVERIFY(w.showActive());
        w.fill({"zzz", "yyy"});
        QVERIFY(w.focusMemo());
        typeCharacters(w.memo(), QStringLiteral("x x"));
        w.memo()->selectBytes(0, 0);
        w.selectRow(1);
        SearchDialog* r = w.openReplace();
        typeInto(r->findField(), QStringLiteral("x"));
        typeInto(r->replaceField(), QStringLiteral("ba"));
        QTest::mouseClick(r->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(w.memoBytes(), QByteArray("ba ba"));
        // The first replacement's word is empty and selects the first entry; the second's, " ba",
        // selects nothing, so the first entry stays selected. A search only after the last
        // replacement would have left the second entry selected.
        QCOMPARE(w.selection(), Row(0));
        QCOMPARE(w.panel(0), QStringLiteral("1/2"));
    }

    void replaceTakesASelectionEqualToTheFindTextWhateverItsCase() {
        Searching w;
        QVERIFY(w.showActive());
        w.setText("A a a");
        w.memo()->selectBytes(0, 1);
        QVERIFY(w.focusMemo());
        SearchDialog* r = w.openReplace();
        typeInto(r->findField(), QStringLiteral("a"));
        typeInto(r->replaceField(), QStringLiteral("bb"));
        r->matchCaseBox()->setChecked(true);
        QTest::mouseClick(r->replaceButton(), Qt::LeftButton);
        QCOMPARE(w.memoBytes(), QByteArray("bb a a"));
        // The next match is selected, not yet replaced.
        QCOMPARE(w.memo()->selectionStart(), 3u);
        QCOMPARE(w.selected(), QByteArray("a"));
        QTest::mouseClick(r->replaceButton(), Qt::LeftButton);
        QTest::mouseClick(r->replaceButton(), Qt::LeftButton);
        QCOMPARE(w.memoBytes(), QByteArray("bb bb bb"));
        // After the last one nothing is said.
        QVERIFY(w.sim.dialogs.messages().empty());

        // Without a matching selection the next match is found and replaced at once, the
        // caret after it; when there is none, the message.
        w.setText("x a", 0);
        QTest::mouseClick(r->replaceButton(), Qt::LeftButton);
        QCOMPARE(w.memoBytes(), QByteArray("x bb"));
        QCOMPARE(w.memo()->selectionStart(), 4u);
        QCOMPARE(w.memo()->selectionLength(), 0u);
        QTest::mouseClick(r->replaceButton(), Qt::LeftButton);
        QCOMPARE(w.messages(), QStringList{QStringLiteral("Text not found: \"a\"")});
    }

    void replaceIsAWorkbenchChangeForTheWordPrefixSearch() {
        Searching w;
        QVERIFY(w.showActive());
        w.fill({"zzz", "bar"});
        QVERIFY(w.focusMemo());
        typeCharacters(w.memo(), QStringLiteral("\nx"));
        w.memo()->selectBytes(2, 0);
        QCOMPARE(w.selection(), Row(0)); // typing Enter selected the first entry
        SearchDialog* r = w.openReplace();
        typeInto(r->findField(), QStringLiteral("x"));
        typeInto(r->replaceField(), QStringLiteral("ba"));
        QTest::mouseClick(r->replaceButton(), Qt::LeftButton);
        QCOMPARE(w.memoBytes(), QByteArray("\r\nba"));
        QCOMPARE(w.selection(), Row(1)); // the word "ba" after the line break
    }

    void textsTakeAtMost255Bytes() {
        Searching w;
        QVERIFY(w.showActive());
        w.setText(std::string(300, 'q') + "!");
        QVERIFY(w.focusMemo());
        SearchDialog* d = w.openFind();
        typeInto(d->findField(), QString(300, QLatin1Char('q')));
        QCOMPARE(d->findField()->text(), QString(255, QLatin1Char('q')));
        QTest::mouseClick(d->findNextButton(), Qt::LeftButton);
        QCOMPARE(w.memo()->selectionLength(), 255u);
        // Chinese characters count two bytes: 127 of them fit, the 128th does not.
        typeInto(d->findField(), QString(130, QChar(u'中')));
        QCOMPARE(d->findField()->text(), QString(127, QChar(u'中')));
        // A pasted text is cut to fit, and to its first line. The menu is reached from the
        // workbench, which has the focus back by then.
        QVERIFY(w.focusMemo());
        SearchDialog* r = w.openReplace();
        QVERIFY(r != nullptr);
        r->replaceField()->clear();
        r->replaceField()->insert(QString(250, QLatin1Char('r')) + QStringLiteral("0123456789"));
        QCOMPARE(r->replaceField()->text().size(), 255);
        r->replaceField()->clear();
        r->replaceField()->insert(QStringLiteral("one\ntwo"));
        QCOMPARE(fromQString(r->replaceField()->text()), std::string("one"));
    }
};

QTEST_MAIN(SearchTest)
#include "search_test.moc"
