#include "app/icons.h"

#include <QDir>
#include <QStringList>

// Resources compiled into a static library must be registered by hand, from outside any
// namespace.
static void registerIconResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)done;
}

namespace zub::icons {
namespace {

// The build drew each icon into PNG files beside it in the resources, "<name>.svg-<size>.png"
// (see resources/icon_resources.cmake): decoding them costs a start a fraction of drawing them.
QIcon fromSvg(const QString& resource, std::initializer_list<int> sizes) {
    registerIconResources();
    QIcon icon;
    for (int size : sizes) icon.addFile(resource + QStringLiteral("-%1.png").arg(size));
    return icon;
}

} // namespace

QIcon imageList(int index) {
    static const QList<QIcon> icons = [] {
        registerIconResources();
        QList<QIcon> list;
        // Numbered "NN-name.svg", in the order of their numbers. Picked out by hand: a name
        // filter would bring in the regular-expression engine and its memory at start-up.
        const QStringList files =
            QDir(QStringLiteral(":/icons")).entryList(QDir::Files, QDir::Name);
        for (const QString& f : files) {
            if (f.size() > 3 && f[0].isDigit() && f[1].isDigit() && f[2] == u'-' &&
                f.endsWith(QStringLiteral(".svg")))
                list.push_back(fromSvg(":/icons/" + f, {16, 32}));
        }
        return list;
    }();
    return index >= 0 && index < icons.size() ? icons[index] : QIcon();
}

QIcon goButton() {
    return fromSvg(QStringLiteral(":/icons/go.svg"), {16, 32});
}

QIcon application() {
    return fromSvg(QStringLiteral(":/icons/app.svg"), {16, 32, 64});
}

} // namespace zub::icons
