// SPDX-License-Identifier: GPL-3.0-or-later
#include "NetworkManagerSandbox.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#include <sys/stat.h>

namespace {

const char kNoBus[] = "unix:path=/nonexistent/dpf-settings-tests/system_bus_socket";

// The bus and NetworkManager configurations, with the sandbox's folder for @DIR@: shared with the
// start-up benchmark (bench/network-manager.sh), so that both run NetworkManager alike. The bus lets
// everything through, as the tests play both the editor and the desktop; NetworkManager has
// everything that could touch the host off (polkit, devices, default connections, DNS, host name,
// connectivity checks).
QByteArray Configuration(const char* pszName, const QString& dir)
{
    QFile file(QStringLiteral(DPF_NETWORK_MANAGER_CONFIG_DIR "/") + pszName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).replace("@DIR@", dir).toUtf8()
                                          : QByteArray();
}

// Inside the namespaces, the state folder and /run are the sandbox's own before NetworkManager
// starts: it keeps its time stamps and run-time files there, at places its build fixed.
const char kNamespaceScript[] = "mount --bind \"$1\" /var/lib/NetworkManager && mount --bind \"$2\" /run && "
                                "exec \"$3\" --no-daemon --debug --config=\"$4\" --config-dir=\"$5\" "
                                "--system-config-dir=\"$5\" --intern-config=\"$1/intern.conf\" "
                                "--state-file=\"$1/NetworkManager.state\" --pid-file=\"$2/NetworkManager.pid\"";

bool WriteFile(const QString& path, const QByteArray& bytes, QFile::Permissions permissions)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
        && file.setPermissions(permissions);
}

void Stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

QString LogTail(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray log = file.readAll();
    return QString::fromUtf8(log.right(1500));
}

} // namespace

void UseNoSystemBus()
{
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", kNoBus);
}

CNetworkManagerSandbox::CNetworkManagerSandbox()
{
    QDir(m_dir.path()).mkpath("connections");
    QDir(m_dir.path()).mkpath("state");
    QDir(m_dir.path()).mkpath("run");
    QDir(m_dir.path()).mkpath("conf.d");
    ::chmod(QFile::encodeName(Path("connections")).constData(), 0700);
}

CNetworkManagerSandbox::~CNetworkManagerSandbox()
{
    QDBusConnection::disconnectFromBus("sandbox");
    Stop(m_networkManager);
    Stop(m_bus);
    UseNoSystemBus();
}

std::string CNetworkManagerSandbox::AddWifi(const std::string& strId, const std::string& ssid, const std::string& lines,
                                            unsigned long long nLastUsed)
{
    const std::string uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    // As a list of byte values, the keyfile's form for an SSID that is no text.
    std::string ssidBytes;
    for (unsigned char ch : ssid)
        ssidBytes += std::to_string(ch) + ";";
    AddKeyfile(strId,
               "[connection]\nid=" + strId + "\nuuid=" + uuid
                   + "\ntype=wifi\n\n[wifi]\nmode=infrastructure\nssid=" + ssidBytes + "\n\n" + lines);
    if (nLastUsed)
        m_timestamps += QString::fromStdString(uuid + "=" + std::to_string(nLastUsed) + "\n");
    return uuid;
}

void CNetworkManagerSandbox::AddKeyfile(const std::string& strName, const std::string& keyfile)
{
    // NetworkManager reads only keyfiles that root owns and no one else can read.
    WriteFile(Path(QString::fromStdString("connections/" + strName + ".nmconnection")),
              QByteArray::fromStdString(keyfile), QFile::ReadOwner | QFile::WriteOwner);
    ++m_nConnections;
}

std::string CNetworkManagerSandbox::StartBusOnly()
{
    const std::string problem = StartBus();
    if (problem.empty())
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
    return problem;
}

std::string CNetworkManagerSandbox::Start()
{
    std::string problem = StartBus();
    if (problem.empty())
        problem = StartNetworkManager();
    if (problem.empty())
        problem = WaitForConnections();
    if (problem.empty())
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
    return problem;
}

std::string CNetworkManagerSandbox::StartBus()
{
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty())
        return "dbus-daemon is not installed";
    WriteFile(Path("bus.conf"), Configuration("bus.conf.in", m_dir.path()), QFile::ReadOwner | QFile::WriteOwner);
    m_bus.setStandardErrorFile(Path("bus.log"));
    m_bus.start(daemon, {"--config-file=" + Path("bus.conf"), "--nofork", "--nopidfile", "--print-address"});
    // The daemon prints its address once it listens.
    if (!m_bus.waitForStarted(5000) || !m_bus.waitForReadyRead(5000))
        return "dbus-daemon did not start: " + LogTail(Path("bus.log")).toStdString();
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    return std::string();
}

std::string CNetworkManagerSandbox::StartNetworkManager()
{
    const QString networkManager = QStandardPaths::findExecutable("NetworkManager", {"/usr/sbin", "/sbin"});
    if (networkManager.isEmpty())
        return "NetworkManager is not installed (package network-manager)";
    if (!QDir("/var/lib/NetworkManager").exists())
        return "/var/lib/NetworkManager is missing, which the sandbox covers with its own";
    if (Path("").startsWith("/run/"))
        return "the temporary folder lies under /run, which the sandbox covers with its own";
    WriteFile(Path("NetworkManager.conf"), Configuration("NetworkManager.conf.in", m_dir.path()),
              QFile::ReadOwner | QFile::WriteOwner);
    if (!m_timestamps.isEmpty())
        WriteFile(Path("state/timestamps"), ("[timestamps]\n" + m_timestamps).toUtf8(),
                  QFile::ReadOwner | QFile::WriteOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", m_address);
    m_networkManager.setProcessEnvironment(environment);
    m_networkManager.setStandardOutputFile(QProcess::nullDevice());
    m_networkManager.setStandardErrorFile(Path("NetworkManager.log"));
    m_networkManager.start("unshare",
                           {"--mount", "--net", "--", "sh", "-c", kNamespaceScript, "sh", Path("state"), Path("run"),
                            networkManager, Path("NetworkManager.conf"), Path("conf.d")});
    if (!m_networkManager.waitForStarted(5000))
        return "unshare did not start";
    return std::string();
}

std::string CNetworkManagerSandbox::WaitForConnections()
{
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, "sandbox");
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.NetworkManager",
                                                       "/org/freedesktop/NetworkManager/Settings",
                                                       "org.freedesktop.NetworkManager.Settings", "ListConnections");
    call.setAutoStartService(false);
    // NetworkManager takes its name before it has read its keyfiles: it is ready once it lists them all.
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && m_networkManager.state() == QProcess::Running) {
        const QDBusReply<QList<QDBusObjectPath>> reply = bus.call(call, QDBus::Block, 2000);
        if (reply.isValid() && reply.value().size() == m_nConnections)
            return std::string();
        QThread::msleep(20);
    }
    return "NetworkManager did not come up: " + LogTail(Path("NetworkManager.log")).toStdString();
}

int CNetworkManagerSandbox::ConnectionsOfThisProcess() const
{
    QDBusConnection bus("sandbox");
    const QDBusReply<QStringList> names = bus.interface()->call("ListNames");
    int nCount = 0;
    for (const QString& name : names.value()) {
        const QDBusReply<uint> pid = bus.interface()->call("GetConnectionUnixProcessID", name);
        if (name.startsWith(':') && name != bus.baseService() && pid.isValid()
            && pid.value() == QCoreApplication::applicationPid())
            ++nCount;
    }
    return nCount;
}
