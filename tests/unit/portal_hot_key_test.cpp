// The hot key through the GlobalShortcuts portal, against a portal played on a private session
// bus: the shortcut is bound with the key asked for, and a press the portal reports reaches the
// handler as the hot key's modifiers and key. Without the portal, registration fails.

#include "platform/wayland/portal_hot_key.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

#include <optional>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// The portal's side of the conversation, as a desktop that accepts every shortcut answers it.
// It runs on a thread of its own: the program asks the portal some things waiting for the answer.
class FakePortal : public QDBusVirtualObject {
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(std::move(bus)) {}
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QString member = message.member();
        if (member == QStringLiteral("Get")) {
            m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            return true;
        }
        if (member == QStringLiteral("CreateSession")) {
            const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().value(0));
            const QString session =
                kPath + QStringLiteral("/session/") + sender(message) + QLatin1Char('/') +
                options.value(QStringLiteral("session_handle_token")).toString();
            respond(message, options, {{QStringLiteral("session_handle"), session}});
            return true;
        }
        if (member == QStringLiteral("BindShortcuts")) {
            const QMutexLocker lock(&mutex);
            session = qdbus_cast<QDBusObjectPath>(message.arguments().value(0)).path();
            const QDBusArgument list = message.arguments().value(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap properties;
                list.beginStructure();
                list >> id >> properties;
                list.endStructure();
                boundId = id;
                boundTrigger = properties.value(QStringLiteral("preferred_trigger")).toString();
            }
            list.endArray();
            respond(message, qdbus_cast<QVariantMap>(message.arguments().value(3)), {});
            return true;
        }
        return false;
    }

    void press(const QString& id) {
        const QMutexLocker lock(&mutex);
        QDBusMessage signal =
            QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1)
               << QVariantMap();
        m_bus.send(signal);
    }

    QMutex mutex;
    QString session;
    std::optional<QString> boundId;
    QString boundTrigger;

private:
    static QString sender(const QDBusMessage& message) {
        return message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    }
    // Replies with the request's object and then answers on it, as the portal does.
    void respond(const QDBusMessage& message, const QVariantMap& options,
                 const QVariantMap& results) {
        const QString request = kPath + QStringLiteral("/request/") + sender(message) +
                                QLatin1Char('/') +
                                options.value(QStringLiteral("handle_token")).toString();
        m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0u << results;
        m_bus.send(response);
    }

    QDBusConnection m_bus;
};

} // namespace

class PortalHotKeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000)) QSKIP("dbus-daemon is not installed");
        QVERIFY(QTest::qWaitFor([&] { return m_daemon.canReadLine(); }, 5000));
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
        // Before anything asks for the session bus, which Qt connects to once.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    }
    void cleanupTestCase() {
        m_daemon.terminate();
        m_daemon.waitForFinished(3000);
    }

    void theKeyIsBoundThroughThePortalAndItsPressesArrive() {
        zub::PortalHotKey hotKey;
        const std::uint16_t atom = hotKey.addAtom("hotkey");
        QVERIFY(!hotKey.registerHotKey(atom, zub::hotkey::kControl, zub::hotkey::kKeyR, {}));

        QDBusConnection portalBus =
            QDBusConnection::connectToBus(m_address, QStringLiteral("portal"));
        FakePortal portal(portalBus);
        QThread portalThread;
        portal.moveToThread(&portalThread);
        portalThread.start();
        const auto stop = qScopeGuard([&] {
            portalThread.quit();
            portalThread.wait();
        });
        QVERIFY(portalBus.registerVirtualObject(kPath, &portal));
        QVERIFY(portalBus.registerService(kService));

        std::optional<std::pair<unsigned, unsigned>> pressed;
        QVERIFY(hotKey.registerHotKey(
            atom, zub::hotkey::kControl, zub::hotkey::kKeyR,
            [&](unsigned modifiers, unsigned key) { pressed = std::pair(modifiers, key); }));
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QMutexLocker lock(&portal.mutex);
                return portal.boundId.has_value();
            },
            5000));
        const QString bound = *portal.boundId;
        QCOMPARE(portal.boundTrigger, QStringLiteral("CTRL+r"));

        portal.press(QStringLiteral("some other program's"));
        portal.press(bound);
        QVERIFY(QTest::qWaitFor([&] { return pressed.has_value(); }, 5000));
        QCOMPARE(*pressed, std::pair(zub::hotkey::kControl, zub::hotkey::kKeyR));

        // Let go: a press finds nothing any more.
        pressed.reset();
        hotKey.unregisterHotKey(atom);
        portal.press(bound);
        QTest::qWait(200);
        QVERIFY(!pressed);
        portalBus.unregisterService(kService);
    }

private:
    QProcess m_daemon;
    QString m_address;
};

QTEST_GUILESS_MAIN(PortalHotKeyTest)
#include "portal_hot_key_test.moc"
