#include "dialogs/dialog_fonts.h"

namespace zub::dialog_fonts {
namespace {

QFont sized(const QString& family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

QFont proportional(int pixelSize) {
    return sized(QStringLiteral("WenQuanYi Micro Hei"), pixelSize);
}

QFont fixedPitch(int pixelSize) {
    QFont font = sized(QStringLiteral("WenQuanYi Micro Hei Mono"), pixelSize);
    font.setStyleHint(QFont::Monospace);
    return font;
}

} // namespace zub::dialog_fonts
