// Handlers of Go and auto-complete on the edit box's text.

#include "app/tform1.h"
#include "cliplist/edit_box.h"
#include "workbench/go_command.h"

#include <QAction>
#include <QToolButton>

namespace zub {

void TForm1::connectGoCommands() {
    SpeedButton1->setToolTip(QStringLiteral("打开编辑框里的文件、文件夹、程序或网址\n"
                                            "打不开而又短于40字节时，在网上搜索这段文字\n"
                                            "Ctrl+Enter：先补全为 http://www.名称.com 再转到"));
    SpeedButton1->setStatusTip(
        QStringLiteral("打开编辑框里的文件、文件夹、程序或网址；打不开时在网上搜索这段文字"));
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { guard([this] { SpeedButton1Click(); }); });
    connect(action(QStringLiteral("Action9")), &QAction::triggered, this,
            [this] { guard([this] { Action9Execute(); }); });
}

void TForm1::SpeedButton1Click() {
    go(m_services.shell, m_editBox->text());
}

void TForm1::Action9Execute() {
    if (auto address = autoCompleted(m_editBox->text()))
        m_editBox->setTextByProgram(std::move(*address));
    SpeedButton1Click();
}

} // namespace zub
