#include "platform/xdg/kept_clipboard.h"

#include "platform/qt/qt_text.h"

#include <QBuffer>
#include <QImageReader>

namespace zub {
namespace {

// The program reads text the way Windows hands out CF_TEXT: a C string.
std::string upToNul(std::string bytes) {
    if (const auto nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
    return bytes;
}

// Whether the bytes hold a raster picture Qt can decode, judged from the header alone. (A
// drawing, SVG, is no bitmap, and Qt would read the whole of it to tell its size.)
bool isReadablePicture(const QByteArray& bytes) {
    if (bytes.isEmpty()) return false;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.canRead() && !reader.format().startsWith("svg") && reader.size().isValid() &&
           !reader.size().isEmpty();
}

} // namespace

bool KeptClipboard::offersText() const {
    return m_text.has_value();
}

bool KeptClipboard::offersBitmap() const {
    return !m_image.isNull() || !m_encodedImage.isEmpty();
}

bool KeptClipboard::isSecret() const {
    return m_secret;
}

std::string KeptClipboard::readText() {
    return m_text.value_or(std::string());
}

QImage KeptClipboard::readBitmap() {
    if (m_image.isNull() && !m_encodedImage.isEmpty()) m_image = QImage::fromData(m_encodedImage);
    return m_image;
}

QByteArray KeptClipboard::readEncodedBitmap() {
    return m_image.isNull() ? m_encodedImage : QByteArray();
}

void KeptClipboard::open() {
    if (m_openCount++ == 0) m_written = false;
}

void KeptClipboard::close() {
    if (m_openCount == 0 || --m_openCount > 0 || !m_written) return;
    const bool gaveUpReading = publish();
    if (m_changed) m_changed();
    if (gaveUpReading) settledNow();
}

void KeptClipboard::empty() {
    open();
    forget();
    m_written = true;
    close();
}

void KeptClipboard::setText(std::string_view bytes) {
    open();
    forget();
    m_text = upToNul(std::string(bytes));
    m_written = true;
    close();
}

void KeptClipboard::setBitmap(const QImage& image) {
    open();
    forget();
    m_image = image;
    m_written = true;
    close();
}

void KeptClipboard::forget() {
    m_text.reset();
    m_encodedImage.clear();
    m_encodedImageType.clear();
    m_image = QImage();
    m_secret = false;
}

void KeptClipboard::foreignChange(SelectionContent content) {
    forget();
    m_secret = content.secret;
    if (!m_secret) {
        if (content.text) m_text = upToNul(fromQString(*content.text));
        if (isReadablePicture(content.image)) {
            m_encodedImage = std::move(content.image);
            m_encodedImageType = std::move(content.imageType);
        }
    }
    if (m_changed) m_changed();
}

} // namespace zub
