#include "platform/x11/x11_clipboard.h"

#include "platform/qt/qt_text.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>

namespace zub {
namespace {

// The program reads text the way Windows hands out CF_TEXT: a C string.
std::string upToNul(std::string bytes) {
    if (const auto nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
    return bytes;
}

// The program's own text, served to other programs in the form they ask for when they ask: a
// recalled entry of a few hundred megabytes would otherwise sit in memory a second time, twice
// as large, as a QString.
class TextMimeData : public QMimeData {
public:
    explicit TextMimeData(std::string bytes) : m_bytes(std::move(bytes)) {}
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& mimeType) const override {
        return mimeType == QLatin1String("text/plain");
    }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (mimeType != QLatin1String("text/plain")) return {};
        const QString text = toQString(m_bytes);
        if (type.id() == QMetaType::QByteArray) return text.toUtf8();
        return text;
    }

private:
    std::string m_bytes;
};

// Whether the bytes hold a picture Qt can decode, judged from the header alone.
bool isReadablePicture(const QByteArray& bytes) {
    if (bytes.isEmpty()) return false;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.canRead() && reader.size().isValid() && !reader.size().isEmpty();
}

} // namespace

X11Clipboard::X11Clipboard()
    : m_reader([this](SelectionContent content) { foreignChange(std::move(content)); }) {
    m_reader.setIdleHandler([this] {
        if (m_settled) m_settled();
    });
}

bool X11Clipboard::offersText() const {
    return m_text.has_value();
}

bool X11Clipboard::offersBitmap() const {
    return !m_image.isNull() || !m_encodedImage.isEmpty();
}

bool X11Clipboard::isSecret() const {
    return m_secret;
}

std::string X11Clipboard::readText() {
    return m_text.value_or(std::string());
}

QImage X11Clipboard::readBitmap() {
    if (m_image.isNull() && !m_encodedImage.isEmpty()) m_image = QImage::fromData(m_encodedImage);
    return m_image;
}

void X11Clipboard::open() {
    if (m_openCount++ == 0) m_written = false;
}

void X11Clipboard::close() {
    if (m_openCount == 0 || --m_openCount > 0 || !m_written) return;
    const bool gaveUpReading = publish();
    if (m_changed) m_changed();
    if (gaveUpReading && m_settled) m_settled();
}

void X11Clipboard::empty() {
    open();
    forget();
    m_written = true;
    close();
}

void X11Clipboard::setText(std::string_view bytes) {
    open();
    forget();
    m_text = upToNul(std::string(bytes));
    m_written = true;
    close();
}

void X11Clipboard::setBitmap(const QImage& image) {
    open();
    forget();
    m_image = image;
    m_written = true;
    close();
}

void X11Clipboard::forget() {
    m_text.reset();
    m_encodedImage.clear();
    m_image = QImage();
    m_secret = false;
}

bool X11Clipboard::publish() {
    QClipboard* system = QGuiApplication::clipboard();
    if (!m_text && m_image.isNull()) {
        system->clear(QClipboard::Clipboard);
    } else {
        QMimeData* data = m_text ? new TextMimeData(*m_text) : new QMimeData;
        if (!m_image.isNull()) data->setImageData(m_image);
        system->setMimeData(data, QClipboard::Clipboard);
    }
    return m_reader.ownWriteDone();
}

void X11Clipboard::foreignChange(SelectionContent content) {
    forget();
    m_secret = content.secret;
    if (!m_secret) {
        if (content.text) m_text = upToNul(fromQString(*content.text));
        if (isReadablePicture(content.image)) m_encodedImage = std::move(content.image);
    }
    if (m_changed) m_changed();
}

} // namespace zub
