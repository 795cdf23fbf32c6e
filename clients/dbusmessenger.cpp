#include "dbusmessenger.h"

namespace Velmira {

DBusMessenger::DBusMessenger(const QDBusConnection &bus, QObject *parent)
    : DBusClient(bus, MessengerBus::ServiceName, parent)
{
    // QtDBus finds the slot's argument types by name, which fails for a type that nothing in the
    // process has registered yet.
    qRegisterMetaType<QDBusObjectPath>();
    subscribe(MessengerBus::ObjectPath, MessengerBus::Interface, MessengerBus::ChangeSignal,
              SLOT(onChangeResult(int, QDBusObjectPath, QString)));
}

qint32 DBusMessenger::localState()
{
    return call(MessengerBus::ObjectPath, MessengerBus::Interface, QStringLiteral("LocalState"), {},
                QStringLiteral("i"))
        .constFirst()
        .toInt();
}

QString DBusMessenger::localFriendlyName()
{
    return call(MessengerBus::ObjectPath, MessengerBus::Interface,
                QStringLiteral("LocalFriendlyName"), {}, QStringLiteral("s"))
        .constFirst()
        .toString();
}

void DBusMessenger::setFriendlyName(const QString &name)
{
    const QString services = call(MessengerBus::ObjectPath, MessengerBus::Interface,
                                  QStringLiteral("Services"), {}, QStringLiteral("o"))
                                 .constFirst()
                                 .value<QDBusObjectPath>()
                                 .path();
    const QString primary = call(services, MessengerBus::ServicesInterface,
                                 QStringLiteral("PrimaryService"), {}, QStringLiteral("o"))
                                .constFirst()
                                .value<QDBusObjectPath>()
                                .path();
    call(primary, MessengerBus::ServiceInterface, QStringLiteral("SetFriendlyName"), {name});
}

void DBusMessenger::onChangeResult(int hr, const QDBusObjectPath &service,
                                   const QString &prevFriendlyName)
{
    emit OnLocalFriendlyNameChangeResult(hr, service.path(), prevFriendlyName);
}

} // namespace Velmira
