#pragma once

// Shared pieces of the window tests: a main window on the simulated platform, and short ways to
// read what it shows.

#include "app/error_display.h"
#include "app/status_bar.h"
#include "app/tform1.h"
#include "cliplist/clip_list_view.h"
#include "platform/files.h"
#include "platform/qt/serial_worker.h"
#include "platform/sim/sim_platform.h"
#include "text/codepage.h"
#ifdef _WIN32
#include "platform/windows_text.h"

#include <windows.h>
#endif

#include <QAction>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace zub::test {

// What the window says when a file to open (`verb` "open") or to write ("create") is not there,
// or its folder is not: the reason in the words of the system the program runs on.
inline QString missingFileMessage(const char* verb, const std::filesystem::path& path) {
#ifdef _WIN32
    // A save starts with a temporary file in the folder, which fails so when there is none.
    const std::string reason = win32::systemErrorText(
        std::string_view(verb) == "open" ? ERROR_FILE_NOT_FOUND : ERROR_DIRECTORY);
#else
    const std::string reason = "No such file or directory";
#endif
    return errorMessageText("Cannot " + std::string(verb) + " file \"" + files::displayPath(path) +
                            "\". " + reason);
}

inline std::string cp936(const char16_t* text) {
    return cp::fromUtf16(text);
}

struct Window {
    SimPlatform sim;
    QTemporaryDir folder;
    std::unique_ptr<TForm1> form;

    Window() {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        sim.files.setExecutableFolder(folder.path().toStdString());
        form = std::make_unique<TForm1>(sim.services());
    }

    ClipList& list() { return form->clipList(); }
    QAction* action(const char* name) { return form->action(QString::fromLatin1(name)); }
    QString panel(int index) { return form->statusBar1()->text(index); }

    void fill(std::initializer_list<std::string> entries) {
        for (const std::string& e : entries) list().add(e);
    }
    // Entries as raw bytes, so comparisons are byte-exact and failures print readably.
    QList<QByteArray> entries() {
        QList<QByteArray> out;
        for (std::size_t i = 0; i < list().size(); ++i)
            out.push_back(QByteArray(list().text(i).data(), qsizetype(list().text(i).size())));
        return out;
    }
    QList<bool> checks() {
        QList<bool> out;
        for (std::size_t i = 0; i < list().size(); ++i) out.push_back(list().isChecked(i));
        return out;
    }
    std::optional<std::size_t> selection() { return list().selection(); }
    // The user selects row `row` with the mouse (the click runs the selection display).
    void selectRow(std::size_t row) {
        list().select(row);
        form->CheckListBox1Click();
    }
    // Lets the window's picture work end: opening, decoding what was copied and saving run off
    // the window's thread, and their results arrive through the event loop.
    bool picturesSettled() {
        auto* worker = form->findChild<SerialWorker*>(QString(), Qt::FindDirectChildrenOnly);
        return worker && QTest::qWaitFor([worker] { return !worker->isBusy(); }, 30000);
    }
    QStringList messages() {
        QStringList out;
        for (const auto& m : sim.dialogs.messages()) out.push_back(m.text);
        return out;
    }
};

// Up to 23 pieces drawn at random.
inline std::string randomText(std::mt19937& random, std::span<const std::string> pieces) {
    std::string text;
    const std::size_t count = random() % 24;
    for (std::size_t i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    return text;
}

// A random text of pieces that are hard on the crossing between the code page and the widgets:
// characters of one, two and four bytes, bytes that start none, pieces of UTF-8, and the
// four-byte codes of U+2029 and U+FDD0, which Qt's editor would take for line breaks. No line
// break, NUL or comment marker.
inline std::string randomBytes(std::mt19937& random) {
    static const std::string pieces[] = {"a",
                                         " ",
                                         "\t",
                                         "0",
                                         "\x7F",
                                         "\x80",
                                         "\xFF",
                                         "\x81",
                                         "\xD6",
                                         "\xD6\xD0",
                                         "\x81\x40",
                                         "\x81\x30",
                                         "\xA2\xE3",
                                         "\xE4\xB8\xAD",
                                         "\xC3\xA9",
                                         "\xA1\xA1",
                                         "[Zub",
                                         "\x94\x39\xFC\x36",
                                         "\x81\x36\xA6\x36",
                                         "\x84\x30\xFA\x32",
                                         "\x84\x31\x81\x30"};
    return randomText(random, pieces);
}

// The same in well-formed UTF-8, with U+2029 and a byte-order mark among it.
inline std::string randomUtf8(std::mt19937& random) {
    static const std::string pieces[] = {"a",
                                         " ",
                                         "0",
                                         "\xE4\xB8\xAD",
                                         "\xE6\x96\x87",
                                         "\xC3\xA9",
                                         "\xD0\x96",
                                         "\xF0\x9F\x98\x80",
                                         "\xE2\x80\xA9",
                                         "\xEF\xBB\xBF",
                                         "\xEF\xBC\x8C"};
    return randomText(random, pieces);
}

// Types text as a keyboard or an input method hands it over, one character a key (QTest's
// keyClicks knows only Latin-1); a line break is the Return key.
inline void typeCharacters(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length),
                            Qt::NoModifier);
        i += length - 1;
    }
}

using Entries = QList<QByteArray>;
using Checks = QList<bool>;

} // namespace zub::test
