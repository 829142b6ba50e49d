// The edit box driven as the user drives it: keys, input methods and picks from the drop-down.

#include "cliplist/edit_box.h"
#include "platform/qt/qt_text.h"
#include "text/codepage.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include <iterator>

using namespace zub;

namespace {

QComboBox* comboBoxLikeComboBox1(QWidget* window) {
    auto* combo = new QComboBox(window);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setFocusPolicy(Qt::ClickFocus);
    return combo;
}

// A window that records the keys its children let through.
struct Window : QWidget {
    QStringList keys;
    void keyPressEvent(QKeyEvent* e) override {
        if (!QList<int>{Qt::Key_Control, Qt::Key_Alt, Qt::Key_Shift}.contains(e->key()))
            keys << QKeySequence(e->keyCombination()).toString();
    }
};

struct Box {
    Window window;
    QLineEdit* other = new QLineEdit(&window);
    QComboBox* combo = comboBoxLikeComboBox1(&window);
    QLineEdit* field = combo->lineEdit();
    EditBox edit{combo};
    QSignalSpy changed{&edit, &EditBox::userChanged};

    Box() {
        window.setLayout(new QVBoxLayout);
        window.layout()->addWidget(combo);
        window.layout()->addWidget(other);
        window.show();
        window.activateWindow();
        combo->setFocus();
    }
    // Items in list order, top first.
    void items(std::initializer_list<const char*> topFirst) {
        for (auto it = std::rbegin(topFirst); it != std::rend(topFirst); ++it) edit.remember(*it);
    }
};

} // namespace

class EditBoxTest : public QObject {
    Q_OBJECT

private slots:
    void typingCompletesAndSearchesOnChange_data() {
        QTest::addColumn<bool>("atComboBox");
        // The combo box is the line edit's focus proxy: the user's keys arrive at the combo box.
        QTest::newRow("keys at the combo box") << true;
        QTest::newRow("keys at the line edit") << false;
    }
    void typingCompletesAndSearchesOnChange() {
        QFETCH(bool, atComboBox);
        Box b;
        QWidget* keys = atComboBox ? static_cast<QWidget*>(b.combo) : b.field;
        QTest::keyClicks(keys, "ab");
        QCOMPARE(b.field->text(), "ab");
        QCOMPARE(b.changed.count(), 2);

        b.edit.clearAll();
        b.items({"abcdef", "abxyz"});
        b.changed.clear();
        QTest::keyClick(keys, Qt::Key_A);
        QCOMPARE(b.field->text(), "abcdef");
        QCOMPARE(b.field->selectedText(), "bcdef");
        QCOMPARE(b.field->cursorPosition(), 6);
        QCOMPARE(b.changed.count(), 1);
        QTest::keyClick(keys, Qt::Key_B); // the same item: taken by the completion
        QCOMPARE(b.field->selectedText(), "cdef");
        QCOMPARE(b.changed.count(), 1);
        QTest::keyClick(keys, Qt::Key_X);
        QCOMPARE(b.field->text(), "abxyz");
        QCOMPARE(b.changed.count(), 2);
        QTest::keyClick(keys, Qt::Key_Q);
        QCOMPARE(b.field->text(), "abxq");
        QCOMPARE(b.changed.count(), 3);

        b.edit.setTextByProgram(cp::fromUtf16(u"中文\U0001F600"));
        b.changed.clear();
        QTest::keyClick(keys, Qt::Key_Backspace);
        QCOMPARE(b.edit.text(), cp::fromUtf16(u"中文"));
        QTest::keyClick(keys, Qt::Key_Backspace);
        QCOMPARE(b.edit.text(), cp::fromUtf16(u"中"));
        QTest::keyClick(keys, Qt::Key_Backspace);
        QTest::keyClick(keys, Qt::Key_Backspace); // on the empty field it still searches
        QCOMPARE(b.field->text(), "");
        QCOMPARE(b.changed.count(), 4);
    }

    void typingWithTheCaretInsideTheTextLosesNothingAfterIt() {
        Box b;
        b.items({"abcdef"});
        QTest::keyClicks(b.combo, "QQb");
        QCOMPARE(b.field->text(), "QQb");
        QTest::keyClick(b.combo, Qt::Key_Home);
        b.changed.clear();
        // "QQba" begins no item, so the 'a' simply goes in where the caret is.
        QTest::keyClick(b.combo, Qt::Key_A);
        QCOMPARE(b.field->text(), "aQQb");
        QCOMPARE(b.field->cursorPosition(), 1);
        QVERIFY(!b.field->hasSelectedText());
        QCOMPARE(b.changed.count(), 1);
    }

