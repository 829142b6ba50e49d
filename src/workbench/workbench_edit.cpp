#include "workbench/workbench_edit.h"

#include "platform/qt/qt_text.h"
#include "text/codepage.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>
#include <vector>

namespace zub {
namespace {

std::u16string_view view(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Code units of the character at i (a surrogate pair is one character).
qsizetype unitsAt(std::u16string_view text, qsizetype i) {
    const char16_t c = text[static_cast<std::size_t>(i)];
    return (c >= 0xD800 && c <= 0xDBFF && static_cast<std::size_t>(i) + 1 < text.size() &&
            text[static_cast<std::size_t>(i) + 1] >= 0xDC00 &&
            text[static_cast<std::size_t>(i) + 1] <= 0xDFFF)
               ? 2
               : 1;
}

// Qt's editor makes one line break of CR LF, and of a lone CR or LF alike, so bytes go in as
// they are (the tests hold it to that). It also breaks the line at U+2029 and at its frame marks
// U+FDD0 and U+FDD1, wherever they stand: those characters go in as their four bytes instead,
// each crossing as toUtf16 carries a byte that is no character, so that they come out as they
// went in.
QString editorText(std::string_view bytes) {
    QString text = toQString(bytes);
    const auto breaksLine = [](char16_t c) { return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1; };
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Read through the constant data: such characters are rare, and a text of megabytes is
        // scanned on every open.
        const QChar* units = text.constData();
        while (i < text.size() && !breaksLine(units[i].unicode())) ++i;
        if (i == text.size()) break;
        const char16_t c = units[i].unicode();
        QString escaped;
        for (const char b : cp::fromUtf16(std::u16string_view(&c, 1))) {
            const auto byte = static_cast<unsigned char>(b);
            escaped += QChar(byte < 0x80 ? char16_t{byte} : cp::escapedByte(byte));
        }
        text.replace(i, 1, escaped);
        i += escaped.size() - 1;
    }
    return text;
}

// Bytes per line as the editor breaks the lines of these bytes: at CR LF, a lone CR and a lone
// LF (editorText leaves no other line break). No byte of a longer character is a CR or an LF.
std::vector<std::uint64_t> lineLengths(std::string_view bytes) {
    std::vector<std::uint64_t> lengths;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lengths.push_back(i - start);
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lengths.push_back(bytes.size() - start);
    return lengths;
}

} // namespace

WorkbenchEdit::WorkbenchEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    // The selection stays visible while the focus is elsewhere.
    QPalette colours = palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    recountAll();
    // The counts follow every change before anyone hears of it: the document reports the
    // changed range before it reports that the contents changed.
    connect(document(), &QTextDocument::contentsChange, this, &WorkbenchEdit::followContents);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_quiet) emit changed();
    });
}

std::uint64_t WorkbenchEdit::blockBytes(const QTextBlock& block) {
    return cp::byteLength(view(block.text()));
}

void WorkbenchEdit::recountAll() {
    m_wholeText.reset();
    std::vector<std::uint64_t> lengths;
    lengths.reserve(static_cast<std::size_t>(document()->blockCount()));
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        lengths.push_back(blockBytes(b));
    m_counts.assign(std::move(lengths));
}

void WorkbenchEdit::followContents(int position, int removed, int added) {
    // The whole text anew: its lines are counted from its bytes afterwards, faster than from
    // the editor's lines.
    if (m_replacing) return;
    // The kept bytes are mended rather than dropped, so that Find after an edit costs a search,
    // not a conversion of the whole text. They must not answer while the counts are redone.
    std::optional<std::string> kept = std::exchange(m_wholeText, std::nullopt);
    const std::uint64_t oldTotal = m_counts.totalBytes();
    recountLines(position, removed, added);
    if (kept) mendKeptText(std::move(*kept), oldTotal, position, added);
}

