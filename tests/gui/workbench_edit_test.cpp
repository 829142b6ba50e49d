// The workbench editor on its own: its text, caret and selection in code-page bytes, checked
// against converting the whole text, through typing, editing, undo and redo.

#include "gui_support.h"
#include "platform/qt/qt_text.h"
#include "text/codepage.h"
#include "workbench/workbench_edit.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QtTest>

#include <random>

using namespace zub;

namespace {

QByteArray bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

// What the editor holds, converted whole: the yardstick.
std::string wholeText(const QTextDocument& document, int upTo = -1) {
    QString raw = document.toRawText();
    if (upTo >= 0) raw.truncate(upTo);
    raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return fromQString(raw);
}

void expectAgreesWithWholeText(const WorkbenchEdit& edit) {
    const QTextDocument& document = *edit.document();
    const std::string all = wholeText(document);
    QCOMPARE(bytes(edit.text()), bytes(all));
    QCOMPARE(edit.size(), all.size());
    const QString raw = document.toRawText();
    for (int position = 0; position < document.characterCount(); ++position) {
        // No caret stands between the halves of a surrogate pair.
        if (position > 0 && raw.at(position - 1).isHighSurrogate() &&
            raw.at(position).isLowSurrogate())
            continue;
        const std::uint64_t offset = wholeText(document, position).size();
        QCOMPARE(edit.byteOffset(position), offset);
        // Back from bytes: the position of the character that holds the byte.
        QCOMPARE(edit.position(offset), position);
    }
    for (std::uint64_t from = 0; from <= all.size(); from += 3)
        for (std::uint64_t count : {1, 2, 5})
            QCOMPARE(bytes(edit.bytes(from, count)), bytes(all.substr(from, count)));
}

const QString kPieces[] = {QStringLiteral("a"), QStringLiteral("中"), QStringLiteral("😀"),
                           QStringLiteral("\n"), QStringLiteral("ab\ncd"), QStringLiteral("\t"),
                           QStringLiteral("À文\n\n"), QStringLiteral(" "),
                           // Bytes that start no character, as they cross into the editor.
                           toQString("\xD6 \x81\x30")};

} // namespace

class WorkbenchEditTest : public QObject {
    Q_OBJECT

private slots:
    void caretCountsBytesAfterChineseAndFourByteCharacters() {
        WorkbenchEdit edit;
        edit.show();
        edit.setFocus();
        zub::test::typeCharacters(&edit, QStringLiteral("a中"));
        QCOMPARE(edit.selectionStart(), 3u);
        zub::test::typeCharacters(&edit, QStringLiteral("😀"));
        QCOMPARE(edit.selectionStart(), 7u);
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(edit.selectionStart(), 9u);                   // CR LF
        zub::test::typeCharacters(&edit, QStringLiteral("À")); // not in CP936: four bytes
        QCOMPARE(edit.selectionStart(), 13u);
        QCOMPARE(bytes(edit.text()), bytes(cp::fromUtf16(u"a中😀\r\nÀ")));

        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClick(&edit, Qt::Key_Left);
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(edit.selectionStart(), 1u);
        QCOMPARE(edit.selectionLength(), 6u); // 中😀
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(edit.selectionStart(), 0u);
        QCOMPARE(edit.selectionLength(), 7u);
    }

    void randomEditsKeepEveryPositionRight() {
        WorkbenchEdit edit;
        QSignalSpy changes(&edit, &WorkbenchEdit::changed);
        // While the change is told, the caret already stands where the change left it.
        std::vector<std::pair<std::uint64_t, std::uint64_t>> told;
        connect(&edit, &WorkbenchEdit::changed, &edit, [&] {
            told.emplace_back(
                edit.selectionStart(),
                wholeText(*edit.document(), edit.textCursor().selectionStart()).size());
        });
        std::mt19937 random(5);
        for (int step = 0; step < 150; ++step) {
            QTextCursor cursor = edit.textCursor();
            const int length = edit.document()->characterCount() - 1;
            switch (random() % 5) {
            case 0:
            case 1:
                cursor.setPosition(static_cast<int>(random() % (length + 1)));
                edit.setTextCursor(cursor);
                edit.insertPlainText(kPieces[random() % std::size(kPieces)]);
                break;
            case 2: {
                const int from = static_cast<int>(random() % (length + 1));
                cursor.setPosition(from);
                cursor.setPosition(std::min(length, from + static_cast<int>(random() % 6)),
                                   QTextCursor::KeepAnchor);
                edit.setTextCursor(cursor);
                edit.textCursor().removeSelectedText();
                break;
            }
            case 3:
                edit.undo();
                break;
            default:
                edit.redo();
                break;
            }
            // This reads text() before every next edit, so the bytes the editor mends through
            // each change are checked too.
            expectAgreesWithWholeText(edit);
            if (QTest::currentTestFailed()) {
                qWarning() << "after step" << step;
                return;
            }
        }
        QVERIFY(changes.count() > 100);
        for (const auto& [caret, expected] : told) QCOMPARE(caret, expected);
    }

