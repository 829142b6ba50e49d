#include "platform/io_error.h"

#include <cerrno>

namespace zub {

std::string ioErrorText(int posixError) {
    switch (posixError) {
    case ENOENT:
        return "File not found";
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return "Invalid filename";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(posixError);
    }
}

} // namespace zub