void WorkbenchEdit::mendKeptText(std::string kept, std::uint64_t oldTotal, int position,
                                 int added) {
    // Bytes before `position` and after `position + added` are as they were, so the changed
    // range and how many old bytes it replaced follow from the totals. A range reported too wide
    // only costs time: the bytes in it are converted anew.
    // Unless the change joined or split a surrogate pair at its edges: then the characters
    // beside it, and so their bytes, are not what they were.
    const QTextDocument* doc = document();
    if (doc->characterAt(position - 1).isHighSurrogate() ||
        doc->characterAt(position + added).isLowSurrogate())
        return;
    const std::uint64_t start = byteOffset(position);
    const std::uint64_t end = byteOffset(position + added);
    const std::uint64_t newTotal = m_counts.totalBytes();
    if (end < start || oldTotal + (end - start) < newTotal) return;
    const std::uint64_t replaced = oldTotal + (end - start) - newTotal;
    // A change as large as the text (Qt reports a whole-document range at times) is better
    // converted once by whoever asks next than on every keystroke.
    constexpr std::uint64_t kMendLimit = 1 << 16;
    if (end - start > kMendLimit || start + replaced > kept.size()) return;
    kept.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(replaced),
                 bytes(start, end - start));
    m_wholeText = std::move(kept);
}

void WorkbenchEdit::recountLines(int position, int /*removed*/, int added) {
    // Only the lines from the one at `position` to the one at the end of the added text can
    // differ; how many old lines they replace follows from the change in the number of lines.
    // (The removed count is not to be trusted: Qt reports whole-document figures at times.)
    const QTextDocument* doc = document();
    const int lastPosition = std::max(0, doc->characterCount() - 1);
    const QTextBlock first = doc->findBlock(std::clamp(position, 0, lastPosition));
    const QTextBlock last = doc->findBlock(std::clamp(position + added, 0, lastPosition));
    const auto oldCount = static_cast<long long>(m_counts.blockCount());
    const long long newCount = doc->blockCount();
    if (!first.isValid() || !last.isValid()) return recountAll();
    const long long firstNumber = first.blockNumber();
    const long long changed = last.blockNumber() - firstNumber + 1;
    const long long replaced = changed - (newCount - oldCount);
    if (changed < 1 || replaced < 0 || firstNumber + replaced > oldCount) return recountAll();
    std::vector<std::uint64_t> lengths;
    lengths.reserve(static_cast<std::size_t>(changed));
    for (QTextBlock b = first;; b = b.next()) {
        lengths.push_back(blockBytes(b));
        if (b == last) break;
    }
    m_counts.replaceBlocks(static_cast<std::size_t>(firstNumber),
                           static_cast<std::size_t>(replaced), lengths);
}

std::uint64_t WorkbenchEdit::byteOffset(int position) const {
    const QTextBlock block = document()->findBlock(std::max(0, position));
    if (!block.isValid()) return size();
    const QString text = block.text();
    const auto inBlock = static_cast<std::size_t>(
        std::clamp<qsizetype>(position - block.position(), 0, text.size()));
    return m_counts.blockOffset(static_cast<std::size_t>(block.blockNumber())) +
           cp::byteLength(view(text).substr(0, inBlock));
}

int WorkbenchEdit::position(std::uint64_t offset) const {
    offset = std::min(offset, size());
    const std::size_t number = m_counts.blockAt(offset);
    const QTextBlock block = document()->findBlockByNumber(static_cast<int>(number));
    const QString text = block.text();
    const std::u16string_view units = view(text);
    std::uint64_t at = m_counts.blockOffset(number);
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype n = unitsAt(units, i);
        const std::uint64_t next = at + cp::byteLength(units.substr(static_cast<std::size_t>(i),
                                                                    static_cast<std::size_t>(n)));
        if (next > offset) break;
        at = next;
        i += n;
    }
    // A byte of the line break stands for the end of the line.
    return block.position() + static_cast<int>(i);
}

