#include "pidginmessenger.h"

#include <QDBusArgument>

namespace Velmira {

namespace {
// Where libpurple answers on the bus, besides its bus name.
const QString PurpleObjectPath = QStringLiteral("/im/pidgin/purple/PurpleObject");
const QString PurpleInterface = QStringLiteral("im.pidgin.purple.PurpleInterface");

// The protocol whose contacts were seen to receive each status message (the end-to-end test),
// and the one on which nothing Velmira can change reaches contacts.
const QString SeenProtocol = QStringLiteral("prpl-jabber");
const QString IrcProtocol = QStringLiteral("prpl-irc");

// libpurple's status primitives.
constexpr qint32 PrimitiveOffline = 1;
constexpr qint32 PrimitiveAvailable = 2;

QList<qint32> handleList(const QVariant &value)
{
    // "ai" arrives demarshalled or as a QDBusArgument, depending on what QtDBus knows of it.
    if (value.canConvert<QDBusArgument>()) {
        QList<qint32> handles;
        value.value<QDBusArgument>() >> handles;
        return handles;
    }
    return value.value<QList<qint32>>();
}
} // namespace

PidginMessenger::PidginMessenger(const QDBusConnection &bus, NameKind kind,
                                 const QString &accountName, const QString &protocolId,
                                 QObject *parent)
    : DBusClient(bus, ServiceName, parent), m_kind(kind), m_accountName(accountName),
      m_protocolId(protocolId)
{
    // Subscribed before anything is read, so that no sign-on falls between a reading and the
    // first signal. libpurple's introspection gives both arguments of AccountAliasChanged as
    // integers while it sends (i, s): slots taking the whole message accept what really arrives.
    if (m_kind == NameKind::Alias)
        subscribe(PurpleObjectPath, PurpleInterface, QStringLiteral("AccountAliasChanged"),
                  SLOT(onAliasChanged(QDBusMessage)));
    else
        subscribe(PurpleObjectPath, PurpleInterface, QStringLiteral("AccountStatusChanged"),
                  SLOT(onStatusChanged(QDBusMessage)));
    subscribe(PurpleObjectPath, PurpleInterface, QStringLiteral("AccountSignedOn"),
              SLOT(onSignedOn(QDBusMessage)));
    for (const char *signal : {"AccountSignedOff", "AccountDisabled"})
        subscribe(PurpleObjectPath, PurpleInterface, QString::fromLatin1(signal),
                  SLOT(onSignedOff(QDBusMessage)));
    // The user chose another status (not the rotation's own, whose changes would come as
    // SavedstatusModified on every write).
    subscribe(PurpleObjectPath, PurpleInterface, QStringLiteral("SavedstatusChanged"),
              SLOT(onSavedStatusChanged()));
}

QString PidginMessenger::clientName() const
{
    return QStringLiteral("Pidgin");
}

QVariantList PidginMessenger::purple(const QString &method, const QVariantList &args,
                                     const QString &signature)
{
    return call(PurpleObjectPath, PurpleInterface, method, args, signature);
}

qint32 PidginMessenger::purpleInt(const QString &method, const QVariantList &args)
{
    return purple(method, args, QStringLiteral("i")).constFirst().toInt();
}

QString PidginMessenger::purpleString(const QString &method, const QVariantList &args)
{
    return purple(method, args, QStringLiteral("s")).constFirst().toString();
}

qint32 PidginMessenger::account()
{
    if (m_account != 0)
        return m_account;
    if (m_accountName.isEmpty()) {
        const QList<qint32> active = handleList(
            purple(QStringLiteral("PurpleAccountsGetAllActive"), {}, QStringLiteral("ai"))
                .constFirst());
        if (active.isEmpty())
            throw MessengerError(ResultNoInterface, tr("Pidgin has no active account"));
        for (const qint32 each : active)
            if (purpleString(QStringLiteral("PurpleAccountGetProtocolId"), {each}) == SeenProtocol)
                return m_account = each;
        return m_account = active.constFirst();
    }
    // PurpleAccountsFind compares names as the protocol normalises them, so without a protocol
    // id each account's own protocol is tried in turn.
    QStringList protocols{m_protocolId};
    if (m_protocolId.isEmpty()) {
        protocols.clear();
        const QList<qint32> all = handleList(
            purple(QStringLiteral("PurpleAccountsGetAll"), {}, QStringLiteral("ai")).constFirst());
        for (const qint32 each : all) {
            const QString protocol =
                purpleString(QStringLiteral("PurpleAccountGetProtocolId"), {each});
            if (!protocols.contains(protocol))
                protocols.append(protocol);
        }
    }
    for (const QString &protocol : std::as_const(protocols)) {
        if (const qint32 found =
                purpleInt(QStringLiteral("PurpleAccountsFind"), {m_accountName, protocol}))
            return m_account = found;
    }
    throw MessengerError(ResultNoInterface,
                         m_protocolId.isEmpty()
                             ? tr("Pidgin has no account \"%1\"").arg(m_accountName)
                             : tr("Pidgin has no account \"%1\" of the protocol %2")
                                   .arg(m_accountName, m_protocolId));
}

QString PidginMessenger::protocol()
{
    if (m_protocol.isEmpty())
        m_protocol = purpleString(QStringLiteral("PurpleAccountGetProtocolId"), {account()});
    return m_protocol;
}

QString PidginMessenger::identity()
{
    if (m_identity.isEmpty())
        m_identity = QStringLiteral("pidgin/%1/%2/%3")
                         .arg(protocol(),
                              purpleString(QStringLiteral("PurpleAccountGetUsername"), {account()}),
                              m_kind == NameKind::Alias ? QStringLiteral("alias")
                                                        : QStringLiteral("status"));
    return m_identity;
}

std::optional<QString> PidginMessenger::refusalAtStart()
{
    if (protocol() != IrcProtocol)
        return std::nullopt;
    return tr("the Pidgin account is an IRC account. Pidgin offers no way to change an IRC "
              "nickname from outside, and people on IRC see neither a status message nor an "
              "alias. Use HexChat, Konversation, WeeChat or Polari for IRC, or choose another "
              "account with --pidgin-account.");
}

QString PidginMessenger::warningAtStart()
{
    if (m_kind == NameKind::Alias)
        return protocol() == SeenProtocol
                   ? tr("XMPP contacts never see the alias: only Pidgin's own windows show it. "
                        "Start Velmira with --pidgin-name=status to rotate what contacts see.")
                   : tr("Velmira cannot tell whether your contacts on %1 see the alias: try it "
                        "with a contact first.")
                         .arg(protocol());
    if (protocol() == SeenProtocol)
        return {};
    return tr("Velmira cannot tell whether your contacts on %1 see the status message: try it "
              "with a contact first.")
        .arg(protocol());
}

qint32 PidginMessenger::localState()
{
    // The status primitive stays "available" while an account is disconnected, so the
    // connection itself is asked.
    const qint32 handle = account();
    if (purpleInt(QStringLiteral("PurpleAccountIsConnecting"), {handle}) == 1)
        return MessengerStateConnecting;
    if (purpleInt(QStringLiteral("PurpleAccountIsDisconnected"), {handle}) == 1)
        return MessengerStateOffline;
    return MessengerStateSignedIn;
}

QString PidginMessenger::localFriendlyName()
{
    if (m_kind == NameKind::Alias)
        return purpleString(QStringLiteral("PurpleAccountGetAlias"), {account()});
    if (m_written)
        return *m_written;
    if (m_activeStatus == 0)
        m_activeStatus = purpleInt(QStringLiteral("PurpleAccountGetActiveStatus"), {account()});
    return purpleString(QStringLiteral("PurpleStatusGetAttrString"),
                        {m_activeStatus, QStringLiteral("message")});
}

void PidginMessenger::setFriendlyName(const QString &name)
{
    if (m_kind == NameKind::Alias) {
        purple(QStringLiteral("PurpleAccountSetAlias"), {account(), name});
        return;
    }
    m_written.reset();
    try {
        writeStatusMessage(name);
    } catch (const MessengerError &error) {
        // The user may have deleted Velmira's status in Pidgin meanwhile: made again, once.
        if (error.isGone() || m_ownStatus == 0)
            throw;
        m_ownStatus = 0;
        writeStatusMessage(name);
    }
    m_written = name;
}

void PidginMessenger::writeStatusMessage(const QString &name)
{
    if (m_availability < 0) {
        const qint32 current = purpleInt(QStringLiteral("PurpleSavedstatusGetCurrent"));
        m_availability = purpleInt(QStringLiteral("PurpleSavedstatusGetType"), {current});
        // A signed-in account under an "offline" status (signed on by hand) stays signed in.
        if (m_availability == PrimitiveOffline)
            m_availability = PrimitiveAvailable;
    }
    if (m_ownStatus == 0) {
        m_ownStatus = purpleInt(QStringLiteral("PurpleSavedstatusFind"), {RotationStatusTitle});
        m_ownPrimitive = -1;
        if (m_ownStatus == 0) {
            m_ownStatus = purpleInt(QStringLiteral("PurpleSavedstatusNew"),
                                    {RotationStatusTitle, m_availability});
            m_ownPrimitive = m_availability;
        }
        if (m_ownStatus == 0)
            throw MessengerError(ResultFail, tr("PurpleSavedstatusNew gave no status"),
                                 tr("Pidgin refused to make a status for the rotation."));
    }
    if (m_ownPrimitive != m_availability) {
        purple(QStringLiteral("PurpleSavedstatusSetType"), {m_ownStatus, m_availability});
        m_ownPrimitive = m_availability;
    }
    // Both go out before either is waited for; Pidgin answers them in order.
    const qint32 handle = account();
    const QDBusPendingCall message =
        callLater(PurpleObjectPath, PurpleInterface, QStringLiteral("PurpleSavedstatusSetMessage"),
                  {m_ownStatus, name});
    const QDBusPendingCall activate =
        callLater(PurpleObjectPath, PurpleInterface,
                  QStringLiteral("PurpleSavedstatusActivateForAccount"), {m_ownStatus, handle});
    finish(message);
    finish(activate);
}

void PidginMessenger::endRotation(const std::optional<QString> &original)
{
    m_written.reset();
    if (m_kind == NameKind::Alias) {
        Messenger::endRotation(original);
        return;
    }
    // The user's own status carries the original message: it was never written. An offline one
    // would sign off an account the user signed on by hand: there the original message is
    // written back as the rotation's names were.
    if (original) {
        const qint32 current = purpleInt(QStringLiteral("PurpleSavedstatusGetCurrent"));
        if (purpleInt(QStringLiteral("PurpleSavedstatusGetType"), {current}) == PrimitiveOffline)
            writeStatusMessage(*original);
        else
            purple(QStringLiteral("PurpleSavedstatusActivateForAccount"), {current, account()});
    }
    if (m_ownStatus != 0 ||
        purpleInt(QStringLiteral("PurpleSavedstatusFind"), {RotationStatusTitle}) != 0)
        purple(QStringLiteral("PurpleSavedstatusDelete"), {RotationStatusTitle},
               QStringLiteral("i"));
    m_ownStatus = 0;
}

bool PidginMessenger::isOurs(const QDBusMessage &message)
{
    bool ok = false;
    const qint32 handle = message.arguments().value(0).toInt(&ok);
    try {
        return ok && handle == account();
    } catch (const MessengerError &) {
        return false;
    }
}

void PidginMessenger::onAliasChanged(const QDBusMessage &message)
{
    if (isOurs(message))
        emit OnLocalFriendlyNameChangeResult(ResultOk, PurpleObjectPath,
                                             message.arguments().value(1).toString());
}

void PidginMessenger::onStatusChanged(const QDBusMessage &message)
{
    if (!isOurs(message))
        return;
    // (account, old status, new status): libpurple passes status handles, not the old message.
    m_activeStatus = message.arguments().value(2).toInt();
    emit OnLocalFriendlyNameChangeResult(ResultOk, PurpleObjectPath, QString());
}

void PidginMessenger::onSignedOn(const QDBusMessage &message)
{
    if (!isOurs(message))
        return;
    m_written.reset();
    emit signedOn();
}

void PidginMessenger::onSignedOff(const QDBusMessage &message)
{
    if (!isOurs(message))
        return;
    m_written.reset();
    emit signedOff();
}

void PidginMessenger::onSavedStatusChanged()
{
    m_availability = -1;
    // Pidgin tells the account's new status before the saved status it came from: the name in
    // force is read again now that the message last written may no longer be it.
    if (m_written) {
        m_written.reset();
        emit OnLocalFriendlyNameChangeResult(ResultOk, PurpleObjectPath, QString());
    }
}

} // namespace Velmira
