#include "dbusclient.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDebug>

namespace Velmira {

DBusClient::DBusClient(const QDBusConnection &bus, const QString &serviceName, QObject *parent)
    : Messenger(parent), m_bus(bus), m_serviceName(serviceName),
      m_watcher(serviceName, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    // The program this client talks to is the owner of the name now: any change of owner means
    // it has left (a program that comes back is another client).
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        if (!std::exchange(m_gone, true))
            emit gone();
    });
}

bool DBusClient::isRunning(const QDBusConnection &bus, const QString &serviceName)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(serviceName);
    return reply.isValid() && reply.value();
}

QDBusMessage DBusClient::message(const QString &path, const QString &interface,
                                 const QString &method, const QVariantList &args) const
{
    if (!m_bus.isConnected())
        throw MessengerError(
            ResultGone,
            tr("Not connected to the D-Bus session bus: %1").arg(m_bus.lastError().message()),
            tr("Velmira cannot reach %1: there is no session bus.").arg(clientName()));
    QDBusMessage message = QDBusMessage::createMethodCall(m_serviceName, path, interface, method);
    message.setArguments(args);
    // A program that is not running is not started: Velmira drives only what the user runs.
    message.setAutoStartService(false);
    return message;
}

QVariantList DBusClient::call(const QString &path, const QString &interface, const QString &method,
                              const QVariantList &args, const QString &signature)
{
    // Blocks without running the event loop: no tick or click can re-enter the caller while a
    // call is out, and the time-out bounds the wait.
    return checked(m_bus.call(message(path, interface, method, args), QDBus::Block, CallTimeoutMs),
                   signature);
}

QDBusPendingCall DBusClient::callLater(const QString &path, const QString &interface,
                                       const QString &method, const QVariantList &args)
{
    return m_bus.asyncCall(message(path, interface, method, args), CallTimeoutMs);
}

QVariantList DBusClient::finish(const QDBusPendingCall &pending, const QString &signature)
{
    QDBusPendingCall answer = pending;
    answer.waitForFinished(); // without the event loop, as call()
    return checked(answer.reply(), signature);
}

QVariantList DBusClient::checked(const QDBusMessage &reply, const QString &signature)
{
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QString name = reply.errorName();
        const QString detail = QStringLiteral("%1: %2").arg(name, reply.errorMessage());
        // A program that quits while a call is out leaves it without a reply; so does one that
        // hangs. The bus tells which.
        const bool noAnswer = name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
                              name == QLatin1String("org.freedesktop.DBus.Error.Timeout");
        if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
            name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
            (noAnswer && !isRunning(m_bus, m_serviceName)))
            throw MessengerError(ResultGone, detail,
                                 tr("%1 is no longer running.").arg(clientName()));
        if (noAnswer)
            throw MessengerError(ResultTimeout, detail,
                                 tr("%1 did not answer in time.").arg(clientName()));
        if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject") ||
            name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
            name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface"))
            throw MessengerError(
                ResultNoInterface, detail,
                tr("%1 does not offer what Velmira asks of it.").arg(clientName()));
        throw MessengerError(ResultFail, detail, tr("%1 refused the call.").arg(clientName()));
    }
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw MessengerError(ResultFail, tr("%1: no reply").arg(reply.member()),
                             tr("%1 did not answer.").arg(clientName()));
    if (reply.signature() != signature)
        throw MessengerError(
            ResultFail,
            tr("An answer with the signature \"%1\", not \"%2\"").arg(reply.signature(), signature),
            tr("%1 answered in a way Velmira does not understand.").arg(clientName()));
    return reply.arguments();
}

void DBusClient::subscribe(const QString &path, const QString &interface, const QString &signal,
                           const char *slot)
{
    // Matching on the well-known name: QtDBus follows it to its owner.
    if (!m_bus.connect(m_serviceName, path, interface, signal, this, slot))
        qWarning().noquote() << tr("Cannot receive %1 from %2: %3")
                                    .arg(signal, m_serviceName, m_bus.lastError().message());
}

} // namespace Velmira
