#include "pidginmessenger.h"

#include "dbusmessenger.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDebug>

namespace Velmira {

namespace {
// Where libpurple answers on the bus, besides its bus name.
constexpr QLatin1String PurpleObjectPath("/im/pidgin/purple/PurpleObject");
constexpr QLatin1String PurpleInterface("im.pidgin.purple.PurpleInterface");

const QString AliasSignal = QStringLiteral("AccountAliasChanged");
const QString StatusSignal = QStringLiteral("AccountStatusChanged");
const QString SignedOnSignal = QStringLiteral("AccountSignedOn");
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

class PidginService : public MessengerService
{
public:
    PidginService(PidginMessenger *owner, qint32 account) : m_owner(owner), m_account(account) {}

    void setFriendlyName(const QString &name) override
    {
        if (m_owner->m_kind == PidginMessenger::NameKind::Alias)
            m_owner->call(QStringLiteral("PurpleAccountSetAlias"), {m_account, name}, QString());
        else
            m_owner->writeStatusMessage(m_account, name);
    }

    QString friendlyName() override
    {
        if (m_owner->m_kind == PidginMessenger::NameKind::Alias)
            return m_owner
                ->call(QStringLiteral("PurpleAccountGetAlias"), {m_account}, QStringLiteral("s"))
                .constFirst()
                .toString();
        return m_owner->statusMessage(m_account);
    }

