#include "platform/qt/byte_limit_validator.h"

#include "platform/qt/qt_text.h"

#include <QLineEdit>

#include <algorithm>

namespace zub {
namespace {

std::size_t codePageBytes(QStringView text) {
    return fromQString(text.toString()).size();
}

} // namespace

ByteLimitValidator::ByteLimitValidator(std::size_t maxBytes, const QString& initial,
                                       QLineEdit* field)
    : QValidator(field), m_maxBytes(maxBytes), m_accepted(initial) {
    connect(field, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_accepted = text; });
}

QValidator::State ByteLimitValidator::validate(QString& input, int& pos) const {
    const std::size_t limit = std::max(m_maxBytes, codePageBytes(m_accepted));
    if (codePageBytes(input) <= limit) return Acceptable;

    // What was inserted lies between the parts that the old and the new text share.
    const qsizetype shortest = std::min(input.size(), m_accepted.size());
    qsizetype prefix = 0;
    while (prefix < shortest && input[prefix] == m_accepted[prefix]) ++prefix;
    if (prefix > 0 && input[prefix - 1].isHighSurrogate()) --prefix;
    qsizetype suffix = 0;
    while (suffix < shortest - prefix &&
           input[input.size() - 1 - suffix] == m_accepted[m_accepted.size() - 1 - suffix]) {
        ++suffix;
    }
    if (suffix > 0 && input[input.size() - suffix].isLowSurrogate()) --suffix;

    const QString head = input.first(prefix);
    const QString tail = input.last(suffix);
    const QStringView inserted = QStringView(input).sliced(prefix, input.size() - prefix - suffix);
    const std::size_t kept = codePageBytes(head) + codePageBytes(tail);
    if (kept >= limit) return Invalid;

    std::size_t budget = limit - kept;
    qsizetype taken = 0;
    while (taken < inserted.size()) {
        const qsizetype length =
            inserted[taken].isHighSurrogate() && taken + 1 < inserted.size() ? 2 : 1;
        const std::size_t cost = codePageBytes(inserted.sliced(taken, length));
        if (cost > budget) break;
        budget -= cost;
        taken += length;
    }
    if (taken == 0) return Invalid;
    QString fitted = head;
    fitted += inserted.first(taken);
    fitted += tail;
    input = fitted;
    pos = static_cast<int>(prefix + taken);
    return Acceptable;
}

} // namespace zub
