#include "pidginmessenger.h"

#include "dbusmessenger.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>

namespace Velmira {

namespace {
const QString SavedStatusServiceId = QStringLiteral("/im/pidgin/purple/PurpleObject/savedstatus");
const QString AliasSignal = QStringLiteral("AccountAliasChanged");
const QString SavedstatusSignal = QStringLiteral("SavedstatusChanged");

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
        if (m_owner->m_kind == PidginMessenger::NameKind::Alias) {
            m_owner->call(QStringLiteral("PurpleAccountSetAlias"), {m_account, name}, QString());
            return;
        }
        // The saved status in force gets the new message and is activated again, which
        // sends it to every signed-in account.
        const qint32 status =
            m_owner->call(QStringLiteral("PurpleSavedstatusGetCurrent"), {}, QStringLiteral("i"))
                .constFirst()
                .toInt();
        m_owner->call(QStringLiteral("PurpleSavedstatusSetMessage"), {status, name}, QString());
        m_owner->call(QStringLiteral("PurpleSavedstatusActivate"), {status}, QString());
    }

    QString friendlyName() override
    {
        if (m_owner->m_kind == PidginMessenger::NameKind::Alias)
            return m_owner
                ->call(QStringLiteral("PurpleAccountGetAlias"), {m_account}, QStringLiteral("s"))
                .constFirst()
                .toString();
        const qint32 status =
            m_owner->call(QStringLiteral("PurpleSavedstatusGetCurrent"), {}, QStringLiteral("i"))
                .constFirst()
                .toInt();
        return m_owner
            ->call(QStringLiteral("PurpleSavedstatusGetMessage"), {status}, QStringLiteral("s"))
            .constFirst()
            .toString();
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
    // sends (i, s): a slot taking the whole message accepts what really arrives.
    if (m_kind == NameKind::Alias)
        m_bus.connect(PurpleBus::ServiceName, PurpleBus::ObjectPath, PurpleBus::Interface,
                      AliasSignal, this, SLOT(onAccountAliasChanged(QDBusMessage)));
    else
        m_bus.connect(PurpleBus::ServiceName, PurpleBus::ObjectPath, PurpleBus::Interface,
                      SavedstatusSignal, this, SLOT(onSavedstatusChanged(QDBusMessage)));
}

PidginMessenger::~PidginMessenger()
{
    if (m_kind == NameKind::Alias)
        m_bus.disconnect(PurpleBus::ServiceName, PurpleBus::ObjectPath, PurpleBus::Interface,
                         AliasSignal, this, SLOT(onAccountAliasChanged(QDBusMessage)));
    else
        m_bus.disconnect(PurpleBus::ServiceName, PurpleBus::ObjectPath, PurpleBus::Interface,
                         SavedstatusSignal, this, SLOT(onSavedstatusChanged(QDBusMessage)));
}

QVariantList PidginMessenger::call(const QString &method, const QVariantList &args,
                                   const QString &expectedSignature)
{
    return MessengerBus::call(m_bus, PurpleBus::ServiceName, PurpleBus::ObjectPath,
                              PurpleBus::Interface, method, args, expectedSignature);
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
                                 ? QStringLiteral("Pidgin has no account \"%1\"").arg(m_accountName)
                                 : QStringLiteral("Pidgin has no account \"%1\" of the protocol %2")
                                       .arg(m_accountName, m_protocolId));
    }
    const QList<qint32> active = handleList(
        call(QStringLiteral("PurpleAccountsGetAllActive"), {}, QStringLiteral("ai")).constFirst());
    if (active.isEmpty())
        throw MessengerError(ResultNoInterface, QStringLiteral("Pidgin has no active account"));
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
    return StateConnected;
}

std::shared_ptr<MessengerServices> PidginMessenger::services()
{
    return std::make_shared<PidginServices>(this);
}

bool PidginMessenger::isRunning(const QDBusConnection &bus)
{
    return DBusMessenger::isRunning(bus, PurpleBus::ServiceName);
}

QString PidginMessenger::serviceIdFor(qint32 account) const
{
    if (m_kind == NameKind::StatusMessage)
        return SavedStatusServiceId;
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

void PidginMessenger::onSavedstatusChanged(const QDBusMessage &)
{
    // libpurple does not pass the previous message along.
    emit OnLocalFriendlyNameChangeResult(ResultOk, SavedStatusServiceId, QString());
}

} // namespace Velmira
