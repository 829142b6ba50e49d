#pragma once

#include <string>
#include <string_view>

namespace zub::win32 {

// Windows only: the system's wide strings (UTF-16) and the program's code-page bytes, through
// the text layer, whatever the system's own ANSI code page is.
std::wstring wideFromCodePage(std::string_view bytes);
std::string codePageFromWide(std::wstring_view text);

// UTF-8, the encoding of the messages the user is shown (zub::Error's text).
std::string utf8FromWide(std::wstring_view text);

// The system's text for a Windows error number, without its closing line break.
std::string systemErrorText(unsigned long error);

} // namespace zub::win32
