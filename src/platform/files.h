#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace zub::files {

// The full path as the user is shown it in messages.
std::string displayPath(const std::filesystem::path& path);

// The whole file. Throws zub::Error "Cannot open file "<full path>". <system text>".
std::string readWholeFile(const std::filesystem::path& path);

// The file's bytes before its first NUL byte, reading no further than that NUL or `limit` + 1
// bytes, whichever comes first: a caller that can take at most `limit` bytes sees a longer text
// as longer without the rest being read. Throws like readWholeFile.
std::string readUntilNul(const std::filesystem::path& path, std::size_t limit);

// Replaces the file with `bytes` through a temporary file in the same folder that is flushed and
// then renamed over the target, keeping the target's permissions, so that a crash or a full disk
// leaves either the old file or the new one. Throws zub::Error
// "Cannot create file "<full path>". <system text>"; on failure the target is untouched.
void writeWholeFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace zub::files
