#include "app/command_line.h"
#include "app/tform1.h"
#include "platform/memory.h"
#include "platform/x11/x11_platform.h"

#include <QApplication>
#include <QFont>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

// Reads the command line before the window system is reached, so that --help, --version and
// mistakes are answered on a terminal without a display.
zub::CommandLine readCommandLine(int argc, char* argv[]) {
    const QCoreApplication arguments(argc, argv);
    return zub::parseCommandLine(QCoreApplication::arguments());
}

} // namespace

int main(int argc, char* argv[]) {
    zub::settleMemoryPolicy();
    // The title the system shows for the program as a whole; the window has a caption of its own.
    QApplication::setApplicationName(QStringLiteral("Zub剪贴板"));
    QApplication::setApplicationVersion(QStringLiteral(ZUB_VERSION));
    const zub::CommandLine line = readCommandLine(argc, argv);
    if (line.exitCode) {
        std::fputs(line.standardOutput.toLocal8Bit().constData(), stdout);
        std::fputs(line.standardError.toLocal8Bit().constData(), stderr);
        return *line.exitCode;
    }

    QApplication app(argc, argv);
    // Lets the desktop match the window to the installed entry, and so to its icon.
    QGuiApplication::setDesktopFileName(
        QString::fromLatin1(zub::kApplicationId.data(), qsizetype(zub::kApplicationId.size())));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    zub::X11Platform platform;
    zub::TForm1 form(platform.services());
    form.show();
    if (line.document) {
        // Once the window is up, so that a message about the file stands over it.
        QTimer::singleShot(0, &form, [&form, &line] { form.openListDocument(*line.document); });
    }
    return app.exec();
}
