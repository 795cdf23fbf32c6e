#pragma once

#include "dbusclient.h"

#include <QSet>
#include <QStringList>

#include <optional>

namespace Velmira {

// Drives a running HexChat through its D-Bus service. The display name is the IRC nickname on
// one network: the one named at construction, else the first connected one. Everyone in every
// channel the user shares sees it change.
//
// A write sends NICK; the server's echo of it confirms the change, an error numeric (a nick in
// use, say) refuses it. The nick in force is followed through those echoes, so reading it back
// costs no call. Sign-on is the end of the message of the day; sign-off HexChat's
// "Disconnected".
class HexchatMessenger : public DBusClient
{
    Q_OBJECT
public:
    // The bus name HexChat holds while it runs.
    static constexpr QLatin1String ServiceName{"org.hexchat.service"};

    // An empty `network` picks the first connected network.
    explicit HexchatMessenger(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                              const QString &network = {}, QObject *parent = nullptr);
    ~HexchatMessenger() override;

    qint32 localState() override;
    QString localFriendlyName() override;
    void setFriendlyName(const QString &name) override;
    QString clientName() const override;
    // "hexchat:" and the network's name.
    QString identity() override;
    // Empty, a space, longer than the network's NICKLEN: none of these is a nickname.
    std::optional<QString> checkName(const QString &name) const override;
    bool confirmsChanges() const override { return true; }
    bool reportsSignOn() const override { return true; }

    // The failure code of a change the server refused with the error numeric `numeric`.
    static qint32 refusalCode(int numeric) { return qint32(0x80040000u | quint32(numeric)); }
    // The network's NICKLEN, once its ISUPPORT reply has been seen.
    std::optional<int> nickLength() const { return m_nickLength; }

private slots:
    void onServerSignal(const QStringList &word, const QStringList &wordEol, uint hook,
                        uint context);
    void onPrintSignal(const QStringList &word, uint hook, uint context);

private:
    struct ServerTab
    {
        QString name; // network name, else server name: what FindContext takes
        qint32 flags = 0;
    };
    // The plugin object of this run of HexChat, connected (and hooked) on first use.
    QString pluginPath();
    QVariantList plugin(const QString &method, const QVariantList &args = {},
                        const QString &signature = {});
    std::optional<ServerTab> serverTab();
    // Makes the network's server the context of the next command or query.
    void enterServer();
    // The last nick sent was refused with the error numeric `numeric`.
    void refused(int numeric, const QString &reason);

    QString m_network; // as asked for; empty: the first connected network
    QString m_tabName; // the network's tab, once found
    uint m_context = 0;
    QString m_path;
    QSet<uint> m_hooks;
    std::optional<QString> m_nick; // in force, while known
    QString m_sent;                // the last nick sent
    std::optional<int> m_nickLength;
};

} // namespace Velmira
