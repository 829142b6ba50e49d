#include "platform/x11/x11_clipboard.h"

#include "platform/qt/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace zub {
namespace {

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
        const QString text = toQStringForOthers(m_bytes);
        if (type.id() == QMetaType::QByteArray) return text.toUtf8();
        return text;
    }

private:
    std::string m_bytes;
};

} // namespace

X11Clipboard::X11Clipboard()
    : m_reader([this](SelectionContent content) { foreignChange(std::move(content)); }) {
    m_reader.setIdleHandler([this] { settledNow(); });
}

bool X11Clipboard::publish() {
    QClipboard* system = QGuiApplication::clipboard();
    if (!keptText() && decodedImage().isNull()) {
        system->clear(QClipboard::Clipboard);
    } else {
        QMimeData* data = keptText() ? new TextMimeData(*keptText()) : new QMimeData;
        if (!decodedImage().isNull()) data->setImageData(decodedImage());
        system->setMimeData(data, QClipboard::Clipboard);
    }
    return m_reader.ownWriteDone();
}

} // namespace zub
