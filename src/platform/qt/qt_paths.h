#pragma once

#include <QString>

#include <filesystem>

namespace zub {

// A file name from a Qt widget as a path, whole: in the file system's encoding on Linux, as wide
// characters on Windows, where narrow names would go through the ANSI code page and lose every
// character it lacks.
std::filesystem::path pathFromQString(const QString& name);

} // namespace zub
