#include "hexchatmessenger.h"

#include "dbusmessenger.h"

#include <utility>

namespace Velmira {

namespace {
// Where HexChat answers on the bus, besides its bus name.
namespace HexchatBus {
inline constexpr QLatin1String RemotePath("/org/hexchat/Remote");
inline constexpr QLatin1String ConnectionInterface("org.hexchat.connection");
inline constexpr QLatin1String PluginInterface("org.hexchat.plugin");
} // namespace HexchatBus

const QString ServerSignal = QStringLiteral("ServerSignal");

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

QString withoutColon(const QString &text)
{
    return text.startsWith(QLatin1Char(':')) ? text.mid(1) : text;
}

// The nick of a ":nick!user@host" prefix.
QString prefixNick(const QString &prefix)
{
    return withoutColon(prefix).section(QLatin1Char('!'), 0, 0);
}

bool equalIgnoringCase(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

class HexchatService : public MessengerService
{
public:
    HexchatService(HexchatMessenger *owner, const QString &network)
        : m_owner(owner), m_network(network)
    {}
    void setFriendlyName(const QString &name) override { m_owner->sendNick(name, false); }
    QString friendlyName() override { return m_owner->localFriendlyName(); }
    QString serviceId() const override { return QStringLiteral("irc:") + m_network; }

private:
    // The service lives no longer than one step of the program, inside which the client stays.
    HexchatMessenger *m_owner;
    QString m_network;
};

namespace {
class HexchatServices : public MessengerServices
{
public:
    HexchatServices(HexchatMessenger *owner, const QString &network)
        : m_owner(owner), m_network(network)
    {}
    std::shared_ptr<MessengerService> primaryService() override
    {
        return std::make_shared<HexchatService>(m_owner, m_network);
    }

private:
    HexchatMessenger *m_owner;
    QString m_network;
};
} // namespace

HexchatMessenger::HexchatMessenger(const QDBusConnection &bus, const QString &network,
                                   QObject *parent)
    : Messenger(parent), m_bus(bus), m_network(network),
      m_watcher(ServiceName, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &HexchatMessenger::onOwnerChanged);
}

HexchatMessenger::~HexchatMessenger()
{
    if (m_path.isEmpty())
        return;
    // Ends the hooks; HexChat would otherwise keep sending their lines to this connection.
    try {
        MessengerBus::call(m_bus, ServiceName, m_path, HexchatBus::ConnectionInterface,
                           QStringLiteral("Disconnect"), {}, QString());
    } catch (const MessengerError &) {
    }
}

bool HexchatMessenger::isRunning(const QDBusConnection &bus)
{
    return DBusMessenger::isRunning(bus, ServiceName);
}

void HexchatMessenger::onOwnerChanged()
{
    // A new run of HexChat (or none): its object paths are not ours.
    if (!m_path.isEmpty())
        m_bus.disconnect(ServiceName, m_path, HexchatBus::PluginInterface, ServerSignal, this,
                         SLOT(onServerSignal(QStringList, QStringList, uint, uint)));
    m_path.clear();
    m_hooks.clear();
    m_pending.reset();
    m_nickLength.reset();
}

QString HexchatMessenger::pluginPath()
{
    if (!m_path.isEmpty())
        return m_path;
    const QString path =
        MessengerBus::call(m_bus, ServiceName, HexchatBus::RemotePath,
                           HexchatBus::ConnectionInterface, QStringLiteral("Connect"),
                           {QStringLiteral("velmira"), QStringLiteral("Velmira"),
                            tr("Rotates the nickname"), QStringLiteral("1")},
                           QStringLiteral("s"))
            .constFirst()
            .toString();
    m_bus.connect(ServiceName, path, HexchatBus::PluginInterface, ServerSignal, this,
                  SLOT(onServerSignal(QStringList, QStringList, uint, uint)));
    m_path = path;
    for (const QString &command : HookedCommands)
        m_hooks.insert(call(QStringLiteral("HookServer"), {command, 0, 0}, QStringLiteral("u"))
                           .constFirst()
                           .toUInt());
    // The server states its NICKLEN at sign-on; a signed-in network is asked again.
    if (const std::optional<ServerTab> tab = serverTab();
        tab && (tab->flags & (FlagConnected | FlagSignedIn)) == (FlagConnected | FlagSignedIn)) {
        enterServer(tab->name);
        call(QStringLiteral("Command"), {QStringLiteral("quote VERSION")}, QString());
    }
    return m_path;
}

QVariantList HexchatMessenger::call(const QString &method, const QVariantList &args,
                                    const QString &expectedSignature)
{
    try {
        const QString path = pluginPath();
        return MessengerBus::call(m_bus, ServiceName, path, HexchatBus::PluginInterface, method,
                                  args, expectedSignature);
    } catch (MessengerError &error) {
        if (error.code() == ResultNoInterface) {
            onOwnerChanged();
            error.withUserMessage(tr("HexChat is not running"));
        }
        throw;
    }
}

std::optional<HexchatMessenger::ServerTab> HexchatMessenger::serverTab()
{
    const uint list =
        call(QStringLiteral("ListGet"), {QStringLiteral("channels")}, QStringLiteral("u"))
            .constFirst()
            .toUInt();
    std::optional<ServerTab> chosen;
    try {
        while (
            !chosen &&
            call(QStringLiteral("ListNext"), {list}, QStringLiteral("b")).constFirst().toBool()) {
            if (call(QStringLiteral("ListInt"), {list, QStringLiteral("type")}, QStringLiteral("i"))
                    .constFirst()
                    .toInt() != 1)
                continue;
            ServerTab tab;
            tab.name = call(QStringLiteral("ListStr"), {list, QStringLiteral("network")},
                            QStringLiteral("s"))
                           .constFirst()
                           .toString();
            if (tab.name.isEmpty())
                tab.name = call(QStringLiteral("ListStr"), {list, QStringLiteral("server")},
                                QStringLiteral("s"))
                               .constFirst()
                               .toString();
            tab.flags = call(QStringLiteral("ListInt"), {list, QStringLiteral("flags")},
                             QStringLiteral("i"))
                            .constFirst()
                            .toInt();
            if (m_network.isEmpty() ? (tab.flags & FlagConnected) != 0
                                    : equalIgnoringCase(tab.name, m_network))
                chosen = tab;
        }
    } catch (const MessengerError &) {
        call(QStringLiteral("ListFree"), {list}, QString());
        throw;
    }
    call(QStringLiteral("ListFree"), {list}, QString());
    return chosen;
}

MessengerError HexchatMessenger::noNetwork() const
{
    const QString text = m_network.isEmpty() ? tr("HexChat is not connected to any network")
                                             : tr("HexChat has no network \"%1\"").arg(m_network);
    return MessengerError(ResultNoInterface, text);
}

void HexchatMessenger::enterServer(const QString &name)
{
    const uint context = call(QStringLiteral("FindContext"), {name, QString()}, QStringLiteral("u"))
                             .constFirst()
                             .toUInt();
    if (context == 0 ||
        !call(QStringLiteral("SetContext"), {context}, QStringLiteral("b")).constFirst().toBool())
        throw MessengerError(ResultNoInterface,
                             tr("HexChat has no tab of the network \"%1\"").arg(name));
}

QString HexchatMessenger::localFriendlyName()
{
    const std::optional<ServerTab> tab = serverTab();
    if (!tab)
        throw noNetwork();
    enterServer(tab->name);
    return call(QStringLiteral("GetInfo"), {QStringLiteral("nick")}, QStringLiteral("s"))
        .constFirst()
        .toString();
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

std::shared_ptr<MessengerServices> HexchatMessenger::services()
{
    const std::optional<ServerTab> tab = serverTab();
    if (!tab)
        throw noNetwork();
    return std::make_shared<HexchatServices>(this, tab->name);
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

QString HexchatMessenger::clientName() const
{
    return QStringLiteral("HexChat");
}

QString HexchatMessenger::identity()
{
    const std::optional<ServerTab> tab = serverTab();
    if (!tab)
        throw noNetwork();
    return QStringLiteral("hexchat:") + tab->name;
}

void HexchatMessenger::beginRotation()
{
    m_toldWaiting = false;
}

void HexchatMessenger::endRotation()
{
    m_deferred.reset();
}

void HexchatMessenger::restoreName(const QString &original)
{
    sendNick(original, true);
}

void HexchatMessenger::sendNick(const QString &nick, bool force)
{
    const std::optional<ServerTab> tab = serverTab();
    if (!tab)
        throw noNetwork();
    if ((tab->flags & (FlagConnected | FlagSignedIn)) != (FlagConnected | FlagSignedIn)) {
        // Offline HexChat changes its own nick without telling anyone, and a NICK sent during
        // sign-on is lost: the name waits for the end of sign-on.
        m_deferred = nick;
        return;
    }
    m_deferred.reset();
    if (m_pending && !force) {
        if (!m_toldWaiting)
            emit noticeForUser(tr("The server has not yet confirmed the nickname \"%1\": "
                                  "Velmira skips names until it has, so that no changes queue "
                                  "up and arrive after the rotation.")
                                   .arg(*m_pending));
        m_toldWaiting = true;
        return;
    }
    enterServer(tab->name);
    const QString current =
        call(QStringLiteral("GetInfo"), {QStringLiteral("nick")}, QStringLiteral("s"))
            .constFirst()
            .toString();
    if (!m_pending)
        m_sentFrom = current;
    if (!m_pending && current == nick) {
        // The server does not answer a change to the nick in force.
        emit OnLocalFriendlyNameChangeResult(ResultOk, QStringLiteral("irc:") + tab->name, current);
        return;
    }
    enterServer(tab->name);
    call(QStringLiteral("Command"), {QStringLiteral("nick ") + nick}, QString());
    m_pending = nick;
    m_sentOn = tab->name;
}

void HexchatMessenger::finishChange(qint32 hr, const QString &previous)
{
    m_pending.reset();
    emit OnLocalFriendlyNameChangeResult(hr, QStringLiteral("irc:") + m_sentOn, previous);
}

void HexchatMessenger::onServerSignal(const QStringList &word, const QStringList &, uint hook, uint)
{
    if (!m_hooks.contains(hook) || word.size() < 2)
        return;
    const QString command = word.at(1);
    if (command == QLatin1String("NICK") && word.size() >= 3) {
        const QString from = prefixNick(word.at(0));
        const QString to = withoutColon(word.at(2));
        if (!m_pending || !equalIgnoringCase(from, m_sentFrom))
            return;
        m_sentFrom = to;
        if (to == *m_pending)
            finishChange(ResultOk, from);
        return;
    }
    if (command == QLatin1String("005")) {
        for (const QString &token : word)
            if (token.startsWith(QLatin1String("NICKLEN=")))
                m_nickLength = token.mid(8).toInt();
        return;
    }
    if (command == QLatin1String("376") || command == QLatin1String("422")) {
        // Signed on: the nick in force now is the user's own, then the kept name follows.
        emit signedOn();
        if (const std::optional<QString> deferred = std::exchange(m_deferred, std::nullopt)) {
            try {
                sendNick(*deferred, true);
            } catch (const MessengerError &error) {
                emit noticeForUser(tr("Could not send the nickname \"%1\": %2")
                                       .arg(*deferred, error.userMessage()));
            }
        }
        return;
    }
    // An error numeric: ":server 433 <current nick> <refused nick> :<text>".
    if (!m_pending || word.size() < 4 || !equalIgnoringCase(withoutColon(word.at(3)), *m_pending))
        return;
    const int numeric = command.toInt();
    QString reason;
    switch (numeric) {
    case 433:
        reason = tr("already in use");
        break;
    case 432:
        reason = tr("not a valid nickname there");
        break;
    case 436:
    case 437:
        reason = tr("temporarily unavailable");
        break;
    default:
        reason = withoutColon(word.mid(4).join(QLatin1Char(' ')));
    }
    const QString refused = *m_pending;
    emit noticeForUser(tr("The server refused the nickname \"%1\": %2.").arg(refused, reason));
    finishChange(refusalCode(numeric), m_sentFrom);
}

} // namespace Velmira
