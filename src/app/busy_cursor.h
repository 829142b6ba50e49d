#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace zub {

// Shows the wait cursor over the program's windows for as long as it lives, so that a command
// that holds the window's thread for a noticeable time says so. Restored on every way out,
// errors included.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace zub
