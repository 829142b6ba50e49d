#include "platform/sim/sim_clipboard.h"

#include "platform/error.h"

#include <utility>

namespace zub {
namespace {

// CF_TEXT is a C string: whatever follows the first NUL is not part of it.
std::string upToNul(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

} // namespace

bool SimClipboard::offersText() const {
    return m_text.has_value();
}

bool SimClipboard::offersBitmap() const {
    return m_bitmap.has_value();
}

std::string SimClipboard::readText() {
    open();
    return m_text ? upToNul(*m_text) : std::string();
}

QImage SimClipboard::readBitmap() {
    open();
    return m_bitmap ? *m_bitmap : QImage();
}

void SimClipboard::empty() {
    open();
    m_text.reset();
    m_bitmap.reset();
    programChanged();
}

void SimClipboard::setText(std::string_view bytes) {
    open();
    m_text = upToNul(bytes);
    m_bitmap.reset();
    programChanged();
}

void SimClipboard::setBitmap(const QImage& image) {
    open();
    m_text.reset();
    m_bitmap = image;
    programChanged();
}

void SimClipboard::setOtherProgramText(std::string bytes) {
    setOtherProgramContent(std::move(bytes), std::nullopt);
}

void SimClipboard::setOtherProgramBitmap(QImage image) {
    setOtherProgramContent(std::nullopt, std::move(image));
}

void SimClipboard::setOtherProgramContent(std::optional<std::string> text,
                                          std::optional<QImage> image) {
    m_text = std::move(text);
    m_bitmap = std::move(image);
}

void SimClipboard::holdOpen(bool held) {
    m_heldOpen = held;
}

void SimClipboard::setChangeListener(std::function<void()> listener) {
    m_changeListener = std::move(listener);
}

void SimClipboard::open() const {
    if (m_heldOpen) throw Error("Cannot open clipboard");
}

void SimClipboard::programChanged() {
    ++m_writeCount;
    if (m_changeListener) m_changeListener();
}

} // namespace zub
