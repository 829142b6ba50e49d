#include "app/command_table.h"

#include "app/icons.h"

#include <QWidget>

namespace zub {

const QList<CommandDefinition>& commandDefinitions() {
    static const QList<CommandDefinition> commands = {
        {"Action1", "打开(&O)", "打开", {}, 0, false},
        {"Action2", "保存(&S)", "保存", {}, 1, false},
        {"Action3", "退出(&X)", "退出", {}, 5, false},
        {"Action4", "排序(&P)", "排序", {}, 2, true},
        {"Action5", "整理(&L)", "整理", {}, 13, false},
        {"Action6", "反选(&F)", "反选", {}, 3, false},
        {"Action7", "返回(&G)", "返回", {}, 4, false},
        {"Action8", "删除(&S)", "删除", {}, 5, false},
        {"Action9",
         "自动完成",
         "自动完成",
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)},
         -1,
         false},
        {"Action10", "新建(&N)", "新建", {}, 6, false},
        {"Action11", "提取(&T)", "提取", {}, 7, false},
        {"Action12", "打开文档(&O)", "打开文档", {}, 0, false},
        {"Action13", "保存文档(&S)", "保存文档", {}, 1, false},
        {"Action14", "预览(&K)", "预览", {QKeySequence(Qt::Key_F12)}, 12, false},
        {"Action15", "自动捕获(&P)", "自动捕获", {}, 8, true},
        {"Action16", "手动捕获(&S)", "手动捕获", {QKeySequence(Qt::CTRL | Qt::Key_R)}, 10, false},
        {"Action17", "帮助(&H)", "帮助", {}, 11, false},
        {"Action19", "关于(&G)", "关于", {}, -1, false},
        {"Action20", "保存图像(&S)", "", {}, 1, false},
        {"Action21", "屏幕抓图(&P)", "", {}, 10, false},
        {"Action22", "打开图像", "", {}, 0, false},
        {"SearchFind1",
         "&Find...",
         "Find|Finds the specified text",
         {QKeySequence(Qt::CTRL | Qt::Key_F)},
         15,
         false},
        {"SearchReplace1",
         "&Replace",
         "Replace|Replaces specific text with different text",
         {},
         14,
         false},
    };
    return commands;
}

namespace {

// A hint "short|long" shows its short part as the tool tip and its long part in status texts.
void applyHint(QAction* action, const QString& hint) {
    action->setProperty("hint", hint);
    const qsizetype bar = hint.indexOf('|');
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

} // namespace

QHash<QString, QAction*> createCommands(QWidget* owner) {
    QHash<QString, QAction*> commands;
    for (const CommandDefinition& command : commandDefinitions()) {
        auto* action = new QAction(QString::fromUtf8(command.caption), owner);
        action->setObjectName(QString::fromLatin1(command.name));
        applyHint(action, QString::fromUtf8(command.hint));
        action->setShortcuts(command.shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setIcon(icons::imageList(command.icon));
        action->setCheckable(command.checkable);
        // Every command belongs to the window so that its shortcut works while its menu is shut
        // and for the one command that stands on no menu or bar.
        owner->addAction(action);
        commands.insert(action->objectName(), action);
    }
    return commands;
}

QAction* createMenuProxy(QAction* action, const QString& caption, const QString& hint,
                         QObject* parent) {
    auto* proxy = new QAction(action->icon(), caption, parent);
    applyHint(proxy, hint);
    proxy->setEnabled(action->isEnabled());
    QObject::connect(proxy, &QAction::triggered, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, proxy,
                     [proxy, action] { proxy->setEnabled(action->isEnabled()); });
    return proxy;
}

QAction* createCheckMenuItem(QAction* action, QObject* parent) {
    auto* item = new QAction(action->text(), parent);
    item->setObjectName(action->objectName() + QStringLiteral("MenuItem"));
    applyHint(item, action->property("hint").toString());
    item->setCheckable(true);
    item->setChecked(action->isChecked());
    item->setEnabled(action->isEnabled());
    // The item's own check flips when it is clicked; the command then flips and sets it again.
    QObject::connect(item, &QAction::triggered, action, [item, action] {
        item->setChecked(action->isChecked());
        action->trigger();
    });
    QObject::connect(action, &QAction::changed, item, [item, action] {
        item->setChecked(action->isChecked());
        item->setEnabled(action->isEnabled());
    });
    return item;
}

} // namespace zub
