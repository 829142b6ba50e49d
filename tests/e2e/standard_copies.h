#pragma once

// The copies that the Linux and the Windows end-to-end tests both make, and the list document
// that saving what they captured must give, byte for byte, on either system.

#include <string>
#include <vector>

namespace zub::e2e {

// As another program copies them (UTF-8).
inline const std::vector<std::string> kStandardCopies = {
    "plain ascii", "中文剪贴板", "😀 four bytes", "a tab\there", "note[Zub]注释",
};

// The code-page bytes of each, CR LF after each.
inline const std::string kStandardCopiesDocument = "plain ascii\r\n"
                                                   "\xD6\xD0\xCE\xC4\xBC\xF4\xCC\xF9\xB0\xE5\r\n"
                                                   "\x94\x39\xFC\x36 four bytes\r\n"
                                                   "a tab\there\r\n"
                                                   "note[Zub]\xD7\xA2\xCA\xCD\r\n";

} // namespace zub::e2e
