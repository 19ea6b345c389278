// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SavedWifiConnections.h"

#include "platform/QtBridge.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <optional>
#include <thread>

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kConnectionInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kSecurity = QStringLiteral("802-11-wireless-security");

using CSettings = QMap<QString, QVariantMap>;

std::function<void()>& ListingObserver()
{
    static std::function<void()> observer;
    return observer;
}

void NotifyListed()
{
    if (ListingObserver())
        ListingObserver()();
}

QString SystemBusAddress()
{
    // libdbus reads DBUS_SYSTEM_BUS_ADDRESS once per process and keeps it; read here, it holds for
    // every connection this program makes, as it does for every other program that starts.
    const QByteArray address = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    return address.isEmpty() ? QStringLiteral("unix:path=/var/run/dbus/system_bus_socket")
                             : QString::fromLocal8Bit(address);
}

QDBusMessage NewCall(const QString& path, const QString& interface, const QString& method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
    // A NetworkManager that is not running stays so: a photo frame's key is no reason to start one.
    call.setAutoStartService(false);
    return call;
}

CString FromBytes(const QByteArray& bytes)
{
    return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// GetSettings' and GetSecrets' a{sa{sv}}; empty for any other answer, which QtDBus would otherwise
// complain about on standard error while reading it.
CSettings ReadSettings(const QDBusMessage& reply)
{
    CSettings settings;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return settings;
    const QVariant value = reply.arguments().at(0);
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return settings;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() == QLatin1String("a{sa{sv}}"))
        argument >> settings;
    return settings;
}

std::optional<CSavedWifiConnection> ReadConnection(const CSettings& settings, const QString& path)
{
    const QVariantMap connection = settings.value(QStringLiteral("connection"));
    if (connection.value(QStringLiteral("type")).toString() != QLatin1String("802-11-wireless"))
        return std::nullopt;
    const QByteArray ssid
        = settings.value(QStringLiteral("802-11-wireless")).value(QStringLiteral("ssid")).toByteArray();
    if (ssid.isEmpty())
        return std::nullopt;
    CSavedWifiConnection saved;
    saved.strSSID = FromBytes(ssid);
    saved.nLastUsed = connection.value(QStringLiteral("timestamp")).toULongLong();
    saved.strPath = FromQString(path);
    // An open network has no security setting at all, so every value reads as empty.
    const QVariantMap security = settings.value(kSecurity);
    saved.strKeyMgmt = FromQString(security.value(QStringLiteral("key-mgmt")).toString());
    for (const QString& proto : security.value(QStringLiteral("proto")).toStringList())
        saved.protos.push_back(FromQString(proto));
    saved.nWepKeyType = static_cast<int>(security.value(QStringLiteral("wep-key-type")).toUInt());
    return saved;
}

QList<QDBusObjectPath> ReadPaths(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1
        || reply.arguments().at(0).userType() != qMetaTypeId<QDBusArgument>())
        return {};
    const QDBusArgument argument = reply.arguments().at(0).value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("ao"))
        return {};
    QList<QDBusObjectPath> paths;
    argument >> paths;
    return paths;
}

} // namespace

struct CSavedWifiConnections::CState
{
    CState();
    ~CState();
    // Runs then(connected) from the event loop once the bus connection is made or has failed.
    void WithBus(std::function<void(bool)> then);
    void OnConnected(bool bConnected);
    void Call(const QDBusMessage& call, int nTimeoutMs, std::function<void(const QDBusMessage&)> done);
    void ReadEach(const QList<QDBusObjectPath>& paths,
                  std::function<void(const std::vector<CSavedWifiConnection>&)> done);

    // Every reply, queued call and timer is delivered to this object: deleting it drops them all.
    QObject context;
    QString strName;
    enum class EBus { None, Connecting, Connected, Failed } bus = EBus::None;
    int nCalls = 0; // under way
    std::thread connector;
    std::vector<std::function<void(bool)>> waiting;
};

CSavedWifiConnections::CState::CState()
{
    static int nConnections = 0;
    strName = QStringLiteral("dpf-settings-saved-wifi-%1").arg(++nConnections);
}

CSavedWifiConnections::CState::~CState()
{
    // A bus that takes its time to answer the greeting holds up only this: the thread posts to the
    // context, so it must end before the context goes.
    if (connector.joinable())
        connector.join();
    // The calls' watchers go before the connection, which would otherwise answer them while closing.
    qDeleteAll(context.children());
    if (bus != EBus::None)
        QDBusConnection::disconnectFromBus(strName);
}

void CSavedWifiConnections::CState::WithBus(std::function<void(bool)> then)
{
    if (bus == EBus::Connected || bus == EBus::Failed) {
        const bool bConnected = bus == EBus::Connected;
        QMetaObject::invokeMethod(
            &context, [then, bConnected] { then(bConnected); }, Qt::QueuedConnection);
        return;
    }
    waiting.push_back(std::move(then));
    if (bus == EBus::Connecting)
        return;
    bus = EBus::Connecting;
    // Connecting greets the bus and waits for its answer, for up to 25 seconds when the bus is stuck: on a
    // thread of its own, so that the window never waits for it.
    connector = std::thread([this, address = SystemBusAddress(), name = strName] {
        const bool bConnected = QDBusConnection::connectToBus(address, name).isConnected();
        QMetaObject::invokeMethod(
            &context, [this, bConnected] { OnConnected(bConnected); }, Qt::QueuedConnection);
    });
}

