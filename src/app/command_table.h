#pragma once

#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

class QMenu;
class QToolBar;
class QWidget;

namespace zub {

// One command of the window: the caption doubles as the menu text, the hint as the tool tip.
struct CommandDefinition {
    const char* name;
    const char* caption;
    const char* hint;
    QList<QKeySequence> shortcuts;
    int icon;
    bool checkable;
};

const QList<CommandDefinition>& commandDefinitions();

// The window's commands by name, created with `owner` as their parent and shortcut holder.
QHash<QString, QAction*> createCommands(QWidget* owner);

// A menu entry that runs `action` but shows its own caption and hint and follows its enabled
// state, for the menu items whose text differs from their command's caption.
QAction* createMenuProxy(QAction* action, const QString& caption, const QString& hint,
                         QObject* parent);

// The menu entry of a command with a checked state: it shows a check mark (not the command's
// icon, which a menu would frame instead) and follows the command's checked and enabled state.
QAction* createCheckMenuItem(QAction* action, QObject* parent);

} // namespace zub
