#include "platform/qt/qt_paths.h"

#include <QFile>

namespace zub {

std::filesystem::path pathFromQString(const QString& name) {
#ifdef _WIN32
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

} // namespace zub
