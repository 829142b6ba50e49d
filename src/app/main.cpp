#include <QApplication>
#include <QMainWindow>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString());
    app.setApplicationName(QStringLiteral("Zub剪贴板"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Korvel剪贴板"));
    window.resize(596, 426);
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
