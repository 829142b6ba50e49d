#pragma once

#include "app/command_line.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace zub {

// One running program per desktop session answers the requests of later starts (`zub --capture`
// for a key binding of the desktop, `zub --show`), over a local socket that only the same user
// can reach: it lies in a folder of the user's own, readable by nobody else, under
// $XDG_RUNTIME_DIR (or, without one, under the system's temporary folder), and is named after
// the session's display. Plain POSIX sockets: Qt's network module would cost every start its
// loading and that of the libraries it brings.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(InstanceRequest)>;

    explicit SingleInstance(Handler handler, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Starts answering, unless another program of this session answers already (false then).
    bool listen();

    // Hands `request` to the program running in this session and waits for its answer; false
    // when none runs (or it did not answer within a few seconds).
    static bool ask(InstanceRequest request);
    // Where the socket lies; empty when no private folder could be had.
    static QString socketPath();

private:
    struct Caller;
    void accept();
    void read(Caller* caller);
    void hangUp(Caller* caller);

    Handler m_handler;
    QString m_path;
    int m_listener = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<std::unique_ptr<Caller>> m_callers;
};

} // namespace zub
