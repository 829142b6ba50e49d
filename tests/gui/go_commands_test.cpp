// Go and auto-complete on the edit box's text, with a shell whose answers the test chooses.

#include "cliplist/edit_box.h"
#include "gui_support.h"
#include "platform/qt/qt_text.h"
#include "workbench/go_command.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace zub;
using namespace zub::test;

namespace {

using Requests = QList<QByteArray>;

Requests requests(Window& w) {
    Requests out;
    for (const std::string& r : w.sim.shell.requests()) out.push_back(QByteArray::fromStdString(r));
    return out;
}

QByteArray search(const std::string& text) {
    return QByteArray::fromStdString(webSearchAddress(text));
}

QByteArray bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

QByteArray editBytes(Window& w) {
    return bytes(w.form->editBox()->text());
}

QToolButton* goButton(Window& w) {
    return w.form->findChild<QToolButton*>("SpeedButton1");
}

void showActive(Window& w) {
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    w.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
}

// The user clicks the Go button.
void clickGo(Window& w) {
    QTest::mouseClick(goButton(w), Qt::LeftButton);
}

void autoComplete(Window& w) {
    w.action("Action9")->trigger();
}

const std::string kNineteenChinese = cp936(u"一二三四五六七八九十一二三四五六七八九");

} // namespace

class GoCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void goOpensTheTextAndStopsWhenTheShellOpensIt() {
        Window w;
        showActive(w);
        w.sim.shell.setResult("/home", shell_result::kOpened);
        w.form->editBox()->setTextByProgram("/home");
        clickGo(w);
        QCOMPARE(requests(w), Requests({"/home"}));
        QCOMPARE(editBytes(w), QByteArray("/home"));
        QVERIFY(w.messages().isEmpty());
    }

    void searchFallbackStopsAtFortyBytes() {
        Window w;
        const std::string under(39, 'a');
        w.form->editBox()->setTextByProgram(under);
        w.form->SpeedButton1Click();
        QCOMPARE(requests(w), Requests({bytes(under), search(under)}));

        w.sim.shell.clearRequests();
        const std::string bound(40, 'a');
        w.form->editBox()->setTextByProgram(bound);
        w.form->SpeedButton1Click();
        QCOMPARE(requests(w), Requests({bytes(bound)}));
        QCOMPARE(editBytes(w), bytes(bound));
        QVERIFY(w.messages().isEmpty());
    }

    void chineseTextsAreMeasuredInBytes() {
        Window w;
        w.form->editBox()->setTextByProgram(kNineteenChinese);
        w.form->SpeedButton1Click();
        QCOMPARE(requests(w).size(), 2);
        QCOMPARE(requests(w).at(0), bytes(kNineteenChinese));
        QCOMPARE(requests(w).at(1),
                 QByteArray(kWebSearchAddress.data()) +
                     "%E4%B8%80%E4%BA%8C%E4%B8%89%E5%9B%9B%E4%BA%94%E5%85%AD%E4%B8%83%E5%85%AB"
                     "%E4%B9%9D%E5%8D%81%E4%B8%80%E4%BA%8C%E4%B8%89%E5%9B%9B%E4%BA%94%E5%85%AD"
                     "%E4%B8%83%E5%85%AB%E4%B9%9D");

        w.sim.shell.clearRequests();
        const std::string twenty = kNineteenChinese + cp936(u"十");
        w.form->editBox()->setTextByProgram(twenty);
        w.form->SpeedButton1Click();
        QCOMPARE(requests(w), Requests({bytes(twenty)}));
    }

    void theTextIsHandedOverWholeAsOneTarget() {
        Window w;
        w.sim.shell.setResult("notepad readme.txt", shell_result::kOpened);
        w.form->editBox()->setTextByProgram("notepad readme.txt");
        w.form->SpeedButton1Click();
        QCOMPARE(requests(w), Requests({"notepad readme.txt"}));

        // Untrimmed and unquoted, and searched for as it is when nothing opens it.
        w.sim.shell.clearRequests();
        w.form->editBox()->setTextByProgram(" notepad  readme.txt ");
        w.form->SpeedButton1Click();
        QCOMPARE(requests(w), Requests({" notepad  readme.txt ", search(" notepad  readme.txt ")}));
        QVERIFY(requests(w).at(1).endsWith("word=%20notepad%20%20readme.txt%20"));
    }

    void autoCompleteMakesAnAddressOfAShortName() {
        Window w;
        w.sim.shell.setResult("http://www.abc.com", shell_result::kOpened);
        w.form->editBox()->setTextByProgram("abc");
        autoComplete(w);
        QCOMPARE(editBytes(w), QByteArray("http://www.abc.com"));
        QCOMPARE(editBytes(w).size(), 18);
        QCOMPARE(requests(w), Requests({"http://www.abc.com"}));

        // Eighteen bytes still qualify for the search when the address does not open.
        w.sim.shell.setResult("http://www.abc.com", shell_result::kFileNotFound);
        w.sim.shell.clearRequests();
        w.form->editBox()->setTextByProgram("abc");
        autoComplete(w);
        QCOMPARE(requests(w), Requests({"http://www.abc.com", search("http://www.abc.com")}));
        QVERIFY(requests(w).at(1).endsWith("word=http%3A%2F%2Fwww.abc.com"));
        QVERIFY(w.messages().isEmpty());
    }

    void autoCompleteOnAnEmptyBoxRunsGoOnTheEmptyText() {
        Window w;
        autoComplete(w);
        QCOMPARE(editBytes(w), QByteArray());
        QCOMPARE(requests(w), Requests({"", search("")}));
    }

    void autoCompleteLeavesFortyBytesAndMoreAlone() {
        Window w;
        const std::string twenty = kNineteenChinese + cp936(u"十");
        for (const std::string& text : {std::string(40, 'n'), twenty, std::string(300, 'n')}) {
            w.sim.shell.clearRequests();
            w.form->editBox()->setTextByProgram(text);
            autoComplete(w);
            QCOMPARE(editBytes(w), bytes(text));
            QCOMPARE(requests(w), Requests({bytes(text)}));
        }

        // 25 bytes become 40 and are no longer searched; 24 become 39 and are.
        w.sim.shell.clearRequests();
        w.form->editBox()->setTextByProgram(std::string(25, 'n'));
        autoComplete(w);
        QCOMPARE(editBytes(w).size(), 40);
        QCOMPARE(requests(w).size(), 1);
        w.sim.shell.clearRequests();
        w.form->editBox()->setTextByProgram(std::string(24, 'n'));
        autoComplete(w);
        QCOMPARE(requests(w).size(), 2);
    }

    void autoCompleteDoesNotLookAtTheText() {
        Window w;
        w.form->editBox()->setTextByProgram("http://www.a.com");
        autoComplete(w);
        QCOMPARE(editBytes(w), QByteArray("http://www.http://www.a.com.com"));
        QCOMPARE(requests(w).first(), QByteArray("http://www.http://www.a.com.com"));

        w.form->editBox()->setTextByProgram(kNineteenChinese);
        autoComplete(w);
        QCOMPARE(editBytes(w), "http://www." + bytes(kNineteenChinese) + ".com");
    }

    void neitherCommandTouchesTheListsOrTheClipboard() {
        Window w;
        w.fill({"first", "http://www.first.com", "second[Zub]note"});
        w.list().setChecked(2, true);
        w.selectRow(2);
        emit w.form->clipListView()->doubleClicked(); // recall: clipboard and recent list
        w.selectRow(0);
        const int writes = w.sim.clipboard.writeCount();
        const QStringList panels = {w.panel(0), w.panel(2)};
        QSignalSpy userChanges(w.form->editBox(), &EditBox::userChanged);

        w.form->editBox()->setTextByProgram("first");
        autoComplete(w);
        w.form->SpeedButton1Click();
        // The new text would select row 1 if it ran the edit-box search.
        QCOMPARE(editBytes(w), QByteArray("http://www.first.com"));
        QCOMPARE(userChanges.count(), 0);
        QCOMPARE(w.selection(), std::optional<std::size_t>(0));
        QCOMPARE(w.entries(), Entries({"first", "http://www.first.com", "second[Zub]note"}));
        QCOMPARE(w.checks(), Checks({false, false, true}));
        QCOMPARE(QStringList({w.panel(0), w.panel(2)}), panels);
        QCOMPARE(w.form->editBox()->recent().items(), std::vector<std::string>{"second"});
        QCOMPARE(w.sim.clipboard.writeCount(), writes);
        QCOMPARE(w.sim.clipboard.text(), std::optional<std::string>("second"));
        QVERIFY(w.messages().isEmpty());
    }

    void ctrlEnterWorksWhereverTheFocusIs() {
        Window w;
        showActive(w);
        auto* memo = w.form->findChild<QPlainTextEdit*>("Memo1");
        auto* field = w.form->findChild<QComboBox*>("ComboBox1")->lineEdit();
        memo->setPlainText("workbench");
        QWidget* targets[] = {field, w.form->clipListView(), memo};
        for (QWidget* target : targets) {
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
                w.sim.shell.clearRequests();
                w.form->editBox()->setTextByProgram("abc");
                target->setFocus();
                QTRY_VERIFY(target->hasFocus());
                QTest::keyClick(target, key, Qt::ControlModifier);
                QCOMPARE(requests(w),
                         Requests({"http://www.abc.com", search("http://www.abc.com")}));
                QCOMPARE(editBytes(w), QByteArray("http://www.abc.com"));
            }
        }
        QCOMPARE(memo->toPlainText(), QStringLiteral("workbench"));
        QVERIFY(w.messages().isEmpty());
    }

    void goSaysWhatItDoes() {
        Window w;
        const QString tip = goButton(w)->toolTip();
        const QString status = goButton(w)->statusTip();
        for (const QString& text : {tip, status}) {
            QVERIFY2(text.contains(QStringLiteral("打开")), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("搜索")), qPrintable(text));
        }
        QVERIFY(tip.contains(QStringLiteral("Ctrl+Enter")));
    }
};

QTEST_MAIN(GoCommandsTest)
#include "go_commands_test.moc"