    QString serviceId() const override { return m_owner->serviceIdFor(m_account); }

private:
    // The service lives no longer than one step of the program, inside which the client stays.
    PidginMessenger *m_owner;
    qint32 m_account;
};

namespace {
class PidginServices : public MessengerServices
{
public:
    explicit PidginServices(PidginMessenger *owner) : m_owner(owner) {}
    std::shared_ptr<MessengerService> primaryService() override
    {
        return std::make_shared<PidginService>(m_owner, m_owner->resolveAccount());
    }

private:
    PidginMessenger *m_owner;
};
} // namespace

PidginMessenger::PidginMessenger(const QDBusConnection &bus, NameKind kind,
                                 const QString &accountName, const QString &protocolId,
                                 QObject *parent)
    : Messenger(parent), m_bus(bus), m_kind(kind), m_accountName(accountName),
      m_protocolId(protocolId)
{
    // libpurple's introspection gives both arguments of AccountAliasChanged as integers while it
    // sends (i, s): slots taking the whole message accept what really arrives.
    if (m_kind == NameKind::Alias)
        connectSignal(AliasSignal, SLOT(onAccountAliasChanged(QDBusMessage)), true);
    else
        connectSignal(StatusSignal, SLOT(onAccountStatusChanged(QDBusMessage)), true);
    connectSignal(SignedOnSignal, SLOT(onAccountSignedOn(QDBusMessage)), true);
}

PidginMessenger::~PidginMessenger()
{
    if (m_kind == NameKind::Alias)
        connectSignal(AliasSignal, SLOT(onAccountAliasChanged(QDBusMessage)), false);
    else
        connectSignal(StatusSignal, SLOT(onAccountStatusChanged(QDBusMessage)), false);
    connectSignal(SignedOnSignal, SLOT(onAccountSignedOn(QDBusMessage)), false);
}

void PidginMessenger::connectSignal(const QString &signal, const char *slot, bool on)
{
    if (on)
        m_bus.connect(ServiceName, PurpleObjectPath, PurpleInterface, signal, this, slot);
    else
        m_bus.disconnect(ServiceName, PurpleObjectPath, PurpleInterface, signal, this, slot);
}

QVariantList PidginMessenger::call(const QString &method, const QVariantList &args,
                                   const QString &expectedSignature)
{
    try {
        return MessengerBus::call(m_bus, ServiceName, PurpleObjectPath, PurpleInterface, method,
                                  args, expectedSignature);
    } catch (MessengerError &error) {
        if (error.code() == ResultNoInterface)
            error.withUserMessage(tr("Pidgin is no longer running."));
        else if (error.code() == ResultTimeout)
            error.withUserMessage(tr("Pidgin did not answer in time."));
        else
            error.withUserMessage(tr("Pidgin refused the change."));
        throw;
    }
}

qint32 PidginMessenger::callInt(const QString &method, const QVariantList &args)
{
    return call(method, args, QStringLiteral("i")).constFirst().toInt();
}

bool PidginMessenger::isSignedOn(qint32 account)
{
    return callInt(QStringLiteral("PurpleAccountIsConnected"), {account}) == 1;
}

QString PidginMessenger::statusMessage(qint32 account)
{
    const qint32 status = callInt(QStringLiteral("PurpleAccountGetActiveStatus"), {account});
    return call(QStringLiteral("PurpleStatusGetAttrString"), {status, QStringLiteral("message")},
                QStringLiteral("s"))
        .constFirst()
        .toString();
}

void PidginMessenger::writeStatusMessage(qint32 account, const QString &name)
{
    if (!isSignedOn(account)) {
        m_pending = name;
        return;
    }
    m_pending.reset();
    // Availability follows the user's current saved status, which is only read.
    const qint32 current = callInt(QStringLiteral("PurpleSavedstatusGetCurrent"), {});
    qint32 primitive = callInt(QStringLiteral("PurpleSavedstatusGetType"), {current});
    // A signed-in account under an "offline" status (signed on by hand) stays signed in.
    if (primitive == PrimitiveOffline)
        primitive = PrimitiveAvailable;
    qint32 own = callInt(QStringLiteral("PurpleSavedstatusFind"), {RotationStatusTitle});
    if (own == 0)
        own = callInt(QStringLiteral("PurpleSavedstatusNew"), {RotationStatusTitle, primitive});
    else
        call(QStringLiteral("PurpleSavedstatusSetType"), {own, primitive}, QString());
    if (own == 0)
        throw MessengerError(ResultFail, tr("PurpleSavedstatusNew gave no status"))
            .withUserMessage(tr("Pidgin refused to make a status for the rotation."));
    call(QStringLiteral("PurpleSavedstatusSetMessage"), {own, name}, QString());
    call(QStringLiteral("PurpleSavedstatusActivateForAccount"), {own, account}, QString());
}

void PidginMessenger::restoreName(const QString &original)
{
    if (m_kind == NameKind::Alias) {
        Messenger::restoreName(original);
        return;
    }
    // The user's own status carries the original message: it was never written.
    const qint32 account = resolveAccount();
    m_pending.reset();
    if (!isSignedOn(account))
        return; // signing on applies the user's own status anyway
    const qint32 current = callInt(QStringLiteral("PurpleSavedstatusGetCurrent"), {});
    call(QStringLiteral("PurpleSavedstatusActivateForAccount"), {current, account}, QString());
}

void PidginMessenger::endRotation()
{
    m_pending.reset();
    if (m_kind == NameKind::StatusMessage &&
        callInt(QStringLiteral("PurpleSavedstatusFind"), {RotationStatusTitle}) != 0)
        callInt(QStringLiteral("PurpleSavedstatusDelete"), {RotationStatusTitle});
}

QString PidginMessenger::clientName() const
{
    return QStringLiteral("Pidgin");
}

QString PidginMessenger::identity()
{
    const qint32 account = resolveAccount();
    const QString user =
        call(QStringLiteral("PurpleAccountGetUsername"), {account}, QStringLiteral("s"))
            .constFirst()
            .toString();
    const QString protocol =
        call(QStringLiteral("PurpleAccountGetProtocolId"), {account}, QStringLiteral("s"))
            .constFirst()
            .toString();
    return QStringLiteral("pidgin/%1/%2/%3")
        .arg(protocol, user,
             m_kind == NameKind::Alias ? QStringLiteral("alias") : QStringLiteral("status"));
}

qint32 PidginMessenger::resolveAccount()
{
    if (!m_accountName.isEmpty()) {
        // PurpleAccountsFind compares names as the protocol normalises them, so without a
        // protocol id each account's own protocol is tried in turn.
        QStringList protocols{m_protocolId};
        if (m_protocolId.isEmpty()) {
            protocols.clear();
            const QList<qint32> all =
                handleList(call(QStringLiteral("PurpleAccountsGetAll"), {}, QStringLiteral("ai"))
                               .constFirst());
            for (const qint32 account : all) {
                const QString protocol = call(QStringLiteral("PurpleAccountGetProtocolId"),
                                              {account}, QStringLiteral("s"))
                                             .constFirst()
                                             .toString();
                if (!protocols.contains(protocol))
                    protocols.append(protocol);
            }
        }
        for (const QString &protocol : std::as_const(protocols)) {
            const qint32 account = call(QStringLiteral("PurpleAccountsFind"),
                                        {m_accountName, protocol}, QStringLiteral("i"))
                                       .constFirst()
                                       .toInt();
            if (account != 0)
                return account;
        }
        throw MessengerError(ResultNoInterface,
                             m_protocolId.isEmpty()
                                 ? tr("Pidgin has no account \"%1\"").arg(m_accountName)
                                 : tr("Pidgin has no account \"%1\" of the protocol %2")
                                       .arg(m_accountName, m_protocolId));
    }
    const QList<qint32> active = handleList(
        call(QStringLiteral("PurpleAccountsGetAllActive"), {}, QStringLiteral("ai")).constFirst());
    if (active.isEmpty())
        throw MessengerError(ResultNoInterface, tr("Pidgin has no active account"));
    return active.constFirst();
}

QString PidginMessenger::localFriendlyName()
{
    return services()->primaryService()->friendlyName();
}

qint32 PidginMessenger::localState()
{
    // The status primitive stays "available" while an account is disconnected, so the
    // connection itself is asked.
    const qint32 account = resolveAccount();
    if (call(QStringLiteral("PurpleAccountIsConnecting"), {account}, QStringLiteral("i"))
            .constFirst()
            .toInt() == 1)
        return MessengerStateConnecting;
    if (call(QStringLiteral("PurpleAccountIsDisconnected"), {account}, QStringLiteral("i"))
            .constFirst()
            .toInt() == 1)
        return MessengerStateOffline;
    return MessengerStateSignedIn;
}

std::shared_ptr<MessengerServices> PidginMessenger::services()
{
    return std::make_shared<PidginServices>(this);
}

bool PidginMessenger::isRunning(const QDBusConnection &bus)
{
    return DBusMessenger::isRunning(bus, ServiceName);
}

QString PidginMessenger::serviceIdFor(qint32 account) const
{
    return QStringLiteral("/im/pidgin/purple/PurpleObject/account/%1").arg(account);
}

void PidginMessenger::onAccountAliasChanged(const QDBusMessage &message)
{
    const QVariantList args = message.arguments();
    if (args.size() < 2)
        return;
    bool ok = false;
    const qint32 account = args.at(0).toInt(&ok);
    if (!ok)
        return;
    emit OnLocalFriendlyNameChangeResult(ResultOk, serviceIdFor(account), args.at(1).toString());
}

void PidginMessenger::onAccountStatusChanged(const QDBusMessage &message)
{
    const QVariantList args = message.arguments();
    bool ok = false;
    const qint32 account = args.value(0).toInt(&ok);
    if (!ok)
        return;
    // libpurple passes status handles, not the previous message.
    emit OnLocalFriendlyNameChangeResult(ResultOk, serviceIdFor(account), QString());
}

void PidginMessenger::onAccountSignedOn(const QDBusMessage &message)
{
    bool ok = false;
    const qint32 account = message.arguments().value(0).toInt(&ok);
    try {
        if (!ok || account != resolveAccount())
            return;
        // Listeners capture the original first: the waiting name is not written yet.
        emit signedOn();
        if (m_pending)
            writeStatusMessage(account, *m_pending);
    } catch (const MessengerError &error) {
        qWarning().noquote()
            << tr("Pidgin: could not write the waiting name: %1").arg(error.describe());
    }
}

} // namespace Velmira
