#pragma once

// Workbench documents: any text file, read and written whole. The text's bytes go out exactly,
// without a byte-order mark or a closing line break of their own; coming in, every kind of line
// break becomes CR LF and the first NUL ends the text. A UTF-8 file is the exception: it is
// read into the code page and written back as it came.

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

// How a document's file holds the workbench text. A document is in the code page unless it is
// UTF-8 (Linux writes most text files so): then only its bytes are UTF-8, and the text in the
// workbench is in the code page like every other, converted back when the document is saved.
struct DocumentFormat {
    enum class Encoding { CodePage, Utf8 };
    Encoding encoding = Encoding::CodePage;
    // UTF-8 only: the file began with a byte-order mark, and its line breaks were all lone LFs.
    bool byteOrderMark = false;
    bool lfLineBreaks = false;

    bool operator==(const DocumentFormat&) const = default;
};

// The encoding a document shows in the status bar: "GBK" or "UTF-8".
const char* encodingName(const DocumentFormat& format);

struct WorkbenchDocument {
    std::string text;
    DocumentFormat format;
};

// A document from a file's bytes. It is UTF-8 when it begins with UTF-8's byte-order mark and
// the rest is well-formed UTF-8, or when it is well-formed UTF-8 that reads better as UTF-8 than
// in the code page (encoding::looksLikeUtf8); in the code page otherwise, exactly as
// workbenchText() reads it. Either way the NUL and line-break rules hold for the text.
WorkbenchDocument workbenchDocument(std::string_view fileBytes);

// The bytes a file gets for the text in that format: the text itself for the code page; for
// UTF-8 the text in UTF-8 (bytes that are no character of the code page go out unchanged), with
// the byte-order mark and the LF line breaks it was read with. So an unedited document is
// written back byte for byte, apart from what workbenchText() changed in it.
std::string documentBytes(std::string_view text, const DocumentFormat& format);

// Reads a document. Throws zub::Error "Cannot open file ..." when it cannot be read, and
// "Text exceeds memo capacity" when its file or its text is longer than `capacity` bytes; a file
// of any size whose NUL comes early enough is fine, and is read only up to that NUL.
WorkbenchDocument readWorkbenchDocument(const std::filesystem::path& path,
                                        std::size_t capacity = kWorkbenchCapacity);

// Writes the text's bytes exactly, replacing the file safely. Throws zub::Error
// "Cannot create file ...".
void writeWorkbenchDocument(const std::filesystem::path& path, std::string_view text);

} // namespace zub
