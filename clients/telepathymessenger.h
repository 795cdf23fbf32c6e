#pragma once

#include "dbusclient.h"

#include <QTimer>

#include <optional>

namespace Velmira {

// Drives Telepathy, the stack under GNOME's Polari, through its account manager (Mission
// Control). The display name is the IRC nickname of one IRC account: the one named at
// construction (object path or display name), else the first enabled and connected one, else
// the first enabled one. Everyone in every channel the user shares sees it change.
//
// A write sets the account's Nickname, which Mission Control passes to the connection as a
// NICK; Polari running keeps it (it puts its own nick back only when it starts, and once after it
// had to sign on as "nick_"). The connection's normalized self ID (lower-case), which the account
// reports as NormalizedName, confirms the change when it becomes the name sent. Telepathy says
// nothing when the server refuses a nick: a change not confirmed within RenamePatienceMs counts as
// refused. Sign-on and sign-off follow the account's ConnectionStatus.
class TelepathyMessenger : public DBusClient
{
    Q_OBJECT
public:
    // The bus name Mission Control holds while it runs (it is started by the bus on first use).
    static constexpr QLatin1String ServiceName{"org.freedesktop.Telepathy.AccountManager"};
    // A rename not confirmed within this long was refused by the server.
    static constexpr int RenamePatienceMs = 10000;
    // telepathy-idle sends one line every 2 s, whatever the account says.
    static constexpr int IdleSendIntervalMs = 2000;

    // An empty `account` picks the first enabled IRC account, a connected one first.
    explicit TelepathyMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                                const QString &account = {}, QObject *parent = nullptr);
    // Whether Mission Control runs and has an enabled IRC account.
    static bool hasIrcAccount(const QDBusConnection &bus);

    qint32 localState() override;
    QString localFriendlyName() override;
    void setFriendlyName(const QString &name) override;
    QString clientName() const override;
    // "telepathy:" and the account's object path.
    QString identity() override;
    // Empty or with a space: not a nickname.
    std::optional<QString> checkName(const QString &name) const override;
    bool confirmsChanges() const override { return true; }
    bool reportsSignOn() const override { return true; }
    int sendIntervalMs() const override { return IdleSendIntervalMs; }
    std::optional<QString> refusalAtStart() override;

private slots:
    void onAccountChanged(const QVariantMap &properties);

private:
    // The account's object path, chosen and subscribed to on first use; throws when there is none.
    QString account();
    QVariantMap accountProperties(const QString &path);
    void nickInForce(const QString &normalized, const QString &cased = {});

    QString m_wanted; // as asked for; empty: the first IRC account
    QString m_account;
    std::optional<uint> m_status;  // the account's ConnectionStatus, once known
    std::optional<QString> m_nick; // in force, while known
    QString m_sent;                // the last nick sent, until confirmed or refused
    QTimer m_patience;
};

} // namespace Velmira
