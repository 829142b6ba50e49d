// The workbench in the window: Extract, New, the documents, Preview and the word-prefix search,
// on the simulated platform.

#include "cliplist/edit_box.h"
#include "gui_support.h"
#include "images/image_pane.h"
#include "images/picture_control.h"
#include "platform/qt/qt_text.h"
#include "workbench/workbench_edit.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace zub;
using namespace zub::test;
namespace fs = std::filesystem;

namespace {

using Row = std::optional<std::size_t>;

struct Bench : Window {
    WorkbenchEdit* memo() { return form->memo1(); }
    QComboBox* box(const char* name) { return form->findChild<QComboBox*>(name); }
    QByteArray memoBytes() { return QByteArray::fromStdString(memo()->text()); }
    fs::path programFolder() { return fs::path(folder.path().toStdString()); }

    void showActive() {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    // The user clicks into the workbench and types, one key a character.
    void type(const QString& text) {
        if (!memo()->hasFocus()) {
            memo()->setFocus();
            QTRY_VERIFY(memo()->hasFocus());
        }
        typeCharacters(memo(), text);
    }
    void key(Qt::Key key) { QTest::keyClick(memo(), key); }
    void extract() { action("Action11")->trigger(); }
};

// Bytes that start no character of the code page: a lead byte before a space, a line break, DEL
// or the end, four-byte sequences cut off or standing for nothing, GB18030's second euro sign,
// and UTF-8 cut off inside a character, which is no UTF-8 and so read as GBK.
const std::string kStrayBytes[] = {
    "a\xD6 b",          "\xD6\r\nx",        "\xD6\x7F",
    "end\xD6",          "\x81\x30\x81",     "\x84\x31\xA5\x30",
    "\x83\x39\xFE\x30", "\xA2\xE3\xD6\xD0", "\xE4\xB8\x96\xE7\x95",
};

QByteArray readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

class WorkbenchTest : public QObject {
    Q_OBJECT

private slots:
    void extractWrapsTheClipTextAtTheCaret() {
        Bench w;
        w.showActive();
        w.fill({"abc", "[Zub]note", "abc[Zub]note"});
        w.memo()->setText("12");
        w.memo()->selectBytes(1, 0);
        w.box("ComboBox2")->setCurrentIndex(3); // "<?php "
        w.box("ComboBox3")->setCurrentIndex(2); // "?>"
        w.selectRow(0);
        w.form->clipListView()->setFocus();
        w.extract();
        QCOMPARE(w.memoBytes(), QByteArray("1<?php abc?>2"));
        QCOMPARE(w.memo()->selectionStart(), 12u);
        QCOMPARE(w.memo()->selectionLength(), 0u);
        QTRY_VERIFY(w.memo()->hasFocus());

        // An entry that is all comment gives just the prefix and the suffix.
        w.box("ComboBox2")->setCurrentIndex(6); // "("
        w.box("ComboBox3")->setCurrentIndex(3); // ")"
        w.selectRow(1);
        w.extract();
        QCOMPARE(w.memoBytes(), QByteArray("1<?php abc?>()2"));
        // Any typed text does as well as an item, and the comment never goes in.
        w.box("ComboBox2")->setEditText(QStringLiteral("《"));
        w.box("ComboBox3")->setEditText(QStringLiteral("》"));
        w.selectRow(2);
        w.extract();
        QCOMPARE(w.memoBytes(),
                 "1<?php abc?>()" + QByteArray::fromStdString(cp936(u"《abc》")) + "2");
        QVERIFY(w.messages().isEmpty());
    }

    void extractReplacesTheSelection() {
        Bench w;
        w.fill({"abc"});
        w.memo()->setText("one two three");
        w.memo()->selectBytes(4, 3);
        w.selectRow(0);
        // From the clip list's context menu.
        w.form->CheckListBox1ContextPopup();
        w.form->findChild<QAction*>("T2")->trigger();
        QCOMPARE(w.memoBytes(), QByteArray("one abc three"));
        QCOMPARE(w.memo()->selectionStart(), 7u);
        // Undone as one step.
        w.memo()->undo();
        QCOMPARE(w.memoBytes(), QByteArray("one two three"));
    }