    void aByteThatStartsNoCharacterIsOneCharacterOfOneByte() {
        WorkbenchEdit edit;
        edit.show();
        // A lead byte before a space and at the end, and a cut-off four-byte sequence.
        const std::string text = "a\xD6 \x81\x30\x81";
        edit.setText(text);
        QCOMPARE(bytes(edit.text()), bytes(text));
        for (std::uint64_t expected = 1; expected <= text.size(); ++expected) {
            QTest::keyClick(&edit, Qt::Key_Right);
            QCOMPARE(edit.selectionStart(), expected);
        }
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(bytes(edit.text()), bytes(text.substr(0, text.size() - 1)));
        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(bytes(edit.text()), bytes(text.substr(1, text.size() - 2)));
        edit.undo();
        edit.undo();
        QCOMPARE(bytes(edit.text()), bytes(text));
        QCOMPARE(bytes(fromQString(edit.toPlainText())), bytes(text));
        expectAgreesWithWholeText(edit);

        // The four-byte codes of U+2029 and U+FDD0, which Qt takes for line breaks, stay bytes
        // within their line.
        const std::string breaks = "x\x81\x36\xA6\x36y\x84\x30\xFA\x32";
        edit.setText(breaks);
        QCOMPARE(edit.document()->blockCount(), 1);
        QCOMPARE(bytes(edit.text()), bytes(breaks));
        expectAgreesWithWholeText(edit);
    }

    void textComesAndGoesAsBytes() {
        WorkbenchEdit edit;
        edit.setText("old text");
        edit.moveCursor(QTextCursor::End);
        QSignalSpy changes(&edit, &WorkbenchEdit::changed);
        // The change is told with the caret already at the start.
        std::vector<std::uint64_t> caretWhenTold;
        connect(&edit, &WorkbenchEdit::changed, &edit,
                [&] { caretWhenTold.push_back(edit.selectionStart()); });
        const std::string text = cp::fromUtf16(u"第一行\r\n\r\n😀 end\r\n");
        edit.setText(text);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(bytes(edit.text()), bytes(text));
        QCOMPARE(edit.document()->blockCount(), 4);
        QCOMPARE(edit.selectionStart(), 0u);
        QCOMPARE(caretWhenTold, std::vector<std::uint64_t>{0});
        QVERIFY(!edit.document()->isUndoAvailable());
        expectAgreesWithWholeText(edit);
        // Lone CRs and LFs are line breaks too.
        edit.setText("a\nb\rc\r\r\n\n\xD6\r");
        QCOMPARE(bytes(edit.text()), QByteArray("a\r\nb\r\nc\r\n\r\n\r\n\xD6\r\n"));
        expectAgreesWithWholeText(edit);

        edit.clearQuietly();
        QCOMPARE(changes.count(), 2);
        QCOMPARE(edit.size(), 0u);
        QCOMPARE(bytes(edit.text()), QByteArray());
        expectAgreesWithWholeText(edit);
    }

