#pragma once

// Go and auto-complete on the edit box's text: open it through the shell, or search the web for
// it when the shell cannot open it; turn a bare name into a web address. Texts are code-page
// bytes; lengths are byte counts, so a Chinese character counts 2.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

class Shell;

// Only texts shorter than this are searched by Go's fallback or rewritten by auto-complete.
inline constexpr std::size_t kGoLengthBound = 40;

// The search engine's query page. The engine is told to read the query as UTF-8, and the text
// is appended percent-encoded as UTF-8, so that it arrives exactly as typed: every character
// the code page holds, GB18030's four-byte ones included, and reserved characters such as
// '&', '#', '+' or '%' that would otherwise end or change the query.
inline constexpr std::string_view kWebSearchAddress = "http://www.baidu.com/s?ie=utf-8&word=";

// The text's characters as UTF-8 with every byte but letters, digits and "-._~" written as %XX
// (upper-case hex), ready to be a query value. Bytes that are no character of the code page
// arrive as U+FFFD.
std::string percentEncodedQuery(std::string_view text);

// The web-search address followed by the encoded text.
std::string webSearchAddress(std::string_view text);

// "http://www." + text + ".com" for a non-empty text shorter than kGoLengthBound; nothing for
// any other text. The text is not looked at otherwise: a head or tail it already has is added
// again.
std::optional<std::string> autoCompleted(std::string_view text);

// Asks the shell to open the text as it is, whole; when the shell cannot and the text is shorter
// than kGoLengthBound, opens a web search for it instead. Whether that search opened is not
// looked at: Go tells the user nothing either way.
void go(Shell& shell, std::string_view text);

} // namespace zub
