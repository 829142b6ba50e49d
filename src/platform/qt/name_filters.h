#pragma once

#include <QString>
#include <QStringList>

namespace zub {

// Turns a Windows file-dialog filter ("描述|*.a;*.b|描述2|*.*") into QFileDialog name filters:
// each entry is its description as the user is to see it, followed by Qt's patterns in
// parentheses ("描述2 (*)"), for a dialog with the option HideNameFilterDetails, which shows the
// description alone. So "所有文档(*.*)" reads exactly so while matching every file: "*.*" means
// every file on Windows, also one without a dot, which is "*" for Qt. An entry without patterns
// is dropped.
QStringList toQtNameFilters(const QString& windowsFilter);

} // namespace zub
