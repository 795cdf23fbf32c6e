#pragma once

#include "dbusclient.h"

#include <QTimer>

#include <optional>

namespace Velmira {

// Drives a running Konversation through its D-Bus service. The display name is the IRC nickname
// on one server: the one named at construction, else the first connected one. Everyone in every
// channel the user shares sees it change.
//
// A write sends NICK as a raw line. Nothing comes back: Konversation tells no one over D-Bus the
// nick in force, nor whether the server took a change. The nick stood for is the first of the
// nicknames of the server's identity in Konversation's configuration, the one it signs on with,
// until a change was sent; then the last one sent. Konversation sends one line every 1.5 s. The
// connected servers are polled (one small call a second) to learn sign-on and sign-off.
class KonversationMessenger : public DBusClient
{
    Q_OBJECT
public:
    // The bus name Konversation holds while it runs.
    static constexpr QLatin1String ServiceName{"org.kde.konversation"};
    static constexpr int SendIntervalMs = 1500; // its queue's default rate
    static constexpr int PollIntervalMs = 1000;

    // `server` as Konversation lists its connected servers (their address); empty: the first
    // connected one.
    explicit KonversationMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                                   const QString &server = {}, QObject *parent = nullptr);

    qint32 localState() override;
    QString localFriendlyName() override;
    void setFriendlyName(const QString &name) override;
    QString clientName() const override;
    // "konversation:" and the server's address.
    QString identity() override;
    // Empty, a space or another control character: none of these is a nickname.
    std::optional<QString> checkName(const QString &name) const override;
    bool reportsSignOn() const override { return true; }
    bool readsNameInForce() const override { return false; }
    int sendIntervalMs() const override { return SendIntervalMs; }
    std::optional<QString> refusalAtStart() override;
    QString warningAtStart() override;

    // The nick Konversation signs on with to `server`: the first of its identity's nicknames in
    // the konversationrc at `configPath`; empty when it names none.
    static QString signOnNick(const QString &configPath, const QString &server);

private:
    QStringList servers(const char *method);
    // The server in use; throws when none is named and none is connected.
    QString server();
    void poll();
    void connectedNow(bool connected);

    QString m_asked; // as named at construction
    QString m_server;
    std::optional<QString> m_sent;
    bool m_connected = false;
    bool m_polling = false;
    QTimer m_poll;
};

} // namespace Velmira
