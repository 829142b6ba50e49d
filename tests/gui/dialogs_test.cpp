// The Help and About dialogs, opened through the main window's commands.
//
// The About dialog counts clicks on its version text over a whole program run, so each case here
// must be a run of its own: CTest starts the binary once per case. Run by hand without naming a
// case, the binary runs the first and skips the rest.

#include "dialogs/help_page.h"
#include "dialogs/tform2.h"
#include "dialogs/tform3.h"
#include "gui_support.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace zub;
using namespace zub::test;

namespace {

const QString kTitle = QStringLiteral("Korvel剪贴板.....");
const QString kChangedTitle = QStringLiteral("母亲万岁！       ");

template <typename Dialog> Dialog* openDialog(Window& w, const char* command) {
    const QList<Dialog*> before = w.form->findChildren<Dialog*>();
    w.action(command)->trigger();
    const QList<Dialog*> after = w.form->findChildren<Dialog*>();
    if (after.size() != before.size() + 1) return nullptr;
    for (Dialog* dialog : after)
        if (!before.contains(dialog))
            return QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
    return nullptr;
}

TForm2* openAbout(Window& w) {
    return openDialog<TForm2>(w, "Action19");
}

TForm3* openHelp(Window& w) {
    return openDialog<TForm3>(w, "Action17");
}

QString title(QDialog* about) {
    return about->findChild<QLabel*>("Label1")->text();
}

// Where a control of `dialog` is, in the coordinates of the dialog's window.
QPoint centreOf(QDialog* dialog, const char* control) {
    auto* widget = dialog->findChild<QWidget*>(control);
    return widget->mapTo(dialog, widget->rect().center());
}

// Clicks as the window system delivers them: a press and a release, far enough apart in time
// that no two make a double click.
void click(QDialog* dialog, QPoint at, int times = 1, Qt::MouseButton button = Qt::LeftButton) {
    for (int i = 0; i < times; ++i) QTest::mouseClick(dialog->windowHandle(), button, {}, at);
}

void clickVersion(QDialog* about, int times) {
    click(about, centreOf(about, "Label2"), times);
}

void pressOk(QDialog* dialog) {
    click(dialog, centreOf(dialog, "Button1"));
}

bool isReleased(const QPointer<QDialog>& dialog) {
    return QTest::qWaitFor([&] { return dialog.isNull(); }, 2000);
}

// Every control lies inside the fixed client area and no two overlap, whatever their texts
// measure in the dialog's fonts.
void checkNothingClipped(QDialog* dialog) {
    const QRect client = dialog->rect();
    const QList<QWidget*> controls = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
        QVERIFY2(client.contains(control->geometry()), qPrintable(control->objectName()));
        if (auto* label = qobject_cast<QLabel*>(control)) {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->objectName()));
            QVERIFY2(label->height() >= label->sizeHint().height(),
                     qPrintable(label->objectName()));
        }
        for (QWidget* other : controls)
            if (other != control)
                QVERIFY2(!control->geometry().intersects(other->geometry()),
                         qPrintable(control->objectName() + " / " + other->objectName()));
    }
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        static int casesInThisRun = 0;
        if (++casesInThisRun > 1) QSKIP("the click counter lasts a run: name one case per run");
    }

    void theThirtiethClickChangesTheTitleOnce() {
        Window w;
        TForm2* about = openAbout(w);
        QVERIFY(about);
        // The icon shows at its designed size, and every text fits where it is placed.
        QCOMPARE(about->findChild<QLabel*>("Image1")->pixmap().size(), QSize(32, 32));
        checkNothingClipped(about);

        clickVersion(about, 29);
        QCOMPARE(title(about), kTitle);
        clickVersion(about, 1);
        QCOMPARE(title(about), kChangedTitle);
        checkNothingClipped(about);
        clickVersion(about, 1);
        QCOMPARE(title(about), kChangedTitle);
    }

    void theCountGoesOnInTheNextDialog() {
        Window w;
        QPointer<QDialog> first = openAbout(w);
        QVERIFY(first);
        clickVersion(first, 10);
        pressOk(first);
        QVERIFY(isReleased(first));

        TForm2* second = openAbout(w);
        QVERIFY(second);
        clickVersion(second, 19);
        QCOMPARE(title(second), kTitle);
        clickVersion(second, 1);
        QCOMPARE(title(second), kChangedTitle);
    }

    void aLaterDialogKeepsItsTitle() {
        Window w;
        QPointer<QDialog> first = openAbout(w);
        QVERIFY(first);
        clickVersion(first, 30);
        QCOMPARE(title(first), kChangedTitle);
        first->close(); // the title-bar button
        QVERIFY(isReleased(first));

        TForm2* later = openAbout(w);
        QVERIFY(later);
        QCOMPARE(title(later), kTitle);
        clickVersion(later, 45);
        QCOMPARE(title(later), kTitle);
        TForm2* third = openAbout(w);
        QVERIFY(third);
        clickVersion(third, 30);
        QCOMPARE(title(third), kTitle);
        QCOMPARE(title(later), kTitle);
    }

    void aDoubleClickCountsOnce() {
        Window w;
        TForm2* about = openAbout(w);
        QVERIFY(about);
        clickVersion(about, 27);
        QTest::mouseDClick(about->windowHandle(), Qt::LeftButton, {}, centreOf(about, "Label2"));
        QCOMPARE(title(about), kTitle); // 28, not 29 or 30
        QTest::mouseDClick(about->windowHandle(), Qt::LeftButton, {}, centreOf(about, "Label2"));
        QCOMPARE(title(about), kTitle); // 29
        clickVersion(about, 1);
        QCOMPARE(title(about), kChangedTitle);
    }

    void clicksThatEndElsewhereOrLandElsewhereCountNothing() {
        Window w;
        TForm2* about = openAbout(w);
        QVERIFY(about);
        clickVersion(about, 29);
        QWindow* window = about->windowHandle();
        const QPoint version = centreOf(about, "Label2");
        const QPoint elsewhere(150, 165);

        QTest::mousePress(window, Qt::LeftButton, {}, version);
        QTest::mouseRelease(window, Qt::LeftButton, {}, elsewhere);
        QCOMPARE(title(about), kTitle);
        QTest::mousePress(window, Qt::LeftButton, {}, elsewhere);
        QTest::mouseRelease(window, Qt::LeftButton, {}, version);
        QCOMPARE(title(about), kTitle);
        click(about, version, 3, Qt::RightButton);
        QCOMPARE(title(about), kTitle);
        for (const char* other : {"Label1", "Label3", "Label4", "Label5", "Image1"})
            click(about, centreOf(about, other));
        click(about, elsewhere);
        QCOMPARE(title(about), kTitle);

        clickVersion(about, 1);
        QCOMPARE(title(about), kChangedTitle);
    }

    void twoAboutDialogsEachCloseByTheirOwnButton() {
        Window w;
        QPointer<QDialog> first = openAbout(w);
        QPointer<QDialog> second = openAbout(w);
        QVERIFY(first && second);
        QVERIFY(first != second);
        QVERIFY(!first->isModal() && !second->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        pressOk(first);
        QVERIFY(isReleased(first));
        QVERIFY(second->isVisible());
        // The window keeps working while a dialog is open.
        w.action("Action6")->trigger();
        QVERIFY(w.messages().isEmpty());
        pressOk(second);
        QVERIFY(isReleased(second));
        QVERIFY(w.form->findChildren<TForm2*>().isEmpty());
    }

    void twoHelpDialogs() {
        Window w;
        QPointer<QDialog> first = openHelp(w);
        QPointer<QDialog> second = openHelp(w);
        QVERIFY(first && second);
        QVERIFY(first != second);
        QVERIFY(first->isVisible() && second->isVisible() && !first->isModal());
        checkNothingClipped(first);
        auto* memo = first->findChild<QPlainTextEdit*>("Memo1");
        QCOMPARE(memo->toPlainText(), helpPageText());
        QCOMPARE(first->focusWidget(), memo);

        // The page can be read and copied but not changed.
        memo->selectAll();
        QTest::keyClicks(memo, "typed");
        QTest::keyClick(memo, Qt::Key_Delete);
        QCOMPARE(memo->toPlainText(), helpPageText());
        QVERIFY(memo->textCursor().hasSelection());
        // Return in the page stays there: it is no press of the default button. Tab reaches the
        // button, on which Return closes the dialog.
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(memo, key);
            QVERIFY(first->isVisible());
        }
        QCOMPARE(memo->toPlainText(), helpPageText());
        first->activateWindow();
        QTest::keyClick(first->focusWidget(), Qt::Key_Tab);
        QCOMPARE(first->focusWidget(), first->findChild<QPushButton*>("Button1"));
        QTest::keyClick(first->focusWidget(), Qt::Key_Return);
        QVERIFY(isReleased(first));
        first = openHelp(w);

        pressOk(first);
        QVERIFY(isReleased(first));
        QVERIFY(second->isVisible());
        second->close();
        QVERIFY(isReleased(second));
    }

    void theHelpPageKeepsItsOutline() {
        const QStringList lines = helpPageText().split(u'\n');
        QCOMPARE(lines.mid(0, 4), QStringList({"", QString(43, u' ') + "帮 助 主 题", "", ""}));
        const int topics = helpTopics().size();
        QCOMPARE(topics, 11);
        for (int i = 0; i < topics; ++i) {
            const QString line = lines.value(4 + 2 * i);
            QVERIFY2(line.startsWith(QStringLiteral("   %1.").arg(i + 1)), qPrintable(line));
            QVERIFY(!line.at(QStringLiteral("   %1.").arg(i + 1).size()).isSpace());
            QCOMPARE(lines.value(5 + 2 * i), QString());
        }
        const QStringList signature = lines.mid(4 + 2 * topics);
        QCOMPARE(signature.size(), 5);
        QCOMPARE(signature.mid(0, 2), QStringList({"", ""}));
        QCOMPARE(signature[3], QString());
        for (const QString& line : {signature[2], signature[4]}) {
            QVERIFY(line.startsWith(QString(32, u' ')));
            QVERIFY(!line.at(32).isSpace());
        }
        // The hot key works differently on X11, and the page says how.
        QVERIFY(helpTopics()[1].contains(QStringLiteral("X 服务器")));
        QVERIFY(helpTopics()[1].contains(QStringLiteral("Ctrl+R")));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
