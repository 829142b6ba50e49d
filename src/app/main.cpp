#include "app/tform1.h"
#include "platform/x11/posix_system_files.h"
#include "platform/x11/qt_dialogs.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_hot_key.h"
#include "platform/x11/x11_shell.h"
#include "platform/x11/x11_viewer_chain.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The title the system shows for the program as a whole; the window has a caption of its own.
    QApplication::setApplicationName(QStringLiteral("Zub剪贴板"));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    zub::X11Clipboard clipboard;
    zub::X11ViewerChain viewerChain;
    zub::X11HotKey hotKey;
    zub::QtDialogs dialogs;
    zub::PosixSystemFiles files;
    zub::X11Shell shell;
    zub::TForm1 form({clipboard, viewerChain, hotKey, dialogs, files, shell});
    form.show();
    return app.exec();
}
