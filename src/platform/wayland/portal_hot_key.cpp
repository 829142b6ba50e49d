#include "platform/wayland/portal_hot_key.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>

namespace zub {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

// One shortcut as the portal takes it: an id and its properties, D-Bus type (sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcut& shortcut) {
    out.beginStructure();
    out << shortcut.id << shortcut.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcut& shortcut) {
    in.beginStructure();
    in >> shortcut.id >> shortcut.properties;
    in.endStructure();
    return in;
}

QString shortcutId(std::uint16_t id) {
    return QStringLiteral("hotkey-%1").arg(id);
}

// The trigger as the GlobalShortcuts portal writes key combinations, e.g. "CTRL+r".
QString trigger(unsigned modifiers, unsigned key) {
    QString text;
    if (modifiers & hotkey::kControl) text += QStringLiteral("CTRL+");
    if (modifiers & hotkey::kAlt) text += QStringLiteral("ALT+");
    if (modifiers & hotkey::kShift) text += QStringLiteral("SHIFT+");
    // Windows' virtual keys of letters and digits are their upper-case ASCII codes.
    return text + QChar(char16_t(key)).toLower();
}

} // namespace
} // namespace zub

Q_DECLARE_METATYPE(zub::PortalShortcut)

namespace zub {

PortalHotKey::PortalHotKey() {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    QDBusConnection::sessionBus().connect(kService, kPath, kInterface, QStringLiteral("Activated"),
                                          this, SLOT(activated(QDBusMessage)));
}

PortalHotKey::~PortalHotKey() {
    if (!m_session.isEmpty())
        QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(kService, m_session,
                                           QStringLiteral("org.freedesktop.portal.Session"),
                                           QStringLiteral("Close")),
            QDBus::NoBlock);
}

bool PortalHotKey::portalPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    const QDBusReply<QDBusVariant> version = bus.call(get, QDBus::Block, 2000);
    return version.isValid();
}

bool PortalHotKey::registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                                  Handler handler) {
    if (m_registered.contains(id) || !portalPresent()) return false;
    m_registered[id] = Registered{modifiers, key, std::move(handler)};
    if (!m_session.isEmpty()) {
        bindShortcuts();
    } else if (!m_creatingSession) {
        m_creatingSession = true;
        QVariantMap options;
        options[QStringLiteral("session_handle_token")] = QStringLiteral("zub%1").arg(++m_token);
        if (!request(QStringLiteral("CreateSession"), {options},
                     SLOT(sessionCreated(uint, QVariantMap)))) {
            m_creatingSession = false;
            m_registered.erase(id);
            return false;
        }
    }
    return true;
}

void PortalHotKey::unregisterHotKey(std::uint16_t id) {
    // The portal has no way to take one shortcut back but binding the rest anew; the press of an
    // unregistered one finds nothing here.
    m_registered.erase(id);
}

bool PortalHotKey::request(const QString& method, QList<QVariant> arguments, const char* slot) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The answer comes as a signal on an object whose path follows from the token; listening
    // before asking leaves no gap for it to slip through.
    const QString token = QStringLiteral("zub%1").arg(++m_token);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    // Any sender: the path is ours alone, and a portal that has only just started may answer
    // before this connection has heard who owns the portal's name.
    bus.connect(QString(), path, kRequest, QStringLiteral("Response"), this, slot);
    QVariantMap options = arguments.last().toMap();
    options[QStringLiteral("handle_token")] = token;
    arguments.last() = options;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

void PortalHotKey::sessionCreated(uint response, const QVariantMap& results) {
    m_creatingSession = false;
    // 0 is success; anything else means the user or the desktop said no.
    if (response != 0) return;
    m_session = results.value(QStringLiteral("session_handle")).toString();
    if (m_session.isEmpty())
        m_session =
            qvariant_cast<QDBusObjectPath>(results.value(QStringLiteral("session_handle"))).path();
    if (!m_session.isEmpty() && !m_registered.empty()) bindShortcuts();
}

void PortalHotKey::bindShortcuts() {
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, registered] : m_registered) {
        QVariantMap properties;
        properties[QStringLiteral("description")] = QStringLiteral("手动捕获");
        properties[QStringLiteral("preferred_trigger")] =
            trigger(registered.modifiers, registered.key);
        shortcuts.push_back(PortalShortcut{shortcutId(id), properties});
    }
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts),
             QString(), QVariantMap()},
            SLOT(shortcutsBound(uint, QVariantMap)));
}

void PortalHotKey::shortcutsBound(uint, const QVariantMap&) {
    // Whatever the user chose (another key, or none) is the desktop's business from here on.
}

void PortalHotKey::activated(const QDBusMessage& message) {
    // (o session, s shortcut, t timestamp, a{sv} options)
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2) return;
    if (qvariant_cast<QDBusObjectPath>(arguments[0]).path() != m_session) return;
    const QString shortcut = arguments[1].toString();
    for (const auto& [id, registered] : m_registered)
        if (shortcutId(id) == shortcut && registered.handler)
            registered.handler(registered.modifiers, registered.key);
}

} // namespace zub
