#include "remotecontrol.h"

#include "appcontroller.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

namespace Velmira {

namespace Remote {

Claim claim(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return Claim::NoBus;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(ServiceName, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return Claim::NoBus;
    return reply.value() == QDBusConnectionInterface::ServiceRegistered ? Claim::Taken
                                                                        : Claim::RunningElsewhere;
}

bool ask(const QDBusConnection &bus, const QString &method, QString *error)
{
    const QDBusMessage reply =
        bus.call(QDBusMessage::createMethodCall(ServiceName, ObjectPath, Interface, method),
                 QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (error)
        *error = reply.errorMessage();
    return false;
}

} // namespace Remote

RemoteControl::RemoteControl(AppController &controller, QObject *parent)
    : QObject(parent), m_controller(controller)
{}

bool RemoteControl::serve(QDBusConnection bus)
{
    return bus.registerObject(Remote::ObjectPath, this,
                              QDBusConnection::ExportAllSlots |
                                  QDBusConnection::ExportAllProperties);
}

bool RemoteControl::isRunning() const
{
    return m_controller.isRunning();
}

QString RemoteControl::displayName() const
{
    return m_controller.displayName();
}

bool RemoteControl::isShown() const
{
    return m_controller.isShown();
}

bool RemoteControl::Start()
{
    m_controller.start();
    return isRunning();
}

void RemoteControl::Stop()
{
    m_controller.stop();
}

bool RemoteControl::Toggle()
{
    m_controller.toggle();
    return isRunning();
}

void RemoteControl::Show()
{
    m_controller.show();
}

void RemoteControl::Quit()
{
    QTimer::singleShot(0, &m_controller, &AppController::quit);
}

} // namespace Velmira
