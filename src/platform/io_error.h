#pragma once

#include <string>

namespace zub {

// The text of the input/output error raised when a folder cannot be made the current one,
// worded as the program has always worded it after the Windows error numbers: "File not found"
// (2), "Invalid filename" (3), "Too many open files" (4), "File access denied" (5), otherwise
// "I/O error <number>". Takes the POSIX errno and maps it onto those.
std::string ioErrorText(int posixError);

// The same from the Windows error number itself, which the texts were written for.
std::string ioErrorTextForWindowsError(unsigned long windowsError);

} // namespace zub
