#include "platform/io_error.h"

#include <cerrno>

namespace zub {

std::string ioErrorTextForWindowsError(unsigned long windowsError) {
    switch (windowsError) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(windowsError);
    }
}

std::string ioErrorText(int posixError) {
    switch (posixError) {
    case ENOENT:
        return ioErrorTextForWindowsError(2);
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ioErrorTextForWindowsError(3);
    case EMFILE:
    case ENFILE:
        return ioErrorTextForWindowsError(4);
    case EACCES:
    case EPERM:
        return ioErrorTextForWindowsError(5);
    default:
        return "I/O error " + std::to_string(posixError);
    }
}

} // namespace zub
