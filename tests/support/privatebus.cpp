#include "privatebus.h"

#include "clients/dbusmessenger.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

PrivateBus::PrivateBus()
{
    m_daemon.setStandardErrorFile(QProcess::nullDevice());
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")});
    QDeadlineTimer deadline(10000);
    while (m_daemon.waitForStarted(5000) && !m_daemon.canReadLine() && !deadline.hasExpired())
        m_daemon.waitForReadyRead(100);
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (!m_address.isEmpty()) // the address is unique, so it names the connection too
        m_connection = QDBusConnection::connectToBus(m_address, m_address);
}

PrivateBus::~PrivateBus()
{
    m_connection = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(m_address);
    stopProcess(m_daemon);
}

QProcessEnvironment PrivateBus::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    return environment;
}

bool PrivateBus::waitForName(const QString &name, bool owned, int timeoutMs, qint64 pid) const
{
    for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired(); QThread::msleep(20)) {
        const QDBusReply<bool> reply = m_connection.interface()->isServiceRegistered(name);
        if (reply.isValid() && reply.value() == owned &&
            (!owned || pid == 0 || m_connection.interface()->servicePid(name).value() == pid))
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return false;
}

ReferenceClientProcess::ReferenceClientProcess(const PrivateBus &bus, const QStringList &arguments)
{
    m_process.setProcessEnvironment(bus.environment());
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A client of an earlier test may still hold the name for a moment after its process ended:
    // the new one would be refused the name, and the old owner taken for it.
    bus.waitForName(Velmira::MessengerBus::ServiceName, false);
    m_process.start(QStringLiteral(VELMIRA_MESSENGER_PATH), arguments);
    m_serving =
        m_process.waitForStarted(5000) &&
        bus.waitForName(Velmira::MessengerBus::ServiceName, true, 10000, m_process.processId());
}

QStringList ReferenceClientProcess::lines()
{
    m_output += m_process.readAllStandardOutput();
    return QString::fromUtf8(m_output).split(u'\n', Qt::SkipEmptyParts);
}

bool hasDesktopWith(std::initializer_list<const char *> programs)
{
    for (const char *program : programs) {
        if (qEnvironmentVariableIsEmpty("DISPLAY") ||
            QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            std::fprintf(stderr, "Needs a DISPLAY and %s: run under scripts/with-desktop\n",
                         program);
            return false;
        }
    }
    return true;
}

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

QString velmiraWindow(const QProcess &process)
{
    // Its message boxes are titled "Velmira" too: the main window is the one with the version.
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--sync"),
                  QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                  QString::number(process.processId()), QStringLiteral("--name"),
                  QStringLiteral("^Velmira 4\\.1$")});
    if (!search.waitForFinished(60000) || search.exitCode() != 0)
        return {};
    return QString::fromLatin1(search.readAllStandardOutput()).section(u'\n', 0, 0);
}

bool pressCloseKey()
{
    return xdotool(
        {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")});
}

qint64 userTime(const QString &window)
{
    // "_NET_WM_USER_TIME(CARDINAL) = 0", "_NET_WM_USER_TIME_WINDOW(WINDOW): window id # 0x...":
    // the value after the last "=" or "#".
    const auto property = [](const QString &id, const char *name) {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"),
                    {QStringLiteral("-id"), id, QString::fromLatin1(name)});
        xprop.waitForFinished(30000);
        const QString text = QString::fromLatin1(xprop.readAllStandardOutput()).trimmed();
        const qsizetype at = std::max(text.lastIndexOf(u'='), text.lastIndexOf(u'#'));
        return at < 0 ? QString() : text.mid(at + 1).trimmed();
    };
    // A window manager that knows _NET_WM_USER_TIME_WINDOW gets the time on a window of its own.
    const QString timeWindow = property(window, "_NET_WM_USER_TIME_WINDOW");
    bool ok = false;
    const qint64 time =
        property(timeWindow.isEmpty() ? window : timeWindow, "_NET_WM_USER_TIME").toLongLong(&ok);
    return ok ? time : -1;
}

QString otherWindowOf(const QProcess &process, const QString &window)
{
    const auto output = [](const QStringList &arguments) {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), arguments);
        xdotool.waitForFinished(30000);
        return QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed();
    };
    // Searching by name and by process at once finds windows of other programs too: each
    // candidate's process is asked again.
    const QStringList candidates =
        output({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                QStringLiteral("^Velmira$")})
            .split(u'\n', Qt::SkipEmptyParts);
    for (const QString &candidate : candidates)
        if (candidate != window && output({QStringLiteral("getwindowpid"), candidate}) ==
                                       QString::number(process.processId()))
            return candidate;
    return {};
}