void CSavedWifiConnections::CState::OnConnected(bool bConnected)
{
    connector.join();
    bus = bConnected ? EBus::Connected : EBus::Failed;
    std::vector<std::function<void(bool)>> ready;
    ready.swap(waiting);
    // A handler may open a message box, in whose loop the owner may go, and this with it.
    const QPointer<QObject> alive(&context);
    for (const auto& then : ready) {
        if (!alive)
            return;
        then(bConnected);
    }
}

void CSavedWifiConnections::CState::Call(const QDBusMessage& call, int nTimeoutMs,
                                         std::function<void(const QDBusMessage&)> done)
{
    auto* pWatcher = new QDBusPendingCallWatcher(QDBusConnection(strName).asyncCall(call, nTimeoutMs), &context);
    ++nCalls;
    QObject::connect(pWatcher, &QDBusPendingCallWatcher::finished, &context, [this, pWatcher, done] {
        pWatcher->deleteLater();
        --nCalls;
        const QPointer<QObject> alive(&context);
        done(pWatcher->reply());
        // Every program of the user shares a limit on connections to the system bus (256 by default), and
        // a page shown keeps this object: the connection is given up between calls, not held for them.
        if (alive && nCalls == 0 && bus == EBus::Connected) {
            QDBusConnection::disconnectFromBus(strName);
            bus = EBus::None;
        }
    });
}

void CSavedWifiConnections::CState::ReadEach(const QList<QDBusObjectPath>& paths,
                                             std::function<void(const std::vector<CSavedWifiConnection>&)> done)
{
    struct CListing
    {
        std::vector<std::optional<CSavedWifiConnection>> found;
        size_t nPending = 0;
    };
    auto pListing = std::make_shared<CListing>();
    pListing->found.resize(static_cast<size_t>(paths.size()));
    pListing->nPending = pListing->found.size();
    auto finish = [pListing, done] {
        std::vector<CSavedWifiConnection> list;
        for (const auto& saved : pListing->found) {
            if (saved)
                list.push_back(*saved);
        }
        done(list);
        NotifyListed();
    };
    if (paths.isEmpty())
        return finish();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i).path();
        // A connection that cannot be read (another user's, one removed meanwhile) is left out alone.
        Call(NewCall(path, kConnectionInterface, QStringLiteral("GetSettings")), -1,
             [pListing, finish, path, i](const QDBusMessage& reply) {
                 pListing->found[static_cast<size_t>(i)] = ReadConnection(ReadSettings(reply), path);
                 if (--pListing->nPending == 0)
                     finish();
             });
    }
}

CSavedWifiConnections::CSavedWifiConnections() = default;
CSavedWifiConnections::~CSavedWifiConnections() = default;

void CSavedWifiConnections::List(std::function<void(const std::vector<CSavedWifiConnection>&)> done)
{
    if (!m_pState)
        m_pState = std::make_unique<CState>();
    CState* pState = m_pState.get();
    QTimer::singleShot(0, &pState->context, [pState, done] {
        pState->WithBus([pState, done](bool bConnected) {
            if (!bConnected)
                return NotifyListed();
            pState->Call(NewCall(kSettingsPath, kSettingsInterface, QStringLiteral("ListConnections")), -1,
                         [pState, done](const QDBusMessage& reply) {
                             if (reply.type() != QDBusMessage::ReplyMessage)
                                 return NotifyListed();
                             pState->ReadEach(ReadPaths(reply), done);
                         });
        });
    });
}

void CSavedWifiConnections::ReadSecrets(const CSavedWifiConnection& connection, int nTimeoutMs,
                                        std::function<void(const CWifiSecrets&)> done)
{
    if (!m_pState)
        m_pState = std::make_unique<CState>();
    CState* pState = m_pState.get();
    const QString path = ToQString(connection.strPath);
    pState->WithBus([pState, path, nTimeoutMs, done](bool bConnected) {
        if (!bConnected) {
            CWifiSecrets none;
            none.strError = FromQString(QStringLiteral("no system bus at ") + SystemBusAddress());
            return done(none);
        }
        QDBusMessage call = NewCall(path, kConnectionInterface, QStringLiteral("GetSecrets"));
        call << kSecurity;
        pState->Call(call, nTimeoutMs, [done](const QDBusMessage& reply) {
            CWifiSecrets secrets;
            if (reply.type() != QDBusMessage::ReplyMessage) {
                secrets.strError = FromQString(reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
                return done(secrets);
            }
            const QVariantMap security = ReadSettings(reply).value(kSecurity);
            secrets.strPsk = FromQString(security.value(QStringLiteral("psk")).toString());
            secrets.strWepKey0 = FromQString(security.value(QStringLiteral("wep-key0")).toString());
            done(secrets);
        });
    });
}

void CSavedWifiConnections::SetListingObserver(std::function<void()> observer)
{
    ListingObserver() = std::move(observer);
}