    void picksFromTheDropDownSearch() {
        Box b;
        b.items({"one", "two"});
        b.combo->showPopup();
        b.combo->view()->setCurrentIndex(b.combo->model()->index(1, 0));
        QTest::keyClick(b.combo->view(), Qt::Key_Return);
        QCOMPARE(b.field->text(), "two");
        QCOMPARE(b.changed.count(), 1);
        QTest::keyClick(b.field, Qt::Key_Up);
        QCOMPARE(b.field->text(), "one");
        QCOMPARE(b.changed.count(), 2);
    }

    void otherEditsSearchOnce() {
        Box b;
        b.items({cp::fromUtf16(u"中文").c_str()});
        QInputMethodEvent single;
        single.setCommitString(QStringLiteral("中"));
        QApplication::sendEvent(b.combo, &single); // a single character completes like a key
        QCOMPARE(b.field->text(), QStringLiteral("中文"));
        QCOMPARE(b.field->selectedText(), QStringLiteral("文"));
        QCOMPARE(b.changed.count(), 1);

        QTest::keyClick(b.field, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(b.field->text(), ""); // undo takes back a completion as it does typing
        QCOMPARE(b.changed.count(), 2);

        QInputMethodEvent several;
        several.setCommitString(QStringLiteral("汉字"));
        QApplication::sendEvent(b.combo, &several);
        QCOMPARE(b.field->text(), QStringLiteral("汉字"));
        QCOMPARE(b.changed.count(), 3);
        QGuiApplication::clipboard()->setText(QStringLiteral("xy"));
        QTest::keyClick(b.field, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(b.field, Qt::Key_Home);
        QTest::keyClick(b.field, Qt::Key_Delete);
        QCOMPARE(b.field->text(), QStringLiteral("字xy"));
        QCOMPARE(b.changed.count(), 5);
    }

    void programChangesNeverSearch() {
        Box b;
        b.items({"abc"});
        QTest::keyClick(b.field, Qt::Key_A);
        b.edit.setTextByProgram("a");
        for (const char* t : {"1", "2", "3", "4", "5", "6", "2"}) b.edit.remember(t);
        QCOMPARE(b.field->text(), "a");
        QCOMPARE(b.combo->count(), 5);
        QCOMPARE(b.combo->itemText(0), "6");
        QCOMPARE(b.combo->itemText(4), "2");
        QCOMPARE(b.changed.count(), 1);
        b.edit.remember("abc");
        QTest::keyClick(b.field, Qt::Key_B); // to the item completed before, yet after a reset
        QCOMPARE(b.field->text(), "abc");
        QCOMPARE(b.changed.count(), 2);
        b.edit.remember("7"); // the field keeps its selection, so typing goes on over it
        QCOMPARE(b.field->selectedText(), "c");

        b.edit.setTextByProgram("a\x81"); // a lone lead byte, which crosses as itself
        QCOMPARE(b.edit.text(), "a\x81");
        QCOMPARE(fromQString(b.field->text()), "a\x81");
        const std::string longClip(40000, 'x');
        b.edit.setTextByProgram(longClip);
        QCOMPARE(b.edit.text().size(), longClip.size());
        b.edit.clearAll();
        QCOMPARE(b.field->text(), "");
        QCOMPARE(b.combo->count(), 0);
        QCOMPARE(b.changed.count(), 2);
    }

    void shortcutsGoToTheWindowUntyped() {
        Box b;
        QTest::keyClicks(b.field, "ab");
        QTest::keyClick(b.field, Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(b.field, Qt::Key_X, Qt::AltModifier);
        QCOMPARE(b.window.keys, QStringList({"Ctrl+R", "Alt+X"}));
        QCOMPARE(b.field->text(), "ab");
        QCOMPARE(b.changed.count(), 2);
    }

    void returnAndLeavingPickNothing_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("how");
        // QComboBox takes Return and leaving the field as a pick of the item equal to the text.
        QTest::newRow("Return on an item") << QByteArray("ab") << "Return";
        QTest::newRow("Ctrl+Return on an item") << QByteArray("ab") << "Ctrl+Return";
        QTest::newRow("leaving on an item") << QByteArray("ab") << "leave";
        QTest::newRow("Return on a new text") << QByteArray("new") << "Return";
    }
    void returnAndLeavingPickNothing() {
        QFETCH(QByteArray, text);
        QFETCH(QString, how);
        Box b;
        QVERIFY(QTest::qWaitForWindowActive(&b.window));
        b.items({"x", "ab"});
        b.edit.setTextByProgram(text.toStdString());
        if (how == "leave") {
            QVERIFY(b.combo->hasFocus());
            b.other->setFocus();
            QVERIFY(!b.combo->hasFocus());
        } else {
            const QKeyCombination key = QKeySequence::fromString(how)[0];
            QTest::keyClick(b.field, key.key(), key.keyboardModifiers());
        }
        QCOMPARE(b.edit.text(), text.toStdString());
        QCOMPARE(b.combo->count(), 2);
        QCOMPARE(b.changed.count(), 0);
    }
};

QTEST_MAIN(EditBoxTest)
#include "edit_box_test.moc"
