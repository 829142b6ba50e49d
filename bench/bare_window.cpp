// The yardstick for the program's start-up: a bare Qt Widgets main window of the same size and
// font, with one Chinese label, and nothing else.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("剪贴板")));
    window.resize(596, 426);
    window.show();
    return app.exec();
}
