#include "cliplist/edit_box.h"

#include "platform/qt/qt_text.h"
#include "text/codepage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace zub {

namespace {

// One character as the user sees it: a single QChar or a whole surrogate pair.
bool isOneCharacter(const QString& text) {
    if (text.size() == 1) return !text[0].isSurrogate();
    return text.size() == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate();
}

// What QLineEdit itself would insert for a key, so that nothing it types is lost to us.
bool typesOneCharacter(const QString& text) {
    if (!isOneCharacter(text)) return false;
    const char32_t c =
        text.size() == 2 ? QChar::surrogateToUcs4(text[0], text[1]) : text[0].unicode();
    const QChar::Category category = QChar::category(c);
    return QChar::isPrint(c) || category == QChar::Other_Format ||
           category == QChar::Other_PrivateUse;
}

// Byte offset in the field's code-page text of a position between its QChars. A position inside
// a surrogate pair counts as the start of that character.
std::size_t byteOffset(const QString& field, qsizetype pos) {
    pos = std::clamp<qsizetype>(pos, 0, field.size());
    if (pos > 0 && pos < field.size() && field[pos - 1].isHighSurrogate() &&
        field[pos].isLowSurrogate())
        --pos;
    return fromQString(field.left(pos)).size();
}

qsizetype charPosition(std::string_view bytes, std::size_t offset) {
    return toQString(bytes.substr(0, std::min(offset, bytes.size()))).size();
}

// The field's text in code-page bytes, with its selection (a caret is an empty one) in bytes.
struct FieldBytes {
    std::string text;
    std::size_t selectionStart;
    std::size_t selectionLength;
};

FieldBytes fieldBytes(const QLineEdit* field) {
    const QString text = field->text();
    const qsizetype start =
        field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    const std::size_t from = byteOffset(text, start);
    const std::size_t to = byteOffset(text, start + field->selectionLength());
    return {fromQString(text), from, to - from};
}

bool isReturn(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

EditBox::EditBox(QComboBox* combo, QObject* parent) : QObject(parent), m_combo(combo) {
    // The recent list is the only source of items and EditBoxCompletion the only completion;
    // setEditable comes first because it gives the box a default completer.
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setCompleter(nullptr);
    m_field = m_combo->lineEdit();
    // Text the user pastes may be longer than QLineEdit's default limit, and what the field cut
    // off would be lost when its text is written back over the entry.
    m_field->setMaxLength(std::numeric_limits<int>::max());
    // The combo box is its line edit's focus proxy: keys and input-method text arrive at the
    // combo box, which hands them to the line edit past any filter on it. Events sent to the
    // line edit itself are caught there.
    m_combo->installEventFilter(this);
    m_field->installEventFilter(this);
    connect(m_field, &QLineEdit::textEdited, this, &EditBox::fieldEditedByUser);
    connect(m_combo, &QComboBox::activated, this, &EditBox::itemPicked);
}

QString EditBox::shownForm(std::string_view bytes) {
    if (bytes.size() <= kMaxShownBytes) return toQString(bytes);
    std::size_t cut = 0;
    while (cut < bytes.size()) {
        const std::size_t next = cut + cp::charLength(bytes, cut);
        if (next > kMaxShownBytes) break;
        cut = next;
    }
    return toQString(bytes.substr(0, cut)) + QChar(0x2026);
}

std::string EditBox::text() const {
    const QString shown = m_field->text();
    return shown == m_shownText ? m_shownBytes : fromQString(shown);
}

void EditBox::setTextByProgram(std::string bytes) {
    m_completion.reset();
    m_shownText = shownForm(bytes);
    m_shownBytes = std::move(bytes);
    m_field->setText(m_shownText);
}

void EditBox::remember(std::string clipText) {
    if (m_recent.remember(std::move(clipText))) showItems();
}

void EditBox::clearAll() {
    m_recent.clear();
    m_combo->clear();
    setTextByProgram({});
}

bool EditBox::eventFilter(QObject* watched, QEvent* event) {
    if ((watched != m_combo && watched != m_field) || event == m_redelivered) return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPressed(watched, static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod:
        return inputMethodUsed(static_cast<QInputMethodEvent*>(event));
    case QEvent::FocusOut:
        // Leaving the field finishes its editing, on which QComboBox activates an item whose
        // text the field holds.
        deliverWithoutPicking(watched, event);
        return true;
    default:
        return false;
    }
}

bool EditBox::keyPressed(QObject* receiver, QKeyEvent* key) {
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (isReturn(key)) {
        // Qt's default stays (returnPressed, and the key goes on to the window), but the
        // activation QComboBox makes of it when the text equals an item is no change by the user.
        deliverWithoutPicking(receiver, key);
        key->accept();
        return true;
    }
    if (key->key() == Qt::Key_Backspace && modifiers == Qt::NoModifier) {
        backspace();
        return true;
    }
    // Ctrl+Alt is how Windows reports AltGr, which types characters; Ctrl alone, Alt alone and
    // Meta are shortcuts. QLineEdit never types with Ctrl and keeps its Ctrl editing keys, but it
    // would insert the letter of an Alt or Meta key that no shortcut took.
    const bool altGr = modifiers == (Qt::ControlModifier | Qt::AltModifier);
    if (modifiers != Qt::NoModifier && !altGr) {
        if (modifiers == Qt::ControlModifier || !typesOneCharacter(key->text())) return false;
        key->ignore(); // on to the window, past the field
        return true;
    }
    if (!typesOneCharacter(key->text())) return false;
    typeCharacter(key->text());
    return true;
}

bool EditBox::inputMethodUsed(QInputMethodEvent* event) {
    // Several characters at once are no typing the completion could follow: the line edit takes
    // them and reports an edit.
    if (!typesOneCharacter(event->commitString()) || !event->preeditString().isEmpty() ||
        event->replacementLength() != 0)
        return false;
    const QString character = event->commitString();
    // The composition on show ends first, as the whole event would have ended it.
    QInputMethodEvent composed;
    QCoreApplication::sendEvent(m_field, &composed);
    typeCharacter(character);
    return true;
}

void EditBox::typeCharacter(const QString& character) {
    const FieldBytes field = fieldBytes(m_field);
    const EditResult result = m_completion.typeCharacter(
        field.text, field.selectionStart, field.selectionLength, fromQString(character), m_recent);
    showResult(result);
    if (result.runSearch) emit userChanged();
}

void EditBox::backspace() {
    const FieldBytes field = fieldBytes(m_field);
    showResult(m_completion.backspace(field.text, field.selectionStart, field.selectionLength));
    emit userChanged();
}

void EditBox::itemPicked(int index) {
    if (m_pickingBlocked || index < 0 || static_cast<std::size_t>(index) >= m_recent.size()) return;
    showResult(m_completion.pickItem(static_cast<std::size_t>(index), m_recent));
    emit userChanged();
}

void EditBox::fieldEditedByUser() {
    if (m_applying) return;
    if (m_completion.userEdited()) emit userChanged();
}

void EditBox::deliverWithoutPicking(QObject* receiver, QEvent* event) {
    QScopedValueRollback blocked(m_pickingBlocked, true);
    QScopedValueRollback redelivered(m_redelivered, event);
    QCoreApplication::sendEvent(receiver, event);
}

void EditBox::showResult(const EditResult& result) {
    m_shownText = shownForm(result.text);
    m_shownBytes = result.text;
    if (result.text.size() > kMaxShownBytes) {
        // A cut text has no selection of its own to show; the caret goes to its end.
        QScopedValueRollback applying(m_applying, true);
        m_field->setText(m_shownText);
        return;
    }
    replaceChangedPart(m_shownText);
    const qsizetype start = charPosition(result.text, result.selectionStart);
    const qsizetype end = charPosition(result.text, result.selectionStart + result.selectionLength);
    // The caret goes after the selection, so that typing on replaces it.
    if (end > start)
        m_field->setSelection(start, end - start);
    else
        m_field->setCursorPosition(start);
}

// Edits only the part that differs, as typing would, so that the field's undo steps back through
// what the user typed instead of losing it all to setText.
void EditBox::replaceChangedPart(const QString& text) {
    const QString old = m_field->text();
    const qsizetype shorter = std::min(old.size(), text.size());
    qsizetype head = 0;
    while (head < shorter && old[head] == text[head]) ++head;
    if (head == old.size() && head == text.size()) return;
    if (head > 0 && old[head - 1].isHighSurrogate()) --head;
    qsizetype tail = 0;
    while (tail < shorter - head && old[old.size() - 1 - tail] == text[text.size() - 1 - tail])
        ++tail;
    if (tail > 0 && old[old.size() - tail].isLowSurrogate()) --tail;

    QScopedValueRollback applying(m_applying, true);
    m_field->setSelection(head, old.size() - head - tail);
    m_field->insert(text.mid(head, text.size() - head - tail));
}

void EditBox::showItems() {
    // QComboBox shows its first item in the field when items arrive in an empty box; the field
    // is the user's, so it gets back its text and selection.
    const QString text = m_field->text();
    const bool selected = m_field->hasSelectedText();
    const qsizetype start = m_field->selectionStart();
    const qsizetype length = m_field->selectionLength();
    const qsizetype cursor = m_field->cursorPosition();

    QStringList items;
    for (const std::string& item : m_recent.items()) items.push_back(shownForm(item));
    m_combo->clear();
    m_combo->addItems(items);
    // No item is current: the field's text need not be one, and Down starts at the top.
    m_combo->setCurrentIndex(-1);
    if (m_field->text() != text) m_field->setText(text);
    if (!selected)
        m_field->setCursorPosition(cursor);
    else if (cursor == start)
        m_field->setSelection(start + length, -length);
    else
        m_field->setSelection(start, length);
}

} // namespace zub
