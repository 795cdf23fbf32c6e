#pragma once

#include "rotation/messenger.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace Velmira {

// libpurple's own D-Bus service, which a running Pidgin (or Finch) offers.
namespace PurpleBus {
inline const QString ServiceName = QStringLiteral("im.pidgin.purple.PurpleService");
inline const QString ObjectPath = QStringLiteral("/im/pidgin/purple/PurpleObject");
inline const QString Interface = QStringLiteral("im.pidgin.purple.PurpleInterface");
} // namespace PurpleBus

// Drives a running Pidgin through libpurple's D-Bus service. The primary service is one account:
// the one named by user name and protocol id, else the first active account. libpurple's
// handles change between its runs, so each operation resolves them afresh.
//
// The display name is either the account's alias, or the message of the current saved status
// (which XMPP contacts see live, while they never see the alias).
class PidginMessenger : public Messenger
{
    Q_OBJECT
public:
    enum class NameKind
    {
        Alias,
        StatusMessage
    };
    Q_ENUM(NameKind)

    // Local state reported while the account is signed in.
    static constexpr qint32 StateConnected = 2;

    // An empty `accountName` picks the first active account; an empty `protocolId` (e.g.
    // "prpl-jabber") matches any protocol.
    explicit PidginMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                             NameKind kind = NameKind::Alias, const QString &accountName = {},
                             const QString &protocolId = {}, QObject *parent = nullptr);
    ~PidginMessenger() override;

    QString localFriendlyName() override;
    qint32 localState() override;
    std::shared_ptr<MessengerServices> services() override;

    NameKind nameKind() const { return m_kind; }

    static bool isRunning(const QDBusConnection &bus);

    // The account handle of the primary service, resolved now. Throws when there is none.
    qint32 resolveAccount();

private slots:
    void onAccountAliasChanged(const QDBusMessage &message);
    void onSavedstatusChanged(const QDBusMessage &message);

private:
    friend class PidginService;
    QVariantList call(const QString &method, const QVariantList &args,
                      const QString &expectedSignature);
    QString serviceIdFor(qint32 account) const;

    QDBusConnection m_bus;
    NameKind m_kind;
    QString m_accountName;
    QString m_protocolId;
};

} // namespace Velmira