    void extractWithoutASelectionChangesNothing() {
        Bench w;
        w.showActive();
        w.fill({"abc"});
        w.memo()->setText("text");
        w.form->clipListView()->setFocus();
        QTRY_VERIFY(w.form->clipListView()->hasFocus());
        w.extract();
        QCOMPARE(w.memoBytes(), QByteArray("text"));
        QVERIFY(w.form->clipListView()->hasFocus());
    }

    void extractTouchesNothingButTheWorkbenchAndTheSearch() {
        Bench w;
        w.fill({"abc", "ab"});
        w.list().setChecked(1, true);
        w.form->editBox()->setTextByProgram("edit");
        const int writes = w.sim.clipboard.writeCount();
        w.selectRow(1);
        w.extract();
        // "ab" went in; the word-prefix search then chose the first entry beginning with it.
        QCOMPARE(w.memoBytes(), QByteArray("ab"));
        QCOMPARE(w.selection(), Row(0));
        QCOMPARE(w.panel(0), QStringLiteral("1/2"));
        QCOMPARE(w.entries(), Entries({"abc", "ab"}));
        QCOMPARE(w.checks(), Checks({false, true}));
        QCOMPARE(w.sim.clipboard.writeCount(), writes);
        QCOMPARE(w.form->editBox()->text(), std::string("edit"));
    }

    void typingSelectsTheFirstEntryBeginningWithTheWord() {
        Bench w;
        w.showActive();
        w.fill({"Apple", "abc"});
        w.type(QStringLiteral("x\n"));
        QCOMPARE(w.selection(), Row(0));
        w.selectRow(1);
        w.type(QStringLiteral("a"));
        QCOMPARE(w.selection(), Row(0)); // 'Apple': case is ignored
        w.type(QStringLiteral("b"));
        QCOMPARE(w.selection(), Row(1));
        QCOMPARE(w.panel(0), QStringLiteral("2/2"));
        // A space ends the word and selects the first entry.
        w.type(QStringLiteral(" "));
        QCOMPARE(w.selection(), Row(0));
    }

    void theWholeEntryIsComparedWithoutCase() {
        Bench w;
        w.showActive();
        w.fill({"abc", "ab[Zub]x"});
        w.type(QStringLiteral("\nAB[z"));
        QCOMPARE(w.selection(), Row(1));
        QCOMPARE(w.panel(2), QStringLiteral("x"));
    }

    void backspaceBehindTheWordStartSelectsTheFirstEntry() {
        Bench w;
        w.showActive();
        w.fill({"first", "x", "xy"});
        w.type(QStringLiteral("x "));
        w.type(QStringLiteral("xy"));
        QCOMPARE(w.selection(), Row(2));
        w.key(Qt::Key_Backspace);
        QCOMPARE(w.selection(), Row(1)); // "x"
        w.key(Qt::Key_Backspace);        // right after the space again
        QCOMPARE(w.selection(), Row(0));
        w.selectRow(2);
        w.key(Qt::Key_Backspace); // behind the word start: the word is empty, not "x"
        QCOMPARE(w.selection(), Row(0));
        QCOMPARE(w.memoBytes(), QByteArray("x"));
    }

    void aWordNobodyBeginsWithKeepsTheSelectionButRefreshesTheDisplay() {
        Bench w;
        w.showActive();
        w.fill({"a[Zub]one", "b"});
        w.selectRow(0);
        QCOMPARE(w.panel(2), QStringLiteral("one"));
        w.list().rewrite(0, "a[Zub]two"); // shown only once the display runs again
        w.type(QStringLiteral("q"));
        QCOMPARE(w.selection(), Row(0));
        QCOMPARE(w.panel(2), QStringLiteral("two"));
    }

    void anEmptyListShowsReady() {
        Bench w;
        w.showActive();
        w.type(QStringLiteral("abc\n"));
        QCOMPARE(w.selection(), std::nullopt);
        QCOMPARE(w.panel(0), QStringLiteral("就绪"));
    }

