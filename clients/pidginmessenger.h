#pragma once

#include "core/messenger.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <optional>

namespace Velmira {

// Drives a running Pidgin through libpurple's D-Bus service. The primary service is one account:
// the one named by user name and protocol id, else the first active account. libpurple's
// handles change between its runs, so each operation resolves them afresh.
//
// The display name is either the status message of the account (what contacts see: XMPP
// contacts never see the alias) or the account's alias. Both may be empty, so an empty original
// is put back like any other.
//
// Status messages rotate through a saved status of Velmira's own, RotationStatusTitle, applied
// to the account alone: the user's saved statuses, the current one included, are never written.
// Each write copies the availability of the user's current saved status, so a change the user
// makes in Pidgin meanwhile is followed. The reset applies the user's current saved status to
// the account again, and the end of a rotation deletes Velmira's status. While the account is
// not signed in nothing is written: the latest name waits, and is written when it signs on.
class PidginMessenger : public Messenger
{
    Q_OBJECT
public:
    // The bus name of libpurple's own D-Bus service, which a running Pidgin (or Finch) holds.
    static constexpr QLatin1String ServiceName{"im.pidgin.purple.PurpleService"};

    enum class NameKind
    {
        Alias,
        StatusMessage
    };
    Q_ENUM(NameKind)

    // The title of Velmira's own saved status. Fixed and untranslated: a later run finds a status
    // left behind by a crash under this title.
    static inline const QString RotationStatusTitle = QStringLiteral("Velmira rotation");

    // An empty `accountName` picks the first active account; an empty `protocolId` (e.g.
    // "prpl-jabber") matches any protocol.
    explicit PidginMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                             NameKind kind = NameKind::Alias, const QString &accountName = {},
                             const QString &protocolId = {}, QObject *parent = nullptr);
    ~PidginMessenger() override;

    QString localFriendlyName() override;
    qint32 localState() override;
    std::shared_ptr<MessengerServices> services() override;

    QString clientName() const override;
    QString identity() override;
    bool emptyNameIsAName() const override { return true; }
    void restoreName(const QString &original) override;
    void endRotation() override;

    NameKind nameKind() const { return m_kind; }
    // The name waiting for the account to sign on, if any.
    const std::optional<QString> &pendingName() const { return m_pending; }

    static bool isRunning(const QDBusConnection &bus);

    // The account handle of the primary service, resolved now. Throws when there is none.
    qint32 resolveAccount();

private slots:
    void onAccountAliasChanged(const QDBusMessage &message);
    void onAccountStatusChanged(const QDBusMessage &message);
    void onAccountSignedOn(const QDBusMessage &message);

private:
    friend class PidginService;
    QVariantList call(const QString &method, const QVariantList &args,
                      const QString &expectedSignature);
    QString serviceIdFor(qint32 account) const;
    qint32 callInt(const QString &method, const QVariantList &args);
    bool isSignedOn(qint32 account);
    void writeStatusMessage(qint32 account, const QString &name);
    QString statusMessage(qint32 account);
    void connectSignal(const QString &signal, const char *slot, bool on);

    QDBusConnection m_bus;
    NameKind m_kind;
    QString m_accountName;
    QString m_protocolId;
    std::optional<QString> m_pending;
};

} // namespace Velmira
