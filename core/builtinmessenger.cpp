#include "builtinmessenger.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

namespace Velmira {

namespace {
const QString PrimaryServiceId = QStringLiteral("/builtin/primary");
} // namespace

class BuiltinService : public MessengerService
{
public:
    explicit BuiltinService(BuiltinMessenger *owner) : m_owner(owner) {}

    void setFriendlyName(const QString &name) override { client()->writeName(name); }
    QString friendlyName() override { return client()->m_name; }
    QString serviceId() const override { return PrimaryServiceId; }

private:
    BuiltinMessenger *client() const
    {
        if (!m_owner)
            throw MessengerError(ResultFail,
                                 QCoreApplication::translate("Velmira::BuiltinMessenger",
                                                             "The built-in client is gone"));
        return m_owner;
    }
    QPointer<BuiltinMessenger> m_owner;
};

class BuiltinServices : public MessengerServices
{
public:
    explicit BuiltinServices(BuiltinMessenger *owner) : m_owner(owner) {}
    std::shared_ptr<MessengerService> primaryService() override
    {
        return std::make_shared<BuiltinService>(m_owner);
    }

private:
    BuiltinMessenger *m_owner;
};

BuiltinMessenger::BuiltinMessenger(QObject *parent) : BuiltinMessenger(loginName(), parent) {}

BuiltinMessenger::BuiltinMessenger(const QString &displayName, QObject *parent)
    : Messenger(parent), m_name(displayName), m_state(MessengerStateSignedIn)
{}

QString BuiltinMessenger::localFriendlyName()
{
    return m_name;
}

qint32 BuiltinMessenger::localState()
{
    return m_state;
}

std::shared_ptr<MessengerServices> BuiltinMessenger::services()
{
    return std::make_shared<BuiltinServices>(this);
}

void BuiltinMessenger::writeName(const QString &name)
{
    const QString previous = m_name;
    m_name = name;
    // A separate client answers a write later, through the event loop; so does this one.
    QTimer::singleShot(0, this, [this, previous] {
        emit OnLocalFriendlyNameChangeResult(ResultOk, PrimaryServiceId, previous);
    });
}

QString BuiltinMessenger::loginName()
{
    for (const char *variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("user");
}

} // namespace Velmira