    void longStretchesFollowEveryChange() {
        // Once the whole text has been asked for, it is kept as bytes until the next change and
        // parts come from it; each kind of change must be seen in it.
        WorkbenchEdit edit;
        std::string text;
        for (int i = 0; i < 5000; ++i)
            text += cp::fromUtf16(u"行 line ") + std::to_string(i) + "\r\n";
        edit.setText(text);
        QCOMPARE(bytes(edit.text()), bytes(text));
        QCOMPARE(bytes(edit.bytes(0, edit.size())), bytes(text));
        edit.selectBytes(0, 0);
        QTest::keyClicks(&edit, QStringLiteral("ab"));
        QCOMPARE(bytes(edit.bytes(0, edit.size())), bytes("ab" + text));
        QCOMPARE(bytes(edit.text()), bytes("ab" + text));
        edit.undo();
        QCOMPARE(bytes(edit.bytes(2, edit.size())), bytes(text.substr(2)));
        QCOMPARE(bytes(edit.text()), bytes(text));
        edit.replaceSelection("xyz");
        QCOMPARE(bytes(edit.bytes(1, 100000)), bytes(("xyz" + text).substr(1, 100000)));
        QCOMPARE(bytes(edit.text()), bytes("xyz" + text));
        edit.clearQuietly();
        QCOMPARE(bytes(edit.bytes(0, 100000)), QByteArray());
        QCOMPARE(bytes(edit.text()), QByteArray());
    }

    void replacingTheSelectionIsOneStepToUndo() {
        WorkbenchEdit edit;
        edit.setText("one two three");
        edit.selectBytes(4, 3);
        QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("two"));
        QSignalSpy changes(&edit, &WorkbenchEdit::changed);
        edit.replaceSelection(cp::fromUtf16(u"<二>"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(bytes(edit.text()), bytes(cp::fromUtf16(u"one <二> three")));
        QCOMPARE(edit.selectionStart(), 8u);
        QCOMPARE(edit.selectionLength(), 0u);
        edit.undo();
        QCOMPARE(bytes(edit.text()), QByteArray("one two three"));
        edit.redo();
        QCOMPARE(bytes(edit.text()), bytes(cp::fromUtf16(u"one <二> three")));

        // Inserted line breaks are lines of the text, CR LF and all.
        edit.replaceSelection("x\r\ny");
        QCOMPARE(edit.document()->blockCount(), 2);
        expectAgreesWithWholeText(edit);
    }

    void selectingBytesTakesWholeCharacters() {
        WorkbenchEdit edit;
        edit.setText(cp::fromUtf16(u"a中b\r\nc"));
        edit.selectBytes(2, 1); // the second byte of 中
        QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("中"));
        edit.selectBytes(1, 3);
        QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("中b"));
        edit.selectBytes(4, 2); // CR LF
        QCOMPARE(edit.selectionStart(), 4u);
        QCOMPARE(edit.selectionLength(), 2u);
        edit.selectBytes(4, 1); // half of CR LF is all of it
        QCOMPARE(edit.selectionLength(), 2u);
        edit.selectBytes(6, 100);
        QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("c"));
    }

    void behavesAsTheWorkbenchShould() {
        WorkbenchEdit edit;
        edit.resize(200, 100);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.setFocus();
        QCOMPARE(edit.lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(edit.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        // A long line wraps instead of scrolling sideways.
        edit.setText(std::string(500, 'w') + " " + std::string(500, 'w'));
        QVERIFY(edit.document()->firstBlock().layout()->lineCount() > 1);
        QCOMPARE(edit.horizontalScrollBar()->maximum(), 0);

        edit.setText("");
        QTest::keyClick(&edit, Qt::Key_Tab);
        QCOMPARE(bytes(edit.text()), QByteArray("\t"));
        QVERIFY(edit.hasFocus());
        QTest::keyClicks(&edit, "ab");
        QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(edit.text() != "\tab");
        QTest::keyClick(&edit, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(bytes(edit.text()), QByteArray("\tab"));

        // The selection looks the same with or without the focus.
        const QPalette colours = edit.palette();
        QCOMPARE(colours.color(QPalette::Inactive, QPalette::Highlight),
                 colours.color(QPalette::Active, QPalette::Highlight));
        QCOMPARE(colours.color(QPalette::Inactive, QPalette::HighlightedText),
                 colours.color(QPalette::Active, QPalette::HighlightedText));
    }
};

QTEST_MAIN(WorkbenchEditTest)
#include "workbench_edit_test.moc"
