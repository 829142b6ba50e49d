#include "app/command_line.h"
#include "app/tform1.h"
#include "platform/memory.h"
#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#else
#include "app/single_instance.h"
#include "platform/wayland/wayland_platform.h"
#include "platform/x11/x11_platform.h"
#endif

#include <QApplication>
#include <QFont>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// Reads the command line before the window system is reached, so that --help, --version and
// mistakes are answered on a terminal without a display.
zub::CommandLine readCommandLine(int argc, char* argv[]) {
    const QCoreApplication arguments(argc, argv);
    return zub::parseCommandLine(QCoreApplication::arguments());
}

// Hands the request to the program already running in this session; whether one took it. On
// Windows, where the hot key is the system's own, a request starts a program of its own.
bool askRunningProgram(int argc, char* argv[], zub::InstanceRequest request) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    (void)request;
    return false;
#else
    const QCoreApplication application(argc, argv);
    return zub::SingleInstance::ask(request);
#endif
}

// The backend is chosen once, at start: Wayland's own where the compositor lets a clipboard
// history watch and set the clipboard (data-control), else X11, through XWayland on a Wayland
// desktop without it. The window goes with it, unless the user chose Qt's platform himself.
bool usesWayland() {
#ifdef _WIN32
    return false;
#else
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return display && *display && zub::WaylandPlatform::compositorOffersDataControl();
#endif
}

const char* backendName([[maybe_unused]] bool wayland) {
#ifdef _WIN32
    return "backend: Win32\n";
#endif
    return wayland ? "backend: Wayland (data-control)\n" : "backend: X11\n";
}

void runRequest(zub::TForm1& form, zub::InstanceRequest request) {
    if (request == zub::InstanceRequest::Capture) {
        // Exactly what the hot key does: nothing in automatic mode.
        form.guard([&form] { form.hotKeyPressed(zub::hotkey::kControl, zub::hotkey::kKeyR); });
        return;
    }
    form.show();
    form.showNormal();
    form.raise();
    form.activateWindow();
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
        if (line.printsVersion) std::fputs(backendName(usesWayland()), stdout);
        std::fputs(line.standardError.toLocal8Bit().constData(), stderr);
        return *line.exitCode;
    }
    if (line.request && askRunningProgram(argc, argv, *line.request)) return 0;

    [[maybe_unused]] const bool wayland = usesWayland();
#ifndef _WIN32
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", wayland ? "wayland;xcb" : "xcb", 1);
#endif
    QApplication app(argc, argv);
    // Lets the desktop match the window to the installed entry, and so to its icon.
    QGuiApplication::setDesktopFileName(
        QString::fromLatin1(zub::kApplicationId.data(), qsizetype(zub::kApplicationId.size())));
#ifdef _WIN32
    // The system's Chinese interface font where it has one; a system without (or Wine) falls back
    // to the one the Linux build uses.
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    QApplication::setFont(font);
    zub::Win32Platform platform;
    zub::Services services = platform.services();
#else
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    std::optional<zub::X11Platform> x11;
    std::optional<zub::WaylandPlatform> waylandPlatform;
    zub::Services services =
        wayland ? waylandPlatform.emplace().services() : x11.emplace().services();
#endif
    zub::TForm1 form(services);
#ifndef _WIN32
    zub::SingleInstance instance(
        [&form](zub::InstanceRequest request) { runRequest(form, request); });
    instance.listen();
#endif
    form.show();
    if (line.document) {
        // Once the window is up, so that a message about the file stands over it.
        QTimer::singleShot(0, &form, [&form, &line] { form.openListDocument(*line.document); });
    }
    if (line.request == zub::InstanceRequest::Capture)
        QTimer::singleShot(0, &form, [&form] { runRequest(form, zub::InstanceRequest::Capture); });
    return app.exec();
}
