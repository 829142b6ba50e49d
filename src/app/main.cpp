#include "app/tform1.h"
#include "platform/memory.h"
#include "platform/x11/x11_platform.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[]) {
    zub::settleMemoryPolicy();
    QApplication app(argc, argv);
    // The title the system shows for the program as a whole; the window has a caption of its own.
    QApplication::setApplicationName(QStringLiteral("Zub剪贴板"));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    zub::X11Platform platform;
    zub::TForm1 form(platform.services());
    form.show();
    return app.exec();
}
