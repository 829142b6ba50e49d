#pragma once

// Workbench documents: any text file, read and written whole. The text's bytes go out exactly,
// without a byte-order mark or a closing line break of their own; coming in, every kind of line
// break becomes CR LF and the first NUL ends the text.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace zub {

// The most the workbench takes from a document, in bytes after the line breaks are made CR LF.
// The editor holds text as UTF-16 with its own per-line bookkeeping, about three to four times
// the bytes; at 64 MiB that is a quarter of a gigabyte, and typing, scrolling and the per-key
// word search stay quick. Beyond it a document is refused rather than freezing the program.
inline constexpr std::size_t kWorkbenchCapacity = std::size_t{64} << 20;

// The document's text from a file's bytes: everything from the first NUL on is dropped, and CR
// LF, a lone CR and a lone LF each become CR LF (so LF CR is two line breaks).
std::string workbenchText(std::string_view fileBytes);

// Reads a document. Throws zub::Error "Cannot open file ..." when it cannot be read, and
// "Text exceeds memo capacity" when its text is longer than `capacity` bytes; a file of any size
// whose NUL comes early enough is fine, and is read only up to that NUL.
std::string readWorkbenchDocument(const std::filesystem::path& path,
                                  std::size_t capacity = kWorkbenchCapacity);

// Writes the text's bytes exactly, replacing the file safely. Throws zub::Error
// "Cannot create file ...".
void writeWorkbenchDocument(const std::filesystem::path& path, std::string_view text);

} // namespace zub
