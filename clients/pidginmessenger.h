#pragma once

#include "dbusclient.h"

#include <QDBusMessage>

#include <optional>

namespace Velmira {

// Drives a running Pidgin (or Finch, which offers the same service) through libpurple's D-Bus
// service, on one account: the one named by user name and protocol id, else the first active
// account of a protocol whose contacts are known to see the rotated name (XMPP), else the first
// active account. An IRC account is refused at Start: libpurple offers no way to send a NICK from
// outside, and IRC contacts see neither status message nor alias. On the protocols not measured
// the user is warned once that Velmira cannot tell whether contacts see the name.
//
// The display name is either the account's status message (what contacts see: XMPP contacts
// never see the alias) or its alias. Both may be empty, so an empty original is put back like any
// other. Status messages are written through a saved status of Velmira's own,
// RotationStatusTitle, applied to the account alone: the user's saved statuses are never written.
// It copies the availability of the user's current saved status, so a change the user makes in
// Pidgin meanwhile is followed. The end of a rotation applies the user's current saved status to
// the account again (unless it is an offline one and the account was signed on by hand) and
// deletes Velmira's.
//
// Handles are libpurple's for this run of Pidgin and are kept; what can change (the account's
// active status, the user's availability) is learnt from Pidgin's signals, so a steady write
// costs two calls and reading the name back one.
class PidginMessenger : public DBusClient
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

    // An empty `accountName` picks the first active account of a protocol whose contacts see the
    // status message, else the first active account; an empty `protocolId` (e.g. "prpl-jabber")
    // matches any protocol.
    explicit PidginMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                             NameKind kind = NameKind::StatusMessage,
                             const QString &accountName = {}, const QString &protocolId = {},
                             QObject *parent = nullptr);

    qint32 localState() override;
    QString localFriendlyName() override;
    void setFriendlyName(const QString &name) override;
    void endRotation(const std::optional<QString> &original) override;
    QString clientName() const override;
    QString identity() override;
    bool emptyNameIsAName() const override { return true; }
    bool reportsSignOn() const override { return true; }
    std::optional<QString> refusalAtStart() override;
    QString warningAtStart() override;

private slots:
    void onAliasChanged(const QDBusMessage &message);
    void onStatusChanged(const QDBusMessage &message);
    void onSignedOn(const QDBusMessage &message);
    void onSignedOff(const QDBusMessage &message);
    void onSavedStatusChanged();

private:
    QVariantList purple(const QString &method, const QVariantList &args = {},
                        const QString &signature = {});
    qint32 purpleInt(const QString &method, const QVariantList &args = {});
    QString purpleString(const QString &method, const QVariantList &args = {});
    // The account's handle, found on first use.
    qint32 account();
    QString protocol();
    bool isOurs(const QDBusMessage &message);
    void writeStatusMessage(const QString &name);

    NameKind m_kind;
    QString m_accountName;
    QString m_protocolId;
    qint32 m_account = 0;
    QString m_protocol; // the account's protocol id, once asked
    QString m_identity;
    qint32 m_activeStatus = 0; // the account's active status, 0 until known
    // The message last written, while nothing but Velmira can have changed it since: the user
    // choosing or editing a status comes as SavedstatusChanged, a sign-on or sign-off as theirs.
    std::optional<QString> m_written;
    qint32 m_ownStatus = 0;     // Velmira's saved status, 0 until made or found
    qint32 m_ownPrimitive = -1; // the availability it was given
    qint32 m_availability = -1; // of the user's current saved status; -1: to be read
};

} // namespace Velmira
