#include "hexchatmessenger.h"

#include <QTimer>

namespace Velmira {

namespace {
// Where HexChat answers on the bus, besides its bus name.
const QString RemotePath = QStringLiteral("/org/hexchat/Remote");
const QString ConnectionInterface = QStringLiteral("org.hexchat.connection");
const QString PluginInterface = QStringLiteral("org.hexchat.plugin");

// The channels list's flags of a server tab.
constexpr qint32 FlagConnected = 1 << 0;
constexpr qint32 FlagConnecting = 1 << 1;
constexpr qint32 FlagSignedIn = 1 << 3; // the end of the message of the day was seen

// The server lines the client listens to: its own NICK echo, the error numerics a server answers
// a NICK with, the end of sign-on (no MOTD, or its end) and ISUPPORT.
const QStringList HookedCommands{
    QStringLiteral("NICK"), QStringLiteral("431"), QStringLiteral("432"), QStringLiteral("433"),
    QStringLiteral("436"),  QStringLiteral("437"), QStringLiteral("438"), QStringLiteral("447"),
    QStringLiteral("484"),  QStringLiteral("376"), QStringLiteral("422"), QStringLiteral("005")};
const QString DisconnectedEvent = QStringLiteral("Disconnected");

QString withoutColon(const QString &text)
{
    return text.startsWith(QLatin1Char(':')) ? text.mid(1) : text;
}

bool sameNick(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

HexchatMessenger::HexchatMessenger(const QDBusConnection &bus, const QString &network,
                                   QObject *parent)
    : DBusClient(bus, ServiceName, parent), m_network(network)
{}

HexchatMessenger::~HexchatMessenger()
{
    // A HexChat run after the one this client talked to may hand out the same path.
    if (m_path.isEmpty() || hasGone())
        return;
    // Ends the hooks; HexChat would otherwise keep sending their lines to this connection.
    try {
        call(m_path, ConnectionInterface, QStringLiteral("Disconnect"));
    } catch (const MessengerError &) {
    }
}

QString HexchatMessenger::clientName() const
{
    return QStringLiteral("HexChat");
}

QString HexchatMessenger::pluginPath()
{
    if (!m_path.isEmpty())
        return m_path;
    const QString path = call(RemotePath, ConnectionInterface, QStringLiteral("Connect"),
                              {QStringLiteral("velmira"), QStringLiteral("Velmira"),
                               tr("Rotates the nickname"), QStringLiteral("1")},
                              QStringLiteral("s"))
                             .constFirst()
                             .toString();
    // Subscribed before the hooks exist, so that no line they catch is missed.
    m_path = path;
    subscribe(path, PluginInterface, QStringLiteral("ServerSignal"),
              SLOT(onServerSignal(QStringList, QStringList, uint, uint)));
    subscribe(path, PluginInterface, QStringLiteral("PrintSignal"),
              SLOT(onPrintSignal(QStringList, uint, uint)));
    for (const QString &command : HookedCommands)
        m_hooks.insert(plugin(QStringLiteral("HookServer"), {command, 0, 0}, QStringLiteral("u"))
                           .constFirst()
                           .toUInt());
    m_hooks.insert(
        plugin(QStringLiteral("HookPrint"), {DisconnectedEvent, 0, 0}, QStringLiteral("u"))
            .constFirst()
            .toUInt());
    // The server states its NICKLEN at sign-on; a signed-in network is asked again.
    if (localState() == MessengerStateSignedIn) {
        enterServer();
        plugin(QStringLiteral("Command"), {QStringLiteral("quote VERSION")});
    }
    return m_path;
}

QVariantList HexchatMessenger::plugin(const QString &method, const QVariantList &args,
                                      const QString &signature)
{
    try {
        return call(pluginPath(), PluginInterface, method, args, signature);
    } catch (const MessengerError &error) {
        // HexChat gives one plugin object per bus connection: another client of this process
        // that disconnected has ended it for both. Connected again, once.
        if (error.code() != ResultNoInterface)
            throw;
        m_path.clear();
        m_hooks.clear();
        m_context = 0;
        return call(pluginPath(), PluginInterface, method, args, signature);
    }
}

std::optional<HexchatMessenger::ServerTab> HexchatMessenger::serverTab()
{
    const uint list =
        plugin(QStringLiteral("ListGet"), {QStringLiteral("channels")}, QStringLiteral("u"))
            .constFirst()
            .toUInt();
    const auto text = [&](const char *field) {
        return plugin(QStringLiteral("ListStr"), {list, QString::fromLatin1(field)},
                      QStringLiteral("s"))
            .constFirst()
            .toString();
    };
    const auto number = [&](const char *field) {
        return plugin(QStringLiteral("ListInt"), {list, QString::fromLatin1(field)},
                      QStringLiteral("i"))
            .constFirst()
            .toInt();
    };
    std::optional<ServerTab> chosen;
    try {
        while (
            !chosen &&
            plugin(QStringLiteral("ListNext"), {list}, QStringLiteral("b")).constFirst().toBool()) {
            if (number("type") != 1) // a server tab
                continue;
            ServerTab tab{text("network"), number("flags")};
            if (tab.name.isEmpty())
                tab.name = text("server");
            if (m_network.isEmpty() ? (tab.flags & FlagConnected) != 0
                                    : sameNick(tab.name, m_network))
                chosen = tab;
        }
    } catch (const MessengerError &) {
        plugin(QStringLiteral("ListFree"), {list});
        throw;
    }
    plugin(QStringLiteral("ListFree"), {list});
    if (chosen && m_tabName.isEmpty())
        m_tabName = chosen->name;
    return chosen;
}

void HexchatMessenger::enterServer()
{
    if (m_tabName.isEmpty() && !serverTab())
        throw MessengerError(ResultNoInterface,
                             m_network.isEmpty()
                                 ? tr("HexChat is not connected to any network")
                                 : tr("HexChat has no network \"%1\"").arg(m_network));
    // Each line HexChat hands to a hook moves the connection's context: it is set every time.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_context == 0)
            m_context =
                plugin(QStringLiteral("FindContext"), {m_tabName, QString()}, QStringLiteral("u"))
                    .constFirst()
                    .toUInt();
        if (m_context != 0 && plugin(QStringLiteral("SetContext"), {m_context}, QStringLiteral("b"))
                                  .constFirst()
                                  .toBool())
            return;
        m_context = 0; // the tab was closed: found again
    }
    throw MessengerError(ResultNoInterface,
                         tr("HexChat has no tab of the network \"%1\"").arg(m_tabName));
}

qint32 HexchatMessenger::localState()
{
    const std::optional<ServerTab> tab = serverTab();
    if (!tab || (tab->flags & (FlagConnected | FlagConnecting)) == 0)
        return MessengerStateOffline;
    if ((tab->flags & FlagConnecting) != 0 || (tab->flags & FlagSignedIn) == 0)
        return MessengerStateConnecting;
    return MessengerStateSignedIn;
}

QString HexchatMessenger::localFriendlyName()
{
    if (!m_nick) {
        enterServer();
        m_nick = plugin(QStringLiteral("GetInfo"), {QStringLiteral("nick")}, QStringLiteral("s"))
                     .constFirst()
                     .toString();
    }
    return *m_nick;
}

void HexchatMessenger::setFriendlyName(const QString &name)
{
    const QString current = localFriendlyName(); // known first, to recognise the echo
    if (current == name) {
        // The server does not answer a change to the nick in force.
        QTimer::singleShot(0, this, [this, name] {
            emit changeConfirmed(name);
            emit OnLocalFriendlyNameChangeResult(ResultOk, m_tabName, name);
        });
        return;
    }
    enterServer();
    plugin(QStringLiteral("Command"), {QStringLiteral("nick ") + name});
    m_sent = name;
}

std::optional<QString> HexchatMessenger::checkName(const QString &name) const
{
    if (name.isEmpty())
        return tr("an IRC nickname cannot be empty");
    if (name.contains(QLatin1Char(' ')))
        return tr("an IRC nickname cannot contain a space");
    if (m_nickLength && name.size() > *m_nickLength)
        return tr("the network allows nicknames of at most %n characters", nullptr, *m_nickLength);
    return std::nullopt;
}

QString HexchatMessenger::identity()
{
    if (m_tabName.isEmpty())
        enterServer();
    return QStringLiteral("hexchat:") + m_tabName;
}

void HexchatMessenger::refused(int numeric, const QString &reason)
{
    const QString nick = std::exchange(m_sent, QString());
    emit changeRefused(nick, reason);
    emit OnLocalFriendlyNameChangeResult(refusalCode(numeric), m_tabName,
                                         m_nick.value_or(QString()));
}

void HexchatMessenger::onServerSignal(const QStringList &word, const QStringList &, uint hook, uint)
{
    if (!m_hooks.contains(hook) || word.size() < 2)
        return;
    const QString command = word.at(1);
    if (command == QLatin1String("NICK") && word.size() >= 3) {
        // ":old!user@host NICK :new": someone's nick change; ours when `old` is our nick.
        const QString from = withoutColon(word.at(0)).section(QLatin1Char('!'), 0, 0);
        const QString to = withoutColon(word.at(2));
        if (!m_nick || !sameNick(from, *m_nick))
            return;
        m_nick = to;
        if (to == m_sent) {
            m_sent.clear();
            emit changeConfirmed(to);
        }
        emit OnLocalFriendlyNameChangeResult(ResultOk, m_tabName, from);
        return;
    }
    if (command == QLatin1String("005")) {
        for (const QString &token : word)
            if (token.startsWith(QLatin1String("NICKLEN=")))
                m_nickLength = token.mid(8).toInt();
        return;
    }
    if (command == QLatin1String("376") || command == QLatin1String("422")) {
        // ":server 376 <nick> :End of MOTD": signed on, under that nick.
        if (word.size() >= 3)
            m_nick = word.at(2);
        emit signedOn();
        return;
    }
    // An error numeric: ":server 433 <current nick> <refused nick> :<text>".
    if (m_sent.isEmpty() || word.size() < 4 || !sameNick(withoutColon(word.at(3)), m_sent))
        return;
    const int numeric = command.toInt();
    switch (numeric) {
    case 433:
        refused(numeric, tr("already in use"));
        break;
    case 432:
        refused(numeric, tr("not a valid nickname there"));
        break;
    case 436:
    case 437:
        refused(numeric, tr("temporarily unavailable"));
        break;
    default:
        refused(numeric, withoutColon(word.mid(4).join(QLatin1Char(' '))));
    }
}

void HexchatMessenger::onPrintSignal(const QStringList &, uint hook, uint context)
{
    // "Disconnected" is printed in every tab of its network: the one tab Velmira uses tells.
    if (!m_hooks.contains(hook) || (m_context != 0 && context != m_context))
        return;
    m_nick.reset(); // HexChat may change it by itself while disconnected
    emit signedOff();
}

} // namespace Velmira
