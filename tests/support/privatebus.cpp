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