std::string WorkbenchEdit::bytes(std::uint64_t offset, std::uint64_t count) const {
    const std::uint64_t total = size();
    if (offset >= total || count == 0) return {};
    const std::uint64_t end = offset + std::min(count, total - offset);
    // While the whole text is at hand as bytes, any part of it is a copy away.
    if (m_wholeText) {
        return text().substr(static_cast<std::size_t>(offset),
                             static_cast<std::size_t>(end - offset));
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(end - offset));
    std::size_t number = m_counts.blockAt(offset);
    QTextBlock block = document()->findBlockByNumber(static_cast<int>(number));
    std::uint64_t lineStart = m_counts.blockOffset(number);
    while (block.isValid() && lineStart < end) {
        const std::uint64_t lineEnd = lineStart + m_counts.blockLength(number);
        if (offset <= lineStart && lineEnd <= end) {
            // A whole line: no need to find where the bytes asked for begin and end.
            out += cp::fromUtf16(view(block.text()));
        } else if (offset < lineEnd) {
            // The characters that overlap [offset, end), converted in one go, then trimmed to
            // the bytes asked for.
            const QString text = block.text();
            const std::u16string_view units = view(text);
            std::uint64_t at = lineStart;
            qsizetype i = 0;
            while (i < text.size()) {
                const qsizetype n = unitsAt(units, i);
                const std::uint64_t next =
                    at + cp::byteLength(units.substr(static_cast<std::size_t>(i),
                                                     static_cast<std::size_t>(n)));
                if (next > offset) break;
                at = next;
                i += n;
            }
            const qsizetype from = i;
            std::uint64_t stop = at;
            while (i < text.size() && stop < end) {
                const qsizetype n = unitsAt(units, i);
                stop += cp::byteLength(
                    units.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(n)));
                i += n;
            }
            const std::string piece = cp::fromUtf16(
                units.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(i - from)));
            const std::uint64_t skip = std::max(offset, at) - at;
            const std::uint64_t take = std::min(end, lineEnd) - std::max(offset, at);
            out.append(piece, static_cast<std::size_t>(skip), static_cast<std::size_t>(take));
        }
        // The line break after the line, as far as it is asked for.
        for (std::uint64_t b = lineEnd; b < lineEnd + 2 && b < end; ++b)
            if (b >= offset && block.next().isValid()) out.push_back(b == lineEnd ? '\r' : '\n');
        lineStart = lineEnd + 2;
        block = block.next();
        ++number;
    }
    return out;
}

const std::string& WorkbenchEdit::text() const {
    if (m_wholeText) return *m_wholeText;
    std::string out;
    out.reserve(static_cast<std::size_t>(size()));
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b != document()->begin()) out += "\r\n";
        out += cp::fromUtf16(view(b.text()));
    }
    m_wholeText = std::move(out);
    return *m_wholeText;
}

void WorkbenchEdit::setText(std::string_view bytes) {
    replaceAll(bytes);
    emit changed();
}

void WorkbenchEdit::clearQuietly() {
    replaceAll({});
}

void WorkbenchEdit::replaceAll(std::string_view bytes) {
    // Straight into the document: QPlainTextEdit::setPlainText would then give every character
    // the editor's format once more, a third of the time of a large document for nothing. The
    // undo history goes either way. The change is told once the caret is back at the start.
    // The counts first: whoever hears of the new text (textChanged) may ask for its size.
    m_wholeText.reset();
    m_counts.assign(lineLengths(bytes));
    m_quiet = true;
    m_replacing = true;
    document()->setPlainText(editorText(bytes));
    m_replacing = false;
    m_quiet = false;
    moveCursor(QTextCursor::Start);
}

void WorkbenchEdit::replaceSelection(std::string_view bytes) {
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(editorText(bytes));
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void WorkbenchEdit::replaceBytesQuietly(std::uint64_t start, std::uint64_t length,
                                        std::string_view bytes, std::uint64_t caret) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(position(start));
    cursor.setPosition(position(start + length), QTextCursor::KeepAnchor);
    m_quiet = true;
    cursor.beginEditBlock();
    cursor.insertText(editorText(bytes));
    cursor.endEditBlock();
    m_quiet = false;
    cursor.setPosition(position(caret));
    setTextCursor(cursor);
}

std::uint64_t WorkbenchEdit::selectionStart() const {
    return byteOffset(textCursor().selectionStart());
}

std::uint64_t WorkbenchEdit::selectionLength() const {
    const QTextCursor cursor = textCursor();
    return byteOffset(cursor.selectionEnd()) - byteOffset(cursor.selectionStart());
}

void WorkbenchEdit::selectBytes(std::uint64_t start, std::uint64_t length) {
    const std::uint64_t stop = std::min(start + length, size());
    const int anchor = position(start);
    int end = position(stop);
    if (byteOffset(end) < stop) {
        // The end falls inside a character, or between CR and LF: take all of it.
        const QTextBlock block = document()->findBlock(end);
        const QString text = block.text();
        const qsizetype inBlock = end - block.position();
        end += inBlock < text.size() ? static_cast<int>(unitsAt(view(text), inBlock)) : 1;
    }
    QTextCursor cursor = textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

} // namespace zub
