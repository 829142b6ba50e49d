#pragma once

#include "platform/atom_table.h"
#include "platform/hot_key.h"

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <map>

namespace zub {

// Global hot keys on Wayland, where no client may take a key for itself: through the desktop's
// GlobalShortcuts portal (org.freedesktop.portal.GlobalShortcuts, offered by KDE Plasma), which
// asks the user to confirm the key and then tells the program of each press. Where the portal is
// missing, registration fails, as it does on X11 when another program holds the key; a key of
// the desktop bound to `zub --capture` does the job there.
class PortalHotKey : public QObject, public HotKey {
    Q_OBJECT
public:
    PortalHotKey();
    ~PortalHotKey() override;

    std::uint16_t addAtom(std::string_view name) override { return m_atoms.add(name); }
    // True once the portal has been asked: it answers later, and the key works from then on.
    bool registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                        Handler handler) override;
    void unregisterHotKey(std::uint16_t id) override;

    // Whether the session bus offers the portal.
    static bool portalPresent();

private slots:
    void sessionCreated(uint response, const QVariantMap& results);
    void shortcutsBound(uint response, const QVariantMap& results);
    void activated(const QDBusMessage& message);

private:
    struct Registered {
        unsigned modifiers;
        unsigned key;
        Handler handler;
    };

    // Calls a method that answers through a Request object, whose Response goes to `slot`.
    bool request(const QString& method, QList<QVariant> arguments, const char* slot);
    void bindShortcuts();

    AtomTable m_atoms;
    std::map<std::uint16_t, Registered> m_registered;
    QString m_session;
    bool m_creatingSession = false;
    int m_token = 0;
};

} // namespace zub