    void newEmptiesTheWorkbenchTheEditBoxAndTheClipboard() {
        Bench w;
        w.fill({"first", "second[Zub]note"});
        w.selectRow(1);
        emit w.form->clipListView()->doubleClicked(); // recall: clipboard, edit box, recent list
        w.memo()->setText("text\r\nmore");
        w.selectRow(1);
        w.action("Action15")->trigger(); // automatic capture hears of the clipboard change
        const int writes = w.sim.clipboard.writeCount();
        QSignalSpy changes(w.memo(), &WorkbenchEdit::changed);
        ImagePane* pane = w.form->imagePane();
        QImage picture(2000, 1500, QImage::Format_RGB32);
        picture.fill(Qt::red);
        pane->setPicture(Picture::fromBitmap(picture, 24));
        pane->FormResize();
        QVERIFY(pane->scrollBar1()->maximum() > 0);

        w.action("Action10")->trigger();
        // The image pane is empty, its picture control 0 × 0 and its bars at 0 of 0.
        QVERIFY(pane->picture().isEmpty());
        QCOMPARE(pane->image1()->size(), QSize(0, 0));
        for (QScrollBar* bar : {pane->scrollBar1(), pane->scrollBar2()}) {
            QCOMPARE(bar->maximum(), 0);
            QCOMPARE(bar->value(), 0);
        }
        QCOMPARE(w.memoBytes(), QByteArray());
        QCOMPARE(w.form->editBox()->text(), std::string());
        QVERIFY(w.form->editBox()->recent().items().empty());
        QCOMPARE(w.box("ComboBox1")->count(), 0);
        QVERIFY(!w.sim.clipboard.text().has_value());
        QCOMPARE(w.sim.clipboard.writeCount(), writes + 1);
        // Not a change of the workbench: the search did not run (it would have chosen row 0).
        QCOMPARE(changes.count(), 0);
        QCOMPARE(w.selection(), Row(1));
        QCOMPARE(w.entries(), Entries({"first", "second[Zub]note"}));
        QVERIFY(w.messages().isEmpty());
        // Nothing to undo back into.
        QVERIFY(!w.memo()->document()->isUndoAvailable());
    }

    void newWithTheClipboardHeldStopsThereAndSaysSo() {
        Bench w;
        w.memo()->setText("text");
        w.form->editBox()->setTextByProgram("edit");
        w.sim.clipboard.setOtherProgramText("held");
        w.sim.clipboard.holdOpen(true);
        w.action("Action10")->trigger();
        QCOMPARE(w.messages(), QStringList({"Cannot open clipboard."}));
        // What came before the failure stays done.
        QCOMPARE(w.memoBytes(), QByteArray());
        QCOMPARE(w.form->editBox()->text(), std::string());
        w.sim.clipboard.holdOpen(false);
        QCOMPARE(w.sim.clipboard.text(), std::optional<std::string>("held"));
    }

    void documentsOpenWithCrLfLineBreaksAndUpToTheFirstNul() {
        Bench w;
        w.fill({"zz", "line"});
        const fs::path path = w.programFolder() / "unix.txt";
        writeFile(path, std::string("line one\nline two\n\0hidden", 26));
        QSignalSpy changes(w.memo(), &WorkbenchEdit::changed);
        w.sim.dialogs.answerOpenFile(path);
        w.action("Action12")->trigger();
        QCOMPARE(w.memoBytes(), QByteArray("line one\r\nline two\r\n"));
        QCOMPARE(w.memo()->document()->blockCount(), 3);
        QCOMPARE(w.memo()->selectionStart(), 0u);
        // The search ran once: the caret at the start makes the word the first byte, "l".
        QCOMPARE(changes.count(), 1);
        QCOMPARE(w.selection(), Row(1));

        // The same file again is no change; another one is.
        w.selectRow(0);
        w.sim.dialogs.answerOpenFile(path);
        w.action("Action12")->trigger();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(w.selection(), Row(0));
        w.sim.dialogs.answerOpenFile(std::nullopt); // cancelled
        w.action("Action12")->trigger();
        QCOMPARE(changes.count(), 1);

        // Saved, it has CR LF.
        const fs::path saved = w.programFolder() / "saved.txt";
        w.sim.dialogs.answerSaveFile(saved);
        w.action("Action13")->trigger();
        QCOMPARE(readFile(saved), QByteArray("line one\r\nline two\r\n"));
        QVERIFY(w.messages().isEmpty());

        const FileDialogOptions& open = w.sim.dialogs.openFileCalls().front();
        const FileDialogOptions& save = w.sim.dialogs.saveFileCalls().front();
        for (const FileDialogOptions* options : {&open, &save}) {
            QCOMPARE(options->filter, QStringLiteral("所有文档(*.*)|*.*"));
            QCOMPARE(options->title, QString());
            QCOMPARE(options->initialFolder, QString());
            QCOMPARE(options->defaultExtension, QString());
        }
        QVERIFY(save.confirmOverwrite);
    }

