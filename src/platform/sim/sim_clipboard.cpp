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

bool SimClipboard::isSecret() const {
    return m_secret;
}

std::string SimClipboard::readText() {
    checkOpenable();
    return m_text ? upToNul(*m_text) : std::string();
}

QImage SimClipboard::readBitmap() {
    checkOpenable();
    return m_bitmap ? *m_bitmap : QImage();
}

void SimClipboard::open() {
    checkOpenable();
    if (m_openCount++ == 0) m_written = false;
}

void SimClipboard::close() {
    if (m_openCount == 0 || --m_openCount > 0 || !m_written) return;
    ++m_writeCount;
    const bool overtook = !m_waiting.empty();
    m_waiting.clear();
    if (m_changeListener) m_changeListener();
    if (overtook && m_settledListener) m_settledListener();
}

void SimClipboard::empty() {
    open();
    replace(std::nullopt, std::nullopt);
    m_written = true;
    close();
}

void SimClipboard::setText(std::string_view bytes) {
    open();
    replace(upToNul(bytes), std::nullopt);
    m_written = true;
    close();
}

void SimClipboard::setBitmap(const QImage& image) {
    open();
    replace(std::nullopt, image);
    m_written = true;
    close();
}

void SimClipboard::setOtherProgramText(std::string bytes) {
    setOtherProgramContent(std::move(bytes), std::nullopt);
}

void SimClipboard::setOtherProgramBitmap(QImage image) {
    setOtherProgramContent(std::nullopt, std::move(image));
}

void SimClipboard::setOtherProgramContent(std::optional<std::string> text,
                                          std::optional<QImage> image, bool secret) {
    // What a secret copy holds is never kept, as the real clipboard never keeps it.
    if (secret)
        replace(std::nullopt, std::nullopt);
    else
        replace(std::move(text), std::move(image));
    m_secret = secret;
}

void SimClipboard::copyByOtherProgram(std::optional<std::string> text, std::optional<QImage> image,
                                      bool secret, bool slow) {
    m_waiting.push_back(WaitingCopy{std::move(text), std::move(image), secret, !slow, false});
    deliverReady();
}

void SimClipboard::answerSlowCopy() {
    if (WaitingCopy* copy = firstUnanswered()) copy->answered = true;
    deliverReady();
}

void SimClipboard::giveUpSlowCopy() {
    if (WaitingCopy* copy = firstUnanswered()) copy->givenUp = true;
    deliverReady();
}

SimClipboard::WaitingCopy* SimClipboard::firstUnanswered() {
    for (WaitingCopy& copy : m_waiting)
        if (!copy.answered && !copy.givenUp) return &copy;
    return nullptr;
}

void SimClipboard::deliverReady() {
    bool handedOn = false;
    while (!m_waiting.empty() && (m_waiting.front().answered || m_waiting.front().givenUp)) {
        WaitingCopy copy = std::move(m_waiting.front());
        m_waiting.pop_front();
        handedOn = true;
        if (copy.givenUp) continue;
        setOtherProgramContent(std::move(copy.text), std::move(copy.bitmap), copy.secret);
        if (m_changeListener) m_changeListener();
    }
    if (handedOn && m_waiting.empty() && m_settledListener) m_settledListener();
}

void SimClipboard::holdOpen(bool held) {
    m_heldOpen = held;
}

void SimClipboard::setChangeListener(std::function<void()> listener) {
    m_changeListener = std::move(listener);
}

void SimClipboard::setSettledListener(std::function<void()> listener) {
    m_settledListener = std::move(listener);
}

void SimClipboard::checkOpenable() const {
    if (m_heldOpen) throw Error("Cannot open clipboard");
}

void SimClipboard::replace(std::optional<std::string> text, std::optional<QImage> image) {
    m_text = std::move(text);
    m_bitmap = std::move(image);
    m_secret = false;
}

} // namespace zub
