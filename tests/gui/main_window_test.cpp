// The main window's controls, command table, layout rules, enabling and error display.

#include "app/command_table.h"
#include "app/error_display.h"
#include "app/up_down.h"
#include "gui_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <QtTest>

using namespace zub;
using namespace zub::test;

namespace {

QStringList menuTexts(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

// Runs `check` on the popup that the next call opens, then closes it.
void onNextPopup(std::function<void(QWidget*)> check) {
    QTimer::singleShot(100, [check] {
        QWidget* popup = QApplication::activePopupWidget();
        check(popup);
        if (popup) popup->close();
    });
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void hasItsCaptionSizeAndInitialTexts() {
        Window w;
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Korvel剪贴板"));
        QCOMPARE(w.form->size(), QSize(596, 426));
        QVERIFY(!w.form->windowIcon().isNull());
        QVERIFY(w.form->menuWidget() == nullptr); // no menu bar of its own
        // Panel 5, past the five of the design, names the workbench document's encoding.
        const QStringList panels = {"就绪", "注释", "", "捕获模式", "手动", "GBK"};
        for (int i = 0; i < StatusBar::kPanelCount; ++i) QCOMPARE(w.panel(i), panels[i]);
        for (int i : {0, 1, 4, 5}) QCOMPARE(w.form->statusBar1()->panelWidth(i), 50);
        QCOMPARE(w.form->statusBar1()->panelWidth(3), 55);

        auto* tabs = w.form->findChild<QTabWidget*>("PageControl1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("文字"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("图像"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("设置"));
        QCOMPARE(tabs->currentIndex(), 0);

        QCOMPARE(w.form->findChild<QLabel*>("Label1")->text(), QStringLiteral(" 编辑框(&B)"));
        QCOMPARE(w.form->findChild<QToolButton*>("SpeedButton1")->text(), QStringLiteral("转到"));
        QVERIFY(!w.form->findChild<QToolButton*>("SpeedButton1")->icon().isNull());
        QCOMPARE(w.form->findChild<QComboBox*>("ComboBox1")->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(w.form->clipListView()->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(w.form->clipListView()->sizeHintForRow(0), -1); // empty list
        w.fill({"row"});
        QCOMPARE(w.form->clipListView()->sizeHintForRow(0), 16);

        auto* prefix = w.form->findChild<QComboBox*>("ComboBox2");
        QCOMPARE(prefix->count(), 17);
        QCOMPARE(prefix->itemText(3), QStringLiteral("<?php "));
        QCOMPARE(prefix->itemText(16), QStringLiteral("《"));
        QCOMPARE(prefix->currentText(), QString());
        auto* suffix = w.form->findChild<QComboBox*>("ComboBox3");
        QCOMPARE(suffix->count(), 15);
        QCOMPARE(suffix->itemText(10), QStringLiteral("\\"));
        QCOMPARE(w.form->findChild<QComboBox*>("ComboBox5")->currentText(), QStringLiteral(".txt"));
        auto* delay = w.form->findChild<QComboBox*>("ComboBox4");
        QCOMPARE(delay->count(), 10);
        QVERIFY(!delay->isEditable());
        QCOMPARE(delay->currentText(), QString());
        QVERIFY(!w.form->findChild<QCheckBox*>("CheckBox1")->isChecked());
        QVERIFY(w.form->findChild<QCheckBox*>("CheckBox2")->isChecked());
    }

    void commandTableMatchesTheMenusAndBars() {
        Window w;
        QCOMPARE(commandDefinitions().size(), 23);
        QAction* find = w.action("SearchFind1");
        QCOMPARE(find->text(), QStringLiteral("&Find..."));
        QCOMPARE(find->toolTip(), QStringLiteral("Find"));
        QCOMPARE(find->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
        QCOMPARE(w.action("Action16")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QCOMPARE(w.action("Action14")->shortcut(), QKeySequence(Qt::Key_F12));
        QCOMPARE(w.action("Action7")->toolTip(), QStringLiteral("返回"));
        QVERIFY(w.action("Action4")->isCheckable());
        QVERIFY(w.action("Action15")->isCheckable());
        QVERIFY(!w.action("Action16")->isCheckable());

        auto* menuBar = w.form->findChild<QToolBar*>("ToolBar1");
        QStringList titles;
        QList<QMenu*> menus;
        for (QToolButton* b :
             menuBar->findChildren<QToolButton*>(QRegularExpression("^MenuButton"))) {
            titles << b->text();
            menus << b->menu();
        }
        QCOMPARE(titles, QStringList({"文件(&F)", "剪切板记录(&J)", "文档编辑(&W)", "图像编辑(&T)",
                                      "捕获设置(&B)", "帮助(&H)"}));
        QCOMPARE(menuTexts(menus[0]), QStringList({"打开(&O)", "保存(&S)", "-", "退出(&X)"}));
        QCOMPARE(menuTexts(menus[1]),
                 QStringList({"排序(&P)", "整理(&L)", "反选(&F)", "返回(&G)", "删除(&S)"}));
        QCOMPARE(menuTexts(menus[2]),
                 QStringList({"新建(&N)", "提取(&T)", "预览(&K)", "-", "查找(&F)", "查找替换(&R)",
                              "-", "打开文档(&O)", "保存文档(&S)"}));
        QCOMPARE(menus[2]->actions()[4]->toolTip(), QStringLiteral("查找"));
        QCOMPARE(menuTexts(menus[3]), QStringList({"打开图像", "保存图像(&S)", "屏幕抓图(&P)"}));
        QCOMPARE(menuTexts(menus[4]), QStringList({"自动捕获(&P)", "手动捕获(&S)"}));
        QCOMPARE(menuTexts(menus[5]), QStringList({"帮助(&H)", "关于(&G)"}));

        auto* commandBar = w.form->findChild<QToolBar*>("ToolBar2");
        QStringList items;
        for (QAction* a : commandBar->actions()) {
            if (a->isSeparator())
                items << "-";
            else if (auto* widgetAction = qobject_cast<QWidgetAction*>(a))
                items << widgetAction->defaultWidget()->objectName();
            else
                items << a->objectName();
        }
        QCOMPARE(items, QStringList({"Action1", "Action2", "-", "Action4", "UpDown1", "Action6",
                                     "Action7", "Action8", "-", "Action10", "Action11", "Action14",
                                     "-", "Action15", "Action16", "-"}));
        QCOMPARE(w.form->findChild<UpDown*>("UpDown1")->toolTip(), QStringLiteral("调整位置"));

        auto* popup = w.form->findChild<QMenu*>("PopupMenu1");
        QCOMPARE(menuTexts(popup), QStringList({"提取(&T)", "注释(&Z)"}));
    }

    void checkedCommandsShowPressedButtons() {
        Window w;
        auto* bar = w.form->findChild<QToolBar*>("ToolBar2");
        auto* sortButton = qobject_cast<QToolButton*>(bar->widgetForAction(w.action("Action4")));
        QVERIFY(sortButton);
        w.action("Action4")->trigger();
        QVERIFY(w.action("Action4")->isChecked());
        QVERIFY(sortButton->isChecked());
        QVERIFY(w.list().isSorted());
        w.action("Action4")->trigger();
        QVERIFY(!sortButton->isChecked());
        QVERIFY(!w.list().isSorted());

        // In the menus the two checked commands show a check mark, not a framed icon, and the
        // item works the command once.
        for (const char* name : {"Action4", "Action15"}) {
            auto* item = w.form->findChild<QAction*>(QString::fromLatin1(name) + "MenuItem");
            QVERIFY(item);
            QVERIFY(item->isCheckable());
            QVERIFY(item->icon().isNull());
            QVERIFY(!item->isChecked());
            item->trigger();
            QVERIFY(w.action(name)->isChecked());
            QVERIFY(item->isChecked());
            item->trigger();
            QVERIFY(!w.action(name)->isChecked());
            QVERIFY(!item->isChecked());
            w.action(name)->trigger();
            QVERIFY(item->isChecked());
        }
        QVERIFY(w.list().isSorted());
        QCOMPARE(w.panel(4), QStringLiteral("自动"));
    }

    void theFindItemShowsItsShortcutWhichStillWorksOnce() {
        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        auto* menuBar = w.form->findChild<QToolBar*>("ToolBar1");
        QMenu* edit = menuBar->findChild<QToolButton*>("MenuButton2")->menu();
        QAction* item = edit->actions()[4];
        QCOMPARE(item->text(), QStringLiteral("查找(&F)"));
        QCOMPARE(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
        // Not an ambiguous shortcut: Ctrl+F in the window reaches the command once.
        QAction* find = w.action("SearchFind1");
        find->setEnabled(true);
        QSignalSpy ran(find, &QAction::triggered);
        QTest::keyClick(w.form.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(ran.count(), 1);
    }

    void widerWindowWidensTheEditBoxAndPanelTwo() {
        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        auto* combo = w.form->findChild<QComboBox*>("ComboBox1");
        auto* go = w.form->findChild<QToolButton*>("SpeedButton1");
        auto* editBar = combo->parentWidget();
        auto goRightEdge = [&] { return go->geometry().right(); };
        const int comboBefore = combo->width();
        const int panelBefore = w.form->statusBar1()->panelWidth(2);
        QCOMPARE(goRightEdge(), editBar->width() - 1);

        w.form->resize(900, 426);
        QTRY_COMPARE(goRightEdge(), editBar->width() - 1);
        QCOMPARE(combo->width() - comboBefore, 900 - 596);
        QCOMPARE(w.form->statusBar1()->panelWidth(2) - panelBefore, 900 - 596);
        for (int i : {0, 1, 4, 5}) QCOMPARE(w.form->statusBar1()->panelWidth(i), 50);
        QCOMPARE(w.form->statusBar1()->panelWidth(3), 55);
        int sum = 0;
        for (int i = 0; i < StatusBar::kPanelCount; ++i) sum += w.form->statusBar1()->panelWidth(i);
        QCOMPARE(sum, w.form->statusBar1()->width());
    }

    void extractIsEnabledOnlyOnTheTextPage() {
        Window w;
        auto* tabs = w.form->findChild<QTabWidget*>("PageControl1");
        auto* bar = w.form->findChild<QToolBar*>("ToolBar2");
        QAction* extract = w.action("Action11");
        QAction* t2 = w.form->findChild<QAction*>("T2");
        QWidget* button = bar->widgetForAction(extract);
        for (int page : {1, 2}) {
            tabs->setCurrentIndex(page);
            QVERIFY(!extract->isEnabled());
            QVERIFY(!button->isEnabled());
            QVERIFY(!t2->isEnabled());
            tabs->setCurrentIndex(0);
            QVERIFY(extract->isEnabled());
            QVERIFY(button->isEnabled());
            QVERIFY(t2->isEnabled());
        }
    }

    void menuButtonsDropTheirMenus() {
        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        auto* first = w.form->findChild<QToolButton*>("MenuButton0");
        QString shown;
        onNextPopup([&](QWidget* popup) {
            shown = popup ? qobject_cast<QMenu*>(popup)->title() : QString();
        });
        QTest::mouseClick(first, Qt::LeftButton);
        QCOMPARE(shown, QStringLiteral("文件(&F)"));

        // The mnemonic from the keyboard opens it as well.
        shown.clear();
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        onNextPopup([&](QWidget* popup) {
            shown = popup ? qobject_cast<QMenu*>(popup)->title() : QString();
        });
        QTest::keyClick(w.form.get(), Qt::Key_J, Qt::AltModifier);
        QCOMPARE(shown, QStringLiteral("剪切板记录(&J)"));

        // Alt+B belongs to the edit box's label and to the capture menu: presses take turns.
        shown.clear();
        QTest::keyClick(w.form.get(), Qt::Key_B, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), w.form->findChild<QComboBox*>("ComboBox1"));
        onNextPopup([&](QWidget* popup) {
            shown = popup ? qobject_cast<QMenu*>(popup)->title() : QString();
        });
        QTest::keyClick(w.form.get(), Qt::Key_B, Qt::AltModifier);
        QCOMPARE(shown, QStringLiteral("捕获设置(&B)"));
    }

    void shortcutsWorkWithoutAMenuItem() {
        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        w.form->activateWindow();
        QSignalSpy spy(w.action("Action9"), &QAction::triggered);
        QTest::keyClick(w.form.get(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(spy.count(), 1);
    }

    void errorTextGetsOneFullStop() {
        QCOMPARE(errorMessageText("Cannot open clipboard"),
                 QStringLiteral("Cannot open clipboard."));
        QCOMPARE(errorMessageText("Ends in a stop."), QStringLiteral("Ends in a stop."));
        QCOMPARE(errorMessageText("Ends in a bracket)"), QStringLiteral("Ends in a bracket)"));
        QCOMPARE(errorMessageText("I/O error 5"), QStringLiteral("I/O error 5."));
        QCOMPARE(errorMessageText("No such file or directory"),
                 QStringLiteral("No such file or directory."));
        QCOMPARE(errorMessageText("路径"), QStringLiteral("路径."));
        QCOMPARE(errorMessageText(""), QString());
    }

    void aFailingHandlerKeepsWhatItDidAndTheProgramGoesOn() {
        Window w;
        w.fill({"kept"});
        const QString missing = w.folder.filePath("missing.zub");
        w.sim.dialogs.answerOpenFile(missing.toStdString());
        w.action("Action1")->trigger();
        QCOMPARE(w.messages(), QStringList({missingFileMessage("open", missing.toStdU16String())}));
        QCOMPARE(w.entries(), Entries({"kept"}));

        // The manual capture goes on after its clipboard handler failed: the window still
        // leaves the chain, and the next capture works.
        w.sim.clipboard.setOtherProgramText("held");
        w.sim.clipboard.holdOpen(true);
        w.action("Action16")->trigger();
        QCOMPARE(w.messages().size(), 2);
        QCOMPARE(w.messages().back(), QStringLiteral("Cannot open clipboard."));
        QVERIFY(!w.sim.viewerChain.isMember(*w.form));
        w.sim.clipboard.holdOpen(false);
        w.action("Action16")->trigger();
        QCOMPARE(w.entries(), Entries({"kept", "held"}));
    }

    void exitClosesTheWindow() {
        Window w;
        w.form->show();
        w.action("Action3")->trigger();
        QVERIFY(!w.form->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
