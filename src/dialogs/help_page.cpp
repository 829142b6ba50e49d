#include "dialogs/help_page.h"

namespace zub {
namespace {

constexpr int kTitleIndent = 43;
constexpr int kSignatureIndent = 32;

} // namespace

const QStringList& helpTopics() {
    static const QStringList topics = {
        QStringLiteral("在自动捕获模式下（菜单“捕获设置”中的“自动捕获”），本程序自动监视剪贴板，"
                       "把每一段新复制的文字添加到列表的末尾，与列表中已有记录相同的文字不再重复"
                       "添加；剪贴板中的图片则显示在“图像”页上。这里的剪贴板指用“复制”或 Ctrl+C "
                       "放入的内容，用鼠标选中的文字不算。"),
        QStringLiteral("也可以改用手动捕获，只收录您选定的内容：程序启动时处于手动捕获模式，复制"
                       "之后点击“手动捕获”或按 Ctrl+R，就把剪贴板中当前的内容加入列表。Ctrl+R "
                       "是全系统的快捷键，在其他程序中按也有效：本程序在 X 服务器上抓取了这个组合"
                       "键，所以本程序运行期间，其他程序收不到 Ctrl+R；如果它已被别的程序抓取，"
                       "Ctrl+R 就不起作用，请改用“手动捕获”命令。自动捕获模式下 Ctrl+R 不起作用。"),
        QStringLiteral(
            "列表中的记录可以移动位置：选中一条记录，点击工具栏上的上下箭头（“调整位置”），"
            "每点一次上移或下移一行。"),
        QStringLiteral("双击列表中的一条记录，就把它的文字（不含注释）放到剪贴板上，同时放进上方的"
                       "编辑框；编辑框的下拉列表记着最近放入的五条。"),
        QStringLiteral("“转到”按钮能智能地打开编辑框中的内容：网址、文件、文件夹或程序。如果内容"
                       "不是网址，也不是程序路径或文件夹路径，打不开时，就改为在网上搜索这段内容"
                       "（只搜索少于 40 个字节的内容，一个汉字算两个字节）。网址、文件和文件夹由 "
                       "xdg-open 交给系统默认的程序打开，程序则不带参数直接启动。"),
        QStringLiteral("自动完成：在编辑框中输入网站的简称，再按 Ctrl+Enter，编辑框中的内容就补全"
                       "为网址并打开。例如输入 example，按 Ctrl+Enter，编辑框变为 "
                       "http://www.example.com，并打开这个网址。"),
        QStringLiteral("在编辑框中修改之后，点击“返回”按钮，就用编辑框中的内容替换所选记录的文字，"
                       "原有的注释保留。"),
        QStringLiteral("“提取”按钮把所选记录的文字（前后加上“设置”页中的前缀和后缀）插入右下方的"
                       "文字编辑区，方便您编写文档。"),
        QStringLiteral("列表和文字编辑区都能边输入边自动搜索：在编辑框中输入时，列表选中第一条含有"
                       "所输入文字的记录；在文字编辑区中输入时，列表选中第一条以正在输入的词开头的"
                       "记录。搜索不分大小写。输入中文时建议使用半角方式。"),
        QStringLiteral(
            "本程序使用简单，还有很多功能（如注释、排序、整理、反选、删除、保存和打开列表、"
            "屏幕抓图、自动保存图像、查找和替换等）留给您自己去发现，这里不一一介绍。"),
        QStringLiteral(
            "本程序可以免费使用、复制和转发；转发时请保持程序完整，并附上本帮助。本程序按"
            "现状提供，不附带任何担保，使用本程序造成的任何后果由使用者自行承担。"),
    };
    return topics;
}

QString helpPageText() {
    QStringList lines = {QString(), QString(kTitleIndent, u' ') + QStringLiteral("帮 助 主 题"),
                         QString(), QString()};
    int number = 0;
    for (const QString& topic : helpTopics()) {
        lines << QStringLiteral("   %1.").arg(++number) + topic << QString();
    }
    lines << QString() << QString();
    lines << QString(kSignatureIndent, u' ') + QStringLiteral("作者：Zub剪贴板开发组");
    lines << QString();
    lines << QString(kSignatureIndent, u' ') + QStringLiteral("2026年12月");
    return lines.join(u'\n');
}

} // namespace zub
