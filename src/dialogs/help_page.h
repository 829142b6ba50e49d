#pragma once

#include <QString>
#include <QStringList>

namespace zub {

// The topics of the help page, in the order the page numbers them.
const QStringList& helpTopics();

// The whole help page, lines separated by '\n': the title, the numbered topics and the
// signature, each set off by the blank lines and indents the page is laid out with.
QString helpPageText();

} // namespace zub
