#pragma once

// List documents (.zub): every entry as its bytes followed by CR LF, nothing else.

#include "cliplist/entry_store.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

class ClipList;

// The lines of document bytes. The first NUL ends the text; CR, LF and CR LF each end a line; a
// line break at the very end adds no empty entry. Documents of 4 GiB or more are refused by
// the readers below, so offsets fit.
LineSpans splitListDocument(std::string_view bytes);

// The same lines as strings of their own.
std::vector<std::string> parseListDocument(std::string_view bytes);

// The bytes of a document holding `list`'s entries in order.
std::string formatListDocument(const ClipList& list);

// Reads the file's text, which ends at its first NUL. Throws zub::Error
// "Cannot open file "<full path>". <system text>", with the text of ENOMEM for a file too large
// for memory.
std::vector<std::string> readListDocument(const std::filesystem::path& path);

// Loads the file into `list`, replacing its entries; when reading fails, running out of memory
// included, the list is left as it was.
void loadListDocument(const std::filesystem::path& path, ClipList& list);

// Writes `list` to the file so that the file is either the old one or the complete new one,
// never a partial write. Throws zub::Error "Cannot create file "<full path>". <system text>".
void saveListDocument(const std::filesystem::path& path, const ClipList& list);

} // namespace zub
