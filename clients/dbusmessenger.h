#pragma once

#include "core/messenger.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantList>

namespace Velmira {

// Names of Velmira's Messenger automation interface on D-Bus (org.velmira.Messenger1.xml).
namespace MessengerBus {
inline const QString ServiceName = QStringLiteral("org.velmira.Messenger");
inline const QString ObjectPath = QStringLiteral("/org/velmira/Messenger");
inline const QString Interface = QStringLiteral("org.velmira.Messenger1");
inline const QString ServicesInterface = QStringLiteral("org.velmira.Messenger1.Services");
inline const QString ServiceInterface = QStringLiteral("org.velmira.Messenger1.Service");
inline const QString ChangeSignal = QStringLiteral("OnLocalFriendlyNameChangeResult");
// Every call Velmira makes waits this long for its answer, so a client that hangs makes the call
// fail instead of freezing the window.
inline constexpr int CallTimeoutMs = 2000;

// Makes one blocking call with CallTimeoutMs and returns the reply's arguments. An error reply,
// no reply or a reply of the wrong shape throws MessengerError; `expectedSignature` is the
// reply's D-Bus signature ("" for none).
QVariantList call(const QDBusConnection &bus, const QString &service, const QString &path,
                  const QString &interface, const QString &method, const QVariantList &args,
                  const QString &expectedSignature);

// MessengerError for a D-Bus error reply: "<error name>: <message>", with a result code that
// tells a timeout and a missing client from other failures.
MessengerError errorFromReply(const QDBusMessage &reply);
} // namespace MessengerBus

// A separate client program offering org.velmira.Messenger1 on a bus. Every operation is a
// call on the bus made afresh; the client's change-result signal arrives as
// OnLocalFriendlyNameChangeResult on this object's thread. A client that leaves the bus makes
// calls throw; it does not invalidate this object.
class DBusMessenger : public Messenger
{
    Q_OBJECT
public:
    explicit DBusMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                           const QString &serviceName = MessengerBus::ServiceName,
                           QObject *parent = nullptr);
    ~DBusMessenger() override;

    QString localFriendlyName() override;
    qint32 localState() override;
    std::shared_ptr<MessengerServices> services() override;

    // Whether a program owns `serviceName` on `bus` right now.
    static bool isRunning(const QDBusConnection &bus,
                          const QString &serviceName = MessengerBus::ServiceName);

private slots:
    void onChangeResult(int hr, const QDBusObjectPath &service, const QString &prevFriendlyName);

private:
    QDBusConnection m_bus;
    QString m_serviceName;
};

} // namespace Velmira
