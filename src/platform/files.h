#pragma once

#include "platform/error.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace zub::files {

// The full path as the user is shown it in messages.
std::string displayPath(const std::filesystem::path& path);

// The messages every reader and writer of files reports in: "Cannot open file "<full path>".
// <system text>" and "Cannot create file "<full path>". <system text>".
Error openError(const std::filesystem::path& path, int error);
Error createError(const std::filesystem::path& path, int error);

// The whole file. Only plain files are read: a directory, a device or a FIFO is refused without
// waiting on it. Throws openError(); a file too large for memory gives the text of ENOMEM.
std::string readWholeFile(const std::filesystem::path& path);

// The file's bytes before its first NUL byte, read no further: for documents whose text ends
// there. A sparse file costs only its data, however large it claims to be. Throws as
// readWholeFile does.
std::string readTextBeforeNul(const std::filesystem::path& path);
// The same, reading no further than `limit` + 1 bytes: a caller that can take at most `limit`
// bytes sees a longer text as longer without the rest being read.
std::string readUntilNul(const std::filesystem::path& path, std::size_t limit);

// Replaces the contents of a plain file with `bytes`, or creates it. Where the folder lets us,
// through a temporary file in it that is flushed and then renamed over the target, keeping the
// target's permissions, so that a crash or a full disk leaves either the old file or the new one.
// A writable file in a folder we may not write, and a file with more than one name (hard links),
// is written in place instead, after its room has been claimed. Throws createError(); no
// temporary file is left behind. Temporary files that earlier runs left in the folder are
// removed first (see removeStaleTemporaryFiles()).
void writeWholeFile(const std::filesystem::path& path, std::string_view bytes);

// Removes from `folder` the temporary files that saves of earlier runs of the program left
// there when they were cut short (the program killed, the machine off): files of the program's
// own naming pattern only, owned by the user, last written before this run began and not in use
// by a save of another run. Never throws.
void removeStaleTemporaryFiles(const std::filesystem::path& folder);

} // namespace zub::files
