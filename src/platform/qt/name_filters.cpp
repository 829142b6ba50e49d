#include "platform/qt/name_filters.h"

#include <QRegularExpression>

namespace zub {
namespace {

// Windows patterns ("*.a;*.b", "*.*") as Qt's list of patterns; ';' and blanks both separate.
QStringList qtPatterns(const QString& windowsPatterns) {
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    QStringList patterns = windowsPatterns.split(separators, Qt::SkipEmptyParts);
    for (QString& p : patterns) {
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
    }
    patterns.removeDuplicates();
    return patterns;
}

QString filterEntry(const QString& description, const QString& windowsPatterns) {
    const QStringList patterns = qtPatterns(windowsPatterns);
    if (patterns.isEmpty()) return {};
    const QString shown = description.trimmed().isEmpty() ? windowsPatterns : description;
    return shown + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

QStringList toQtNameFilters(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList filters;
    // A description left without its patterns at the end is not an entry.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString entry = filterEntry(parts[i], parts[i + 1]);
        if (!entry.isEmpty()) filters.append(entry);
    }
    return filters;
}

} // namespace zub
