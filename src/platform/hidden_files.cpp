#include "platform/hidden_files.h"

#include "platform/files.h"

#include <exception>
#include <string>
#include <string_view>
#include <system_error>

namespace zub::hidden_files {
namespace {

std::filesystem::path listFile(const std::filesystem::path& item) {
    return item.parent_path() / ".hidden";
}

bool contains(std::string_view lines, std::string_view name) {
    while (!lines.empty()) {
        const std::size_t end = lines.find('\n');
        std::string_view line = lines.substr(0, end);
        // A list written on Windows may end its lines in CR LF.
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line == name) return true;
        if (end == std::string_view::npos) break;
        lines.remove_prefix(end + 1);
    }
    return false;
}

} // namespace

bool isListed(const std::filesystem::path& item) {
    const std::string name = item.filename().string();
    if (name.empty()) return false;
    std::error_code error;
    if (!std::filesystem::is_regular_file(listFile(item), error)) return false;
    try {
        return contains(files::readWholeFile(listFile(item)), name);
    } catch (const std::exception&) {
        return false;
    }
}

bool list(const std::filesystem::path& item) {
    const std::string name = item.filename().string();
    if (name.empty() || name.find('\n') != std::string::npos) return false;
    const std::filesystem::path file = listFile(item);
    try {
        std::string lines;
        std::error_code error;
        if (std::filesystem::exists(file, error)) lines = files::readWholeFile(file);
        if (contains(lines, name)) return true;
        if (!lines.empty() && lines.back() != '\n') lines += '\n';
        lines += name;
        lines += '\n';
        files::writeWholeFile(file, lines);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace zub::hidden_files
