#include "platform/x11/x11_clipboard.h"

#include "platform/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace zub {
namespace {

// The program reads text the way Windows hands out CF_TEXT: a C string.
std::string upToNul(std::string bytes) {
    if (const auto nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
    return bytes;
}

QClipboard* systemClipboard() {
    return QGuiApplication::clipboard();
}

} // namespace

X11Clipboard::X11Clipboard() {
    m_changed =
        QObject::connect(systemClipboard(), &QClipboard::dataChanged, [this] { takeCopy(); });
    takeCopy();
}

X11Clipboard::~X11Clipboard() {
    QObject::disconnect(m_changed);
}

bool X11Clipboard::offersText() const {
    return m_text.has_value();
}

bool X11Clipboard::offersBitmap() const {
    return !m_image.isNull();
}

std::string X11Clipboard::readText() {
    return m_text.value_or(std::string());
}

QImage X11Clipboard::readBitmap() {
    return m_image;
}

void X11Clipboard::empty() {
    systemClipboard()->clear(QClipboard::Clipboard);
    m_text.reset();
    m_image = QImage();
}

void X11Clipboard::setText(std::string_view bytes) {
    const std::string text = upToNul(std::string(bytes));
    systemClipboard()->setText(toQString(text), QClipboard::Clipboard);
    m_text = text;
    m_image = QImage();
}

void X11Clipboard::setBitmap(const QImage& image) {
    systemClipboard()->setImage(image, QClipboard::Clipboard);
    m_text.reset();
    m_image = image;
}

void X11Clipboard::takeCopy() {
    const QMimeData* data = systemClipboard()->mimeData(QClipboard::Clipboard);
    // No formats at all: nobody owns the clipboard any more. Keep the last copy (see the header).
    if (!data || data->formats().isEmpty()) return;
    m_text = data->hasText() ? std::optional(upToNul(fromQString(data->text()))) : std::nullopt;
    m_image = data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
}

} // namespace zub
