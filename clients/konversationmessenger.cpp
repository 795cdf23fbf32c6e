#include "konversationmessenger.h"

#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QHash>
#include <QStandardPaths>

namespace Velmira {

namespace {
const QString IrcPath = QStringLiteral("/irc");
const QString IrcInterface = QStringLiteral("org.kde.konversation");

using Groups = QHash<QString, QHash<QString, QString>>;

// The groups of a KDE configuration file, each a map from key to value (as written).
Groups readGroups(const QString &path)
{
    Groups groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return groups;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            group = line.mid(1, line.size() - 2);
        else if (const qsizetype equals = line.indexOf(QLatin1Char('=')); equals > 0)
            groups[group].insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return groups;
}

QString configPath()
{
    return QStandardPaths::locate(QStandardPaths::GenericConfigLocation,
                                  QStringLiteral("konversationrc"));
}
} // namespace

KonversationMessenger::KonversationMessenger(const QDBusConnection &bus, const QString &server,
                                             QObject *parent)
    : DBusClient(bus, ServiceName, parent), m_asked(server), m_server(server)
{
    m_poll.setInterval(PollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &KonversationMessenger::poll);
    connect(this, &Messenger::gone, &m_poll, &QTimer::stop);
    m_poll.start();
}

QString KonversationMessenger::clientName() const
{
    return QStringLiteral("Konversation");
}

QStringList KonversationMessenger::servers(const char *method)
{
    return call(IrcPath, IrcInterface, QString::fromLatin1(method), {}, QStringLiteral("as"))
        .constFirst()
        .toStringList();
}

QString KonversationMessenger::server()
{
    if (m_server.isEmpty()) {
        m_server = servers("listConnectedServers").value(0);
        if (m_server.isEmpty())
            throw MessengerError(ResultNoInterface, tr("No connected server"),
                                 tr("Konversation is not connected to any server."));
    }
    return m_server;
}

void KonversationMessenger::connectedNow(bool connected)
{
    if (std::exchange(m_connected, connected) == connected)
        return;
    if (connected)
        emit signedOn();
    else
        emit signedOff();
}

void KonversationMessenger::poll()
{
    if (m_polling || hasGone())
        return;
    m_polling = true;
    auto *watcher = new QDBusPendingCallWatcher(
        callLater(IrcPath, IrcInterface, QStringLiteral("listConnectedServers")), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_polling = false;
        try {
            const QStringList connected =
                finish(*watcher, QStringLiteral("as")).constFirst().toStringList();
            if (m_server.isEmpty() && !connected.isEmpty())
                m_server = connected.constFirst();
            connectedNow(!m_server.isEmpty() && connected.contains(m_server));
        } catch (const MessengerError &) {
            // Told by the next call that matters, or by gone().
        }
    });
}

qint32 KonversationMessenger::localState()
{
    const QStringList connected = servers("listConnectedServers");
    if (m_server.isEmpty())
        m_server = connected.value(0);
    const bool signedIn = !m_server.isEmpty() && connected.contains(m_server);
    m_connected = signedIn; // the poll tells changes from here on
    if (signedIn)
        return MessengerStateSignedIn;
    // Known but not connected: connecting, or about to.
    const QStringList known = servers("listServers");
    return (m_server.isEmpty() ? !known.isEmpty() : known.contains(m_server))
               ? MessengerStateConnecting
               : MessengerStateOffline;
}

QString KonversationMessenger::signOnNick(const QString &configPath, const QString &server)
{
    const Groups groups = readGroups(configPath);
    // The server group that lists a server of that address names the identity.
    QString identity;
    for (auto group = groups.cbegin(); group != groups.cend() && identity.isEmpty(); ++group) {
        if (!group.key().startsWith(QLatin1String("ServerGroup ")))
            continue;
        for (const QString &entry :
             group->value(QStringLiteral("ServerList")).split(QLatin1Char(','), Qt::SkipEmptyParts))
            if (groups.value(entry).value(QStringLiteral("Server")) == server)
                identity = group->value(QStringLiteral("Identity"));
    }
    // Else (a server connected to by hand) Konversation's first identity.
    QString nicks = groups.value(QStringLiteral("Identity 0")).value(QStringLiteral("Nicknames"));
    for (auto group = groups.cbegin(); group != groups.cend(); ++group)
        if (!identity.isEmpty() && group.key().startsWith(QLatin1String("Identity ")) &&
            group->value(QStringLiteral("Name")) == identity)
            nicks = group->value(QStringLiteral("Nicknames"));
    return nicks.section(QLatin1Char(','), 0, 0).trimmed();
}

QString KonversationMessenger::localFriendlyName()
{
    if (m_sent)
        return *m_sent;
    // Before a server is connected: the nick of Konversation's first identity.
    const QString nick = signOnNick(configPath(), m_server);
    if (nick.isEmpty())
        throw MessengerError(ResultNoInterface, tr("No nickname in konversationrc"),
                             tr("Konversation's configuration names no nickname."));
    return nick;
}

void KonversationMessenger::setFriendlyName(const QString &name)
{
    const QString previous = m_sent.value_or(QString());
    call(IrcPath, IrcInterface, QStringLiteral("raw"), {server(), QStringLiteral("NICK ") + name});
    m_sent = name;
    QTimer::singleShot(0, this, [this, previous] {
        emit OnLocalFriendlyNameChangeResult(ResultOk, m_server, previous);
    });
}

QString KonversationMessenger::identity()
{
    return QStringLiteral("konversation:") + server();
}

std::optional<QString> KonversationMessenger::checkName(const QString &name) const
{
    if (name.isEmpty())
        return tr("an IRC nickname cannot be empty");
    if (name.contains(QLatin1Char(' ')))
        return tr("an IRC nickname cannot contain a space");
    // A line break would end the raw line and start another command.
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return tr("an IRC nickname cannot contain a control character");
    return std::nullopt;
}

std::optional<QString> KonversationMessenger::refusalAtStart()
{
    try {
        if (!m_asked.isEmpty() && !servers("listServers").contains(m_asked))
            return tr("Konversation has no server \"%1\".").arg(m_asked);
    } catch (const MessengerError &) {
        // Told by the first call of the rotation.
    }
    return std::nullopt;
}

QString KonversationMessenger::warningAtStart()
{
    QString original;
    try {
        original = signOnNick(configPath(), server());
    } catch (const MessengerError &) {
    }
    return tr("Konversation tells no one the nickname in force, nor whether a change was made: "
              "Velmira sends each name and cannot confirm it. It takes \"%1\", the nickname "
              "Konversation signs on with, for your own and puts it back after the rotation.")
        .arg(original);
}

} // namespace Velmira
