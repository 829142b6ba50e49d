#pragma once

// What the desktop shell makes of a text it is asked to open. Plain C++ on file-system bytes
// (UTF-8), apart from the shell's process handling, so that every rule can be tested on its own.

#include <filesystem>
#include <string>
#include <string_view>

namespace zub {

struct ShellTarget {
    enum class Kind {
        Unknown,  // nothing to open: the shell fails
        Url,      // a web or mail address, or any other URL with a scheme: for xdg-open
        Document, // an existing file or folder that is no program: for xdg-open
        Program,  // an executable file: started itself, with no arguments
    };
    Kind kind = Kind::Unknown;
    // What to hand on: the URL as given, or the absolute path of the document or program.
    std::string argument;
};

// Whether `text` is a URL with a scheme ("http:", "mailto:", "file:"...): a scheme of two or
// more letters, digits, '+', '-' or '.', starting with a letter, then a colon and more, and no
// white space or control character anywhere (a URL cannot carry them raw, and a sentence such
// as "note: buy milk" is no address). One-letter schemes are left out: "c:" is a drive.
bool hasUrlScheme(std::string_view text);

// Classifies `text` as a whole, spaces included. A name with a slash is a path, relative to
// `currentFolder`; a name without one is looked up in `searchPath` (a colon-separated list, as
// in PATH, whose empty and relative entries are skipped so that a program in whatever folder
// happens to be current never starts by its bare name), and otherwise stands for that name in
// the current folder. An executable regular file is a program, anything else that exists is a
// document.
ShellTarget classifyShellTarget(std::string_view text, std::string_view searchPath,
                                const std::filesystem::path& currentFolder);

} // namespace zub