    void bytesThatAreNoCharacterSurviveOpenSaveAndExtract() {
        Bench w;
        const fs::path path = w.programFolder() / "stray.txt";
        const fs::path saved = w.programFolder() / "saved.txt";
        for (const std::string& bytes : kStrayBytes) {
            writeFile(path, bytes);
            w.sim.dialogs.answerOpenFile(path);
            w.action("Action12")->trigger();
            QCOMPARE(w.memoBytes(), QByteArray::fromStdString(bytes));
            QCOMPARE(w.memo()->size(), bytes.size());
            w.sim.dialogs.answerSaveFile(saved);
            w.action("Action13")->trigger();
            QCOMPARE(readFile(saved), QByteArray::fromStdString(bytes));

            w.action("Action10")->trigger();
            w.list().clear();
            w.fill({bytes + "[Zub]note"});
            w.selectRow(0);
            w.extract();
            QCOMPARE(w.memoBytes(), QByteArray::fromStdString(bytes));
        }
        QVERIFY(w.messages().isEmpty());
    }

    void anyDocumentComesBackFromOpenAndSaveByteForByte() {
        Bench w;
        const fs::path path = w.programFolder() / "any.txt";
        const fs::path saved = w.programFolder() / "saved.txt";
        std::mt19937 random(24);
        int utf8 = 0;
        for (int i = 0; i < 300; ++i) {
            const std::string bytes = i % 2 ? randomBytes(random) : randomUtf8(random);
            writeFile(path, bytes);
            w.sim.dialogs.answerOpenFile(path);
            w.action("Action12")->trigger();
            if (w.panel(5) == QStringLiteral("UTF-8")) ++utf8;
            w.sim.dialogs.answerSaveFile(saved);
            w.action("Action13")->trigger();
            QCOMPARE(readFile(saved), QByteArray::fromStdString(bytes));
        }
        // Both kinds of document were among them.
        QVERIFY(utf8 > 100 && utf8 < 200);
        QVERIFY(w.messages().isEmpty());
    }

    void aDocumentEditedAtOnePlaceChangesThereOnly() {
        Bench w;
        w.showActive();
        QCOMPARE(w.panel(5), QStringLiteral("GBK"));
        const struct {
            std::string file;
            QString encoding;
            std::uint64_t caret; // in the code page
            QString typed;
            std::string expected;
        } documents[] = {
            // 中文测试 你好，世界 abc in UTF-8: 们 goes in after 你好.
            {"\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95\r\n\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC"
             "\x8C\xE4\xB8\x96\xE7\x95\x8C\r\nabc\r\n",
             "UTF-8", 14, "们",
             "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95\r\n\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xBB"
             "\xAC\xEF"
             "\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C\r\nabc\r\n"},
            // UTF-8 with a byte-order mark and LF line breaks: a new line after the first.
            {"\xEF\xBB\xBF\xE7\xAC\xAC\xE4\xB8\x80\n\xE7\xAC\xAC\xE4\xBA\x8C\n", "UTF-8", 4, "\nx",
             "\xEF\xBB\xBF\xE7\xAC\xAC\xE4\xB8\x80\nx\n\xE7\xAC\xAC\xE4\xBA\x8C\n"},
            // GBK (会议定在下周三下午。) with a lead byte left at its end: 两点 goes in.
            {cp936(u"会议定在下周三下午。\r\n") + "\xD6", "GBK", 18, "两点",
             cp936(u"会议定在下周三下午两点。\r\n") + "\xD6"},
        };
        const fs::path path = w.programFolder() / "document.txt";
        for (const auto& d : documents) {
            writeFile(path, d.file);
            w.sim.dialogs.answerOpenFile(path);
            w.action("Action12")->trigger();
            QCOMPARE(w.panel(5), d.encoding);
            // Saved unedited, it is what it was.
            w.sim.dialogs.answerSaveFile(path);
            w.action("Action13")->trigger();
            QCOMPARE(readFile(path), QByteArray::fromStdString(d.file));
            w.memo()->selectBytes(d.caret, 0);
            w.type(d.typed);
            w.sim.dialogs.answerSaveFile(path);
            w.action("Action13")->trigger();
            QCOMPARE(readFile(path), QByteArray::fromStdString(d.expected));
        }
        // A new document is in the code page again.
        w.action("Action10")->trigger();
        QCOMPARE(w.panel(5), QStringLiteral("GBK"));
        w.type(QStringLiteral("中"));
        w.sim.dialogs.answerSaveFile(path);
        w.action("Action13")->trigger();
        QCOMPARE(readFile(path), QByteArray("\xD6\xD0"));
        QVERIFY(w.messages().isEmpty());
    }

