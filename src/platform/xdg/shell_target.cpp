#include "platform/xdg/shell_target.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>

namespace zub {
namespace {

namespace fs = std::filesystem;

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isSchemeCharacter(char c) {
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool isBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

bool isExecutableFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

bool pathExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

ShellTarget classifyPath(const fs::path& path) {
    if (isExecutableFile(path)) return {ShellTarget::Kind::Program, path.string()};
    if (pathExists(path)) return {ShellTarget::Kind::Document, path.string()};
    return {};
}

} // namespace

bool hasUrlScheme(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2 || colon + 1 == text.size()) return false;
    if (!isAsciiLetter(text[0])) return false;
    const std::string_view scheme = text.substr(0, colon);
    return std::all_of(scheme.begin(), scheme.end(), isSchemeCharacter) &&
           std::none_of(text.begin(), text.end(), isBlankOrControl);
}

ShellTarget classifyShellTarget(std::string_view text, std::string_view searchPath,
                                const fs::path& currentFolder) {
    // A NUL would cut the name short on its way into the system.
    if (text.empty() || text.find('\0') != std::string_view::npos) return {};
    if (hasUrlScheme(text)) return {ShellTarget::Kind::Url, std::string(text)};

    const fs::path name{std::string(text)};
    if (text.find('/') != std::string_view::npos) {
        if (name.is_absolute()) return classifyPath(name);
        return currentFolder.empty() ? ShellTarget{} : classifyPath(currentFolder / name);
    }

    std::size_t start = 0;
    while (start <= searchPath.size()) {
        const std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
        const fs::path folder{std::string(searchPath.substr(start, end - start))};
        if (folder.is_absolute() && isExecutableFile(folder / name))
            return {ShellTarget::Kind::Program, (folder / name).string()};
        start = end + 1;
    }
    if (currentFolder.empty() || !pathExists(currentFolder / name)) return {};
    // Found only in the current folder: opened, never run.
    return {ShellTarget::Kind::Document, (currentFolder / name).string()};
}

} // namespace zub
