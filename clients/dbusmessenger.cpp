#include "dbusmessenger.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDebug>

namespace Velmira {

namespace MessengerBus {

MessengerError errorFromReply(const QDBusMessage &reply)
{
    const QString name = reply.errorName();
    qint32 code = ResultFail;
    const char *plain =
        QT_TRANSLATE_NOOP("Velmira::MessengerBus", "The Messenger client refused the call.");
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Timeout")) {
        code = ResultTimeout;
        plain = QT_TRANSLATE_NOOP("Velmira::MessengerBus",
                                  "The Messenger client did not answer in time.");
    } else if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
               name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
               name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject") ||
               name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
               name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface")) {
        code = ResultNoInterface;
        plain = QT_TRANSLATE_NOOP("Velmira::MessengerBus",
                                  "The Messenger client is no longer running.");
    }
    return MessengerError(code, QStringLiteral("%1: %2").arg(name, reply.errorMessage()))
        .withUserMessage(QCoreApplication::translate("Velmira::MessengerBus", plain));
}

QVariantList call(const QDBusConnection &bus, const QString &service, const QString &path,
                  const QString &interface, const QString &method, const QVariantList &args,
                  const QString &expectedSignature)
{
    if (!bus.isConnected())
        throw MessengerError(ResultNoInterface, QCoreApplication::translate(
                                                    "Velmira::MessengerBus",
                                                    "Not connected to the D-Bus session bus: %1")
                                                    .arg(bus.lastError().message()));
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    // Blocks without running the event loop: no tick or click can re-enter the caller while a
    // call is out, and the timeout bounds the wait.
    const QDBusMessage reply = bus.call(message, QDBus::Block, CallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        throw errorFromReply(reply);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw MessengerError(ResultFail,
                             QCoreApplication::translate("Velmira::MessengerBus", "%1.%2: no reply")
                                 .arg(interface, method));
    if (reply.signature() != expectedSignature)
        throw MessengerError(
            ResultFail,
            QCoreApplication::translate("Velmira::MessengerBus",
                                        "%1.%2 answered with the signature \"%3\", not \"%4\"")
                .arg(interface, method, reply.signature(), expectedSignature));
    return reply.arguments();
}

} // namespace MessengerBus

namespace {

class DBusService : public MessengerService
{
public:
    DBusService(const QDBusConnection &bus, const QString &serviceName, const QString &path)
        : m_bus(bus), m_serviceName(serviceName), m_path(path)
    {}

    void setFriendlyName(const QString &name) override
    {
        MessengerBus::call(m_bus, m_serviceName, m_path, MessengerBus::ServiceInterface,
                           QStringLiteral("SetFriendlyName"), {name}, QString());
    }
    QString friendlyName() override
    {
        return MessengerBus::call(m_bus, m_serviceName, m_path, MessengerBus::ServiceInterface,
                                  QStringLiteral("FriendlyName"), {}, QStringLiteral("s"))
            .constFirst()
            .toString();
    }
    QString serviceId() const override { return m_path; }

private:
    QDBusConnection m_bus;
    QString m_serviceName;
    QString m_path;
};

class DBusServices : public MessengerServices
{
public:
    DBusServices(const QDBusConnection &bus, const QString &serviceName, const QString &path)
        : m_bus(bus), m_serviceName(serviceName), m_path(path)
    {}

    std::shared_ptr<MessengerService> primaryService() override
    {
        const QVariantList reply =
            MessengerBus::call(m_bus, m_serviceName, m_path, MessengerBus::ServicesInterface,
                               QStringLiteral("PrimaryService"), {}, QStringLiteral("o"));
        const QString path = reply.constFirst().value<QDBusObjectPath>().path();
        return std::make_shared<DBusService>(m_bus, m_serviceName, path);
    }

private:
    QDBusConnection m_bus;
    QString m_serviceName;
    QString m_path;
};

} // namespace

DBusMessenger::DBusMessenger(const QDBusConnection &bus, const QString &serviceName,
                             QObject *parent)
    : Messenger(parent), m_bus(bus), m_serviceName(serviceName)
{
    // QDBusConnection::connect finds the slot's argument types by name, which fails for a type
    // that nothing in the process has registered yet.
    qRegisterMetaType<QDBusObjectPath>();
    // Matching on the well-known name follows the client across restarts.
    if (!m_bus.connect(m_serviceName, MessengerBus::ObjectPath, MessengerBus::Interface,
                       MessengerBus::ChangeSignal, this,
                       SLOT(onChangeResult(int, QDBusObjectPath, QString))))
        qWarning().noquote() << tr("Cannot receive %1 from %2: %3")
                                    .arg(MessengerBus::ChangeSignal, m_serviceName,
                                         m_bus.lastError().message());
}

DBusMessenger::~DBusMessenger()
{
    m_bus.disconnect(m_serviceName, MessengerBus::ObjectPath, MessengerBus::Interface,
                     MessengerBus::ChangeSignal, this,
                     SLOT(onChangeResult(int, QDBusObjectPath, QString)));
}

QString DBusMessenger::localFriendlyName()
{
    return MessengerBus::call(m_bus, m_serviceName, MessengerBus::ObjectPath,
                              MessengerBus::Interface, QStringLiteral("LocalFriendlyName"), {},
                              QStringLiteral("s"))
        .constFirst()
        .toString();
}

qint32 DBusMessenger::localState()
{
    return MessengerBus::call(m_bus, m_serviceName, MessengerBus::ObjectPath,
                              MessengerBus::Interface, QStringLiteral("LocalState"), {},
                              QStringLiteral("i"))
        .constFirst()
        .toInt();
}

std::shared_ptr<MessengerServices> DBusMessenger::services()
{
    const QVariantList reply =
        MessengerBus::call(m_bus, m_serviceName, MessengerBus::ObjectPath, MessengerBus::Interface,
                           QStringLiteral("Services"), {}, QStringLiteral("o"));
    return std::make_shared<DBusServices>(m_bus, m_serviceName,
                                          reply.constFirst().value<QDBusObjectPath>().path());
}

bool DBusMessenger::isRunning(const QDBusConnection &bus, const QString &serviceName)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(serviceName);
    return reply.isValid() && reply.value();
}

void DBusMessenger::onChangeResult(int hr, const QDBusObjectPath &service,
                                   const QString &prevFriendlyName)
{
    emit OnLocalFriendlyNameChangeResult(hr, service.path(), prevFriendlyName);
}

} // namespace Velmira
