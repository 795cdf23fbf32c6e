#pragma once

#include "dbusclient.h"

#include <QDBusObjectPath>

namespace Velmira {

// Names of Velmira's own Messenger interface on D-Bus (org.velmira.Messenger1.xml), shared by
// the client below and the velmira-messenger reference program.
namespace MessengerBus {
inline const QString ServiceName = QStringLiteral("org.velmira.Messenger");
inline const QString ObjectPath = QStringLiteral("/org/velmira/Messenger");
inline const QString Interface = QStringLiteral("org.velmira.Messenger1");
inline const QString ServicesInterface = QStringLiteral("org.velmira.Messenger1.Services");
inline const QString ServiceInterface = QStringLiteral("org.velmira.Messenger1.Service");
inline const QString ChangeSignal = QStringLiteral("OnLocalFriendlyNameChangeResult");
} // namespace MessengerBus

// A client program offering org.velmira.Messenger1. Each write asks for the service collection
// and its primary service afresh, so a client may change its primary account at any time.
class DBusMessenger : public DBusClient
{
    Q_OBJECT
public:
    explicit DBusMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                           QObject *parent = nullptr);

    qint32 localState() override;
    QString localFriendlyName() override;
    void setFriendlyName(const QString &name) override;

private slots:
    void onChangeResult(int hr, const QDBusObjectPath &service, const QString &prevFriendlyName);
};

} // namespace Velmira
