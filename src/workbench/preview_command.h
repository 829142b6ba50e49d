#pragma once

// Preview: the workbench text written to a fixed file in a folder "~temp" beside the program,
// then opened by the shell in whatever program the desktop has for the file's extension.

#include <filesystem>
#include <string_view>

namespace zub {

class Shell;
class SystemFiles;

// The preview folder in `programFolder`.
std::filesystem::path previewFolder(const std::filesystem::path& programFolder);

// The preview file: "~temp" followed by the preview format's text exactly as typed (".txt",
// ".htm", "txt" without a dot, or nothing), in the preview folder. The format is code-page bytes.
std::filesystem::path previewFile(const std::filesystem::path& programFolder,
                                  std::string_view format);

// Makes `programFolder` the current folder (it stays so; throws the input/output error when it
// cannot), creates the preview folder when there is none and hides it only then, writes `text` to
// the preview file (throws "Cannot create file ..." and opens nothing when that fails) and asks
// the shell to open the file, whatever it answers.
void preview(SystemFiles& files, Shell& shell, const std::filesystem::path& programFolder,
             std::string_view format, std::string_view text);

} // namespace zub
