// Draws an SVG icon into a Windows icon file holding it at the sizes Explorer and the Start menu
// ask for, each as a PNG image (which icon files may hold since Windows Vista).

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <vector>

namespace {

void put16(QByteArray& out, unsigned value) {
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>(value >> 8 & 0xff));
}

void put32(QByteArray& out, unsigned value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: %s ICON.svg OUT.ico\n", argv[0]);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: cannot draw %s\n", argv[0], argv[1]);
        return 1;
    }
    const std::vector<int> sizes = {16, 24, 32, 48, 64, 256};
    std::vector<QByteArray> images;
    for (int size : sizes) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        images.push_back(png);
    }
    QByteArray out;
    put16(out, 0);
    put16(out, 1); // an icon
    put16(out, static_cast<unsigned>(sizes.size()));
    unsigned offset = 6 + 16 * static_cast<unsigned>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        // 256 is written as 0.
        out.append(static_cast<char>(sizes[i] & 0xff));
        out.append(static_cast<char>(sizes[i] & 0xff));
        out.append('\0'); // no palette
        out.append('\0');
        put16(out, 1);  // planes
        put16(out, 32); // bits per pixel
        put32(out, static_cast<unsigned>(images[i].size()));
        put32(out, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const QByteArray& png : images) out.append(png);
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
