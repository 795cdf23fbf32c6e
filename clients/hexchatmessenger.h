#pragma once

#include "core/messenger.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QSet>
#include <QStringList>

#include <optional>

namespace Velmira {

// Drives a running HexChat through its D-Bus service. The primary service is one IRC network:
// the one named at construction, else the first connected one; its display name is the nickname
// there, which everyone in every shared channel sees.
//
// A write sends NICK and is unconfirmed until the server answers: its NICK echo raises
// OnLocalFriendlyNameChangeResult with ResultOk, an error numeric to the NICK raises it with
// refusalCode(numeric). While a change is unconfirmed a further write sends nothing: servers
// throttle nick changes and queue the excess silently, which would keep names arriving long after
// the rotation ended. Writes while the network is not signed in are kept and sent at sign-on.
// A refusal, and the first write that sent nothing, are told once through noticeForUser().
//
// HexChat numbers the objects it hands out afresh on each run, so after it restarts this client
// connects again on its next call.
class HexchatMessenger : public Messenger
{
    Q_OBJECT
public:
    // The bus name HexChat holds while it runs.
    static constexpr QLatin1String ServiceName{"org.hexchat.service"};

    // An empty `network` picks the first connected network.
    explicit HexchatMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                              const QString &network = {}, QObject *parent = nullptr);
    ~HexchatMessenger() override;

    QString localFriendlyName() override;
    qint32 localState() override;
    std::shared_ptr<MessengerServices> services() override;

    QString clientName() const override;
    // "hexchat:" and the network's name.
    QString identity() override;
    // Empty, a space, longer than the network's NICKLEN: none of these is a nickname.
    std::optional<QString> checkName(const QString &name) const override;
    void beginRotation() override;
    // A name still waiting for sign-on belongs to the rotation that ended: it is dropped.
    void endRotation() override;
    // Sends `original` even while a change is unconfirmed: putting the user's nick back must
    // not wait for a tick that will not come.
    void restoreName(const QString &original) override;

    // The failure code of a change the server refused with the error numeric `numeric`.
    static qint32 refusalCode(int numeric) { return qint32(0x80040000u | quint32(numeric)); }
    // The network's NICKLEN, once its ISUPPORT reply has been seen.
    std::optional<int> nickLength() const { return m_nickLength; }

    static bool isRunning(const QDBusConnection &bus);

private slots:
    void onServerSignal(const QStringList &word, const QStringList &wordEol, uint hook,
                        uint context);
    void onOwnerChanged();

private:
    friend class HexchatService;
    struct ServerTab
    {
        QString name; // network name, else server name: what FindContext takes
        qint32 flags = 0;
    };

    // The plugin object of this run of HexChat, connecting (and hooking) first when needed.
    QString pluginPath();
    QVariantList call(const QString &method, const QVariantList &args,
                      const QString &expectedSignature);
    std::optional<ServerTab> serverTab();
    MessengerError noNetwork() const;
    // Makes the chosen network's server the context of the next command or query.
    void enterServer(const QString &name);
    void sendNick(const QString &nick, bool force);
    void finishChange(qint32 hr, const QString &previous);

    QDBusConnection m_bus;
    QString m_network;
    QDBusServiceWatcher m_watcher;
    QString m_path;
    QSet<uint> m_hooks;
    QString m_sentFrom;                // the nick before the unconfirmed change
    std::optional<QString> m_pending;  // the unconfirmed change
    QString m_sentOn;                  // the network it was sent on
    std::optional<QString> m_deferred; // written while not signed in, sent at sign-on
    std::optional<int> m_nickLength;
    bool m_toldWaiting = false;
};

} // namespace Velmira
