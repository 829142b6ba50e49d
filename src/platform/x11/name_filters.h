#pragma once

#include <QString>
#include <QStringList>

namespace zub {

// Turns a Windows file-dialog filter ("描述|*.a;*.b|描述2|*.*") into QFileDialog name filters
// ("描述 (*.a *.b)", "描述2 (*)"). Qt takes the patterns from the parentheses at the end of each
// entry, separated by blanks, so a description that already ends in its patterns keeps its text
// and only gets the patterns in Qt's notation; any other description gets them appended. "*.*"
// means every file on Windows, also one without a dot, which is "*" for Qt. An entry without
// patterns is dropped.
QStringList toQtNameFilters(const QString& windowsFilter);

} // namespace zub
