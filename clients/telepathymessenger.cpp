#include "telepathymessenger.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace Velmira {

namespace {
const QString ManagerPath = QStringLiteral("/org/freedesktop/Telepathy/AccountManager");
const QString ManagerInterface = QStringLiteral("org.freedesktop.Telepathy.AccountManager");
const QString AccountInterface = QStringLiteral("org.freedesktop.Telepathy.Account");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString StatusProperty = QStringLiteral("ConnectionStatus");
const QString NormalizedProperty = QStringLiteral("NormalizedName");
const QString NicknameProperty = QStringLiteral("Nickname");

// The account's ConnectionStatus.
constexpr uint StatusConnected = 0;
constexpr uint StatusConnecting = 1;

// Account paths are /org/freedesktop/Telepathy/Account/<manager>/<protocol>/<name>.
bool isIrc(const QString &path)
{
    return path.section(QLatin1Char('/'), 6, 6) == QLatin1String("irc");
}

bool sameNick(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

TelepathyMessenger::TelepathyMessenger(const QDBusConnection &bus, const QString &account,
                                       QObject *parent)
    : DBusClient(bus, ServiceName, parent), m_wanted(account)
{
    m_patience.setSingleShot(true);
    m_patience.setInterval(RenamePatienceMs);
    connect(&m_patience, &QTimer::timeout, this, [this] {
        const QString nick = std::exchange(m_sent, QString());
        emit changeRefused(nick, tr("the server did not take it within %n seconds (most likely "
                                    "someone else has it; Telepathy does not say)",
                                    nullptr, RenamePatienceMs / 1000));
        emit OnLocalFriendlyNameChangeResult(ResultFail, m_account, m_nick.value_or(QString()));
    });
}

bool TelepathyMessenger::hasIrcAccount(const QDBusConnection &bus)
{
    // Asked only while it runs: a call would start it.
    if (!isRunning(bus, ServiceName))
        return false;
    try {
        TelepathyMessenger probe(bus);
        return !probe.account().isEmpty();
    } catch (const MessengerError &) {
        return false;
    }
}

QString TelepathyMessenger::clientName() const
{
    return QStringLiteral("Telepathy");
}

QVariantMap TelepathyMessenger::accountProperties(const QString &path)
{
    return qdbus_cast<QVariantMap>(call(path, PropertiesInterface, QStringLiteral("GetAll"),
                                        {AccountInterface}, QStringLiteral("a{sv}"))
                                       .constFirst());
}

QString TelepathyMessenger::account()
{
    if (!m_account.isEmpty())
        return m_account;
    const QVariant valid =
        call(ManagerPath, PropertiesInterface, QStringLiteral("Get"),
             {ManagerInterface, QStringLiteral("ValidAccounts")}, QStringLiteral("v"))
            .constFirst();
    QString chosen;
    for (const QDBusObjectPath &object :
         qdbus_cast<QList<QDBusObjectPath>>(qvariant_cast<QDBusVariant>(valid).variant())) {
        const QString path = object.path();
        if (m_wanted.isEmpty() && !isIrc(path))
            continue;
        const QVariantMap properties = accountProperties(path);
        if (!m_wanted.isEmpty()) {
            if (path == m_wanted ||
                properties.value(QStringLiteral("DisplayName")).toString() == m_wanted) {
                if (!isIrc(path))
                    throw MessengerError(ResultNoInterface, path,
                                         tr("The Telepathy account \"%1\" is not an IRC account: "
                                            "Velmira changes IRC nicknames only.")
                                             .arg(m_wanted));
                chosen = path;
                break;
            }
        } else if (properties.value(QStringLiteral("Enabled")).toBool()) {
            if (chosen.isEmpty())
                chosen = path;
            if (properties.value(StatusProperty).toUInt() == StatusConnected) {
                chosen = path;
                break;
            }
        }
    }
    if (chosen.isEmpty())
        throw MessengerError(ResultNoInterface, m_wanted,
                             m_wanted.isEmpty()
                                 ? tr("Telepathy has no enabled IRC account.")
                                 : tr("Telepathy has no account \"%1\".").arg(m_wanted));
    // Subscribed before its state is read, so that no change is missed.
    subscribe(chosen, AccountInterface, QStringLiteral("AccountPropertyChanged"),
              SLOT(onAccountChanged(QVariantMap)));
    m_account = chosen;
    return m_account;
}

qint32 TelepathyMessenger::localState()
{
    if (!m_status)
        m_status = accountProperties(account()).value(StatusProperty).toUInt();
    if (*m_status == StatusConnected)
        return MessengerStateSignedIn;
    return *m_status == StatusConnecting ? MessengerStateConnecting : MessengerStateOffline;
}

void TelepathyMessenger::nickInForce(const QString &normalized, const QString &cased)
{
    // The self ID is lower-case: the nick as the user wrote it stands for it when it is the same.
    for (const QString &candidate : {m_sent, cased, m_nick.value_or(QString())}) {
        if (!candidate.isEmpty() && sameNick(candidate, normalized)) {
            m_nick = candidate;
            return;
        }
    }
    m_nick = normalized;
}

QString TelepathyMessenger::localFriendlyName()
{
    if (!m_nick) {
        const QVariantMap properties = accountProperties(account());
        nickInForce(properties.value(NormalizedProperty).toString(),
                    properties.value(NicknameProperty).toString());
    }
    return *m_nick;
}

void TelepathyMessenger::setFriendlyName(const QString &name)
{
    const QString current = localFriendlyName();
    // The account's nickname: Mission Control renames the connection to it, and it is the nick
    // Polari shows and sets itself, so the two never pull in different directions.
    call(account(), PropertiesInterface, QStringLiteral("Set"),
         {AccountInterface, NicknameProperty, QVariant::fromValue(QDBusVariant(name))});
    if (sameNick(current, name)) {
        // The self ID does not change: nothing would confirm it.
        m_nick = name;
        QTimer::singleShot(0, this, [this, name, current] {
            emit changeConfirmed(name);
            emit OnLocalFriendlyNameChangeResult(ResultOk, m_account, current);
        });
        return;
    }
    m_sent = name;
    m_patience.start();
}

std::optional<QString> TelepathyMessenger::checkName(const QString &name) const
{
    if (name.isEmpty())
        return tr("an IRC nickname cannot be empty");
    if (name.contains(QLatin1Char(' ')))
        return tr("an IRC nickname cannot contain a space");
    return std::nullopt;
}

QString TelepathyMessenger::identity()
{
    return QStringLiteral("telepathy:") + account();
}

std::optional<QString> TelepathyMessenger::refusalAtStart()
{
    try {
        account();
    } catch (const MessengerError &error) {
        return error.userMessage();
    }
    return std::nullopt;
}

void TelepathyMessenger::onAccountChanged(const QVariantMap &properties)
{
    bool signedOnNow = false;
    if (properties.contains(StatusProperty)) {
        const bool was = m_status == StatusConnected;
        m_status = properties.value(StatusProperty).toUInt();
        const bool is = m_status == StatusConnected;
        if (was != is)
            m_nick.reset(); // it signs on with the account's nickname, which may differ
        if (was && !is)
            emit signedOff();
        signedOnNow = is && !was;
    }
    const QString normalized = properties.value(NormalizedProperty).toString();
    if (!normalized.isEmpty() && m_status == StatusConnected) {
        const std::optional<QString> before = m_nick;
        nickInForce(normalized);
        const bool confirmed = !m_sent.isEmpty() && sameNick(normalized, m_sent);
        if (confirmed) {
            m_patience.stop();
            m_sent.clear();
            emit changeConfirmed(*m_nick);
        }
        if (confirmed || (before && m_nick != before))
            emit OnLocalFriendlyNameChangeResult(ResultOk, m_account, before.value_or(QString()));
    }
    if (signedOnNow)
        emit signedOn();
}

} // namespace Velmira
