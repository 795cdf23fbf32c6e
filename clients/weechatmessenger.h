#pragma once

#include "core/messenger.h"
#include "weechathome.h"

#include <QByteArray>
#include <QIODevice>
#include <QPointer>
#include <QStringList>

class QSocketNotifier;

namespace Velmira {

// Drives a running WeeChat. The display name is the IRC nickname on one of its servers; everyone
// in every channel the user shares sees it change.
//
// Changes are written as commands to WeeChat's FIFO (on by default), opened without blocking so
// that a FIFO left behind by a killed WeeChat is recognised at once, never waited on. Where the
// user has a relay of WeeChat's own protocol, Velmira also connects to it: it reads the nick in
// force there and learns from the server buffer's lines whether each change was made or refused.
// Without one nothing comes back: the nick in force cannot be read (the one WeeChat signs on with
// stands for it until a change was sent) and the rotation goes no faster than WeeChat's
// anti-flood delay lets lines out. The client is bound to one WeeChat process; gone() when it ends.
class WeechatMessenger : public Messenger
{
    Q_OBJECT
public:
    // Holds the relay's password; read from WeeChat's configuration when not set.
    static constexpr const char *PasswordVariable = "VELMIRA_WEECHAT_RELAY_PASSWORD";

    // `home` as WeeChat's --dir takes it (empty: where WeeChat looks itself); `server` as named
    // in WeeChat (empty: the first connected server the relay reports, else the first one that
    // connects at start); `relay` as WeechatHome::parseRelay takes it (empty: relay.conf's).
    // Connects to the relay, waiting a short time for its first answer.
    explicit WeechatMessenger(const QString &home = {}, const QString &server = {},
                              const QString &relay = {}, QObject *parent = nullptr);
    ~WeechatMessenger() override;

    qint32 localState() override;
    QString localFriendlyName() override;
    void setFriendlyName(const QString &name) override;
    QString clientName() const override;
    // "weechat:" and the server's name.
    QString identity() override;
    // Empty, a space or another control character, longer than the server's NICKLEN (when the
    // relay told it): none of these is a nickname.
    std::optional<QString> checkName(const QString &name) const override;
    bool confirmsChanges() const override { return m_relay != nullptr; }
    bool readsNameInForce() const override { return m_relay != nullptr; }
    int sendIntervalMs() const override;
    // No server, or one WeeChat does not have: nothing could be sent.
    std::optional<QString> refusalAtStart() override;
    QString warningAtStart() override;

    // The server whose nick is rotated; empty when WeeChat has none.
    const QString &server() const { return m_server; }
    // The relay in use; empty without one.
    const QString &relayAddress() const { return m_relayAddress; }
    // The server's NICKLEN, once the relay told it.
    std::optional<int> nickLength() const { return m_nickLength; }
    // The failure code of a change the server refused with the error numeric `numeric`.
    static qint32 refusalCode(int numeric) { return qint32(0x80040000u | quint32(numeric)); }

private:
    // Connects, logs in and learns the servers; on failure m_relayProblem says why.
    void connectRelay(const WeechatHome::Relay &relay);
    void send(const QByteArray &commands);
    void readRelay();
    // One object of a relay message: a reply to Velmira's requests or an event of a buffer.
    void onMessage(const QString &id, const QVariant &object);
    void onRelayClosed();
    // The server buffer's nick changed: confirms the change sent, when it is that one.
    void nickInForce(const QString &nick);
    // The last nick sent was refused with the error numeric `numeric`.
    void refused(int numeric);
    // The WeeChat process has ended: gone(), once.
    void leave();
    // Throws ResultGone when the WeeChat process has ended, or none ran at construction.
    void checkRunning() const;

    WeechatHome m_home;
    std::optional<WeechatHome::Fifo> m_fifo;
    QString m_server;
    QStringList m_servers; // as the relay listed them
    QPointer<QIODevice> m_relay;
    QString m_relayAddress;
    QString m_relayProblem; // why the relay in the configuration is not used
    bool m_relayLost = false;
    QByteArray m_incoming;
    bool m_serversRead = false;
    std::optional<QString> m_nick; // in force, as the relay tells it
    QString m_sent;                // the last nick sent
    std::optional<int> m_nickLength;
    int m_exitHandle = -1; // becomes readable when the WeeChat process ends
    QSocketNotifier *m_exitNotifier = nullptr;
    bool m_gone = false;
};

} // namespace Velmira
