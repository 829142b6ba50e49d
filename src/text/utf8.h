#pragma once

// UTF-8 beside the code page: for files and addresses that the rest of the world writes in
// UTF-8. Inside the program text stays in the code page; these convert at the edges.

#include <string>
#include <string_view>

namespace zub::utf8 {

// Whether the bytes are well-formed UTF-8: shortest forms only, no surrogates, nothing above
// U+10FFFF.
bool isValid(std::string_view bytes);

// Whether the bytes hold at least one character of more than one byte (the rest being ASCII
// or not is not looked at).
bool hasMultiByte(std::string_view bytes);

// Well-formed UTF-8 as UTF-16; bytes that are not well-formed UTF-8 become '?' each.
std::u16string toUtf16(std::string_view utf8);

// Well-formed UTF-8 in the code page. Every character has code-page bytes, so nothing is lost;
// bytes that are not well-formed UTF-8 become '?' each.
std::string toCodePage(std::string_view utf8);

// What becomes of a byte that is no character of the code page: kept as it is (a file gets back
// what it held, though it is then no longer well-formed UTF-8), or replaced by U+FFFD (for a
// web address, which must be well-formed).
enum class StrayBytes { Keep, Replace };

// Code-page text in UTF-8; toCodePage undoes it for text without stray bytes.
std::string fromCodePage(std::string_view bytes, StrayBytes stray);

} // namespace zub::utf8
