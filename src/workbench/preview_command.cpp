#include "workbench/preview_command.h"

#include "platform/shell.h"
#include "platform/system_files.h"
#include "text/codepage.h"
#include "workbench/workbench_document.h"

#include <exception>
#include <string>

namespace zub {
namespace {

constexpr std::u16string_view kPreviewName = u"~temp";

// The path as the shell takes it, in code-page bytes. A folder name that is not UTF-8 cannot be
// told in any other encoding, so it goes as it is.
std::string shellTarget(const std::filesystem::path& file) {
    try {
        return cp::fromUtf16(file.u16string());
    } catch (const std::exception&) {
        return file.string();
    }
}

} // namespace

std::filesystem::path previewFolder(const std::filesystem::path& programFolder) {
    return programFolder / std::u16string(kPreviewName);
}

std::filesystem::path previewFile(const std::filesystem::path& programFolder,
                                  std::string_view format) {
    // The format's text is part of the file's name, joined to it without a separator.
    std::u16string name(kPreviewName);
    name += cp::toUtf16(format);
    return previewFolder(programFolder).native() + std::filesystem::path::preferred_separator +
           std::filesystem::path(name).native();
}

void preview(SystemFiles& files, Shell& shell, const std::filesystem::path& programFolder,
             std::string_view format, std::string_view text) {
    files.setCurrentFolder(programFolder);
    const std::filesystem::path folder = previewFolder(programFolder);
    // Only a folder made here is hidden: one the user made or showed again keeps its look.
    if (!files.isFolder(folder) && files.createFolder(folder)) files.setHidden(folder);
    const std::filesystem::path file = previewFile(programFolder, format);
    writeWorkbenchDocument(file, text);
    shell.open(shellTarget(file));
}

} // namespace zub
