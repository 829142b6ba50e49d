#pragma once

#include "workbench/block_byte_counts.h"
#include "workbench/byte_text.h"

#include <QPlainTextEdit>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class QTextBlock;

namespace zub {

// The workbench editor (Memo1). It shows and edits text as Qt does, and speaks code-page bytes
// to the program: the caret and the selection are byte offsets (a Chinese character counts 2, a
// four-byte character 4, a line break CR LF 2), and the text comes and goes as bytes. This class
// is the one place that maps the editor's positions onto bytes; it keeps each line's byte count
// up to date from the document's change notices, so that neither the caret's byte position nor
// a few bytes near it cost a conversion of the whole text.
//
// Lines wrap at the right edge, the vertical scroll bar is always there, Tab inserts a tab, undo
// and redo work, and the selection stays visible while the focus is elsewhere.
class WorkbenchEdit : public QPlainTextEdit, public ByteText {
    Q_OBJECT

public:
    explicit WorkbenchEdit(QWidget* parent = nullptr);

    // The text's length in bytes, and any part of it.
    std::uint64_t size() const override { return m_counts.totalBytes(); }
    std::string bytes(std::uint64_t offset, std::uint64_t count) const override;
    // The whole text. Kept, and mended through small changes; the reference is good until the
    // next change.
    const std::string& text() const;

    // Replaces the whole text with these bytes (any line breaks become lines), the caret at the
    // start and no undo history: one change.
    void setText(std::string_view bytes);
    // Empties the editor without telling anyone: no changed().
    void clearQuietly();
    // Replaces the selection with these bytes, or inserts them at the caret, as one step to
    // undo; the caret ends after them with nothing selected.
    void replaceSelection(std::string_view bytes);
    // Replaces `length` bytes from `start` with these, as one step to undo, and puts the caret
    // at byte `caret` of the new text with nothing selected. Tells no one (no changed()): for a
    // caller that does itself what a change sets off.
    void replaceBytesQuietly(std::uint64_t start, std::uint64_t length, std::string_view bytes,
                             std::uint64_t caret);

    // The caret as the commands count it: the selection start and length, in bytes.
    std::uint64_t selectionStart() const;
    std::uint64_t selectionLength() const;
    // Selects `length` bytes from `start`; ends inside a character take the whole character.
    void selectBytes(std::uint64_t start, std::uint64_t length);

    // An editor position (UTF-16 code units from the start, one per line break) as bytes, and
    // back: the position of the character that holds the byte.
    std::uint64_t byteOffset(int position) const;
    int position(std::uint64_t byteOffset) const;

signals:
    // The text changed: typing, deleting, cutting, pasting, undo, redo, setText(),
    // replaceSelection(); never clearQuietly(). The caret already stands where the change left it.
    void changed();

private:
    void replaceAll(std::string_view bytes);
    void followContents(int position, int removed, int added);
    void recountLines(int position, int removed, int added);
    void mendKeptText(std::string kept, std::uint64_t oldTotal, int position, int added);
    void recountAll();
    static std::uint64_t blockBytes(const QTextBlock& block);

    BlockByteCounts m_counts;
    // The whole text as bytes, once asked for; small changes are mended into it.
    mutable std::optional<std::string> m_wholeText;
    bool m_quiet = false;
    bool m_replacing = false;
};

} // namespace zub