    void typedLinesAreSavedAsTheirBytes() {
        Bench w;
        w.showActive();
        w.type(QStringLiteral("a\nb"));
        const fs::path path = w.programFolder() / "typed.txt";
        w.sim.dialogs.answerSaveFile(path);
        w.action("Action13")->trigger();
        QCOMPARE(readFile(path), QByteArray("a\r\nb"));

        w.sim.dialogs.answerSaveFile(std::nullopt);
        w.memo()->setText("changed");
        w.action("Action13")->trigger();
        QCOMPARE(readFile(path), QByteArray("a\r\nb"));
    }

    void documentsThatCannotBeOpenedLeaveTheWorkbenchAlone() {
        Bench w;
        w.memo()->setText("kept");
        const fs::path missing = w.programFolder() / "missing.txt";
        w.sim.dialogs.answerOpenFile(missing);
        w.action("Action12")->trigger();
        QCOMPARE(w.messages(), QStringList({missingFileMessage("open", missing)}));

        QCOMPARE(w.memoBytes(), QByteArray("kept"));

        const fs::path readOnlyFolder = w.programFolder() / "missing-folder" / "x.txt";
        w.sim.dialogs.answerSaveFile(readOnlyFolder);
        w.action("Action13")->trigger();
        QVERIFY(w.messages().last().startsWith(QStringLiteral("Cannot create file \"")));
    }

    void previewWritesIntoAHiddenFolderAndOpensTheFile() {
        Bench w;
        w.memo()->setText(cp936(u"预览\r\n"));
        w.action("Action14")->trigger();
        const fs::path folder = w.programFolder() / "~temp";
        QCOMPARE(readFile(folder / "~temp.txt"), QByteArray::fromStdString(cp936(u"预览\r\n")));
        QVERIFY(w.sim.files.isHidden(folder));
        QCOMPARE(w.sim.files.currentFolder(), w.programFolder());
        QCOMPARE(w.sim.shell.requests(), std::vector<std::string>{(folder / "~temp.txt").string()});

        // A second Preview replaces the file without a question; the folder is hidden once.
        w.memo()->setText("second");
        w.box("ComboBox5")->setCurrentIndex(0); // ".htm"
        w.action("Action14")->trigger();
        w.action("Action14")->trigger();
        QCOMPARE(readFile(folder / "~temp.htm"), QByteArray("second"));
        QCOMPARE(w.sim.files.setHiddenCount(), 1);
        QCOMPARE(w.sim.shell.requests().back(), (folder / "~temp.htm").string());
        QVERIFY(w.sim.dialogs.pendingAnswers() == 0 && w.messages().isEmpty());
    }

    void aVisibleTempFolderStaysVisible() {
        Bench w;
        fs::create_directory(w.programFolder() / "~temp");
        w.memo()->setText("x");
        w.action("Action14")->trigger();
        QVERIFY(!w.sim.files.isHidden(w.programFolder() / "~temp"));
        QCOMPARE(w.sim.files.setHiddenCount(), 0);
        QCOMPARE(readFile(w.programFolder() / "~temp" / "~temp.txt"), QByteArray("x"));
    }
};

QTEST_MAIN(WorkbenchTest)
#include "workbench_test.moc"
