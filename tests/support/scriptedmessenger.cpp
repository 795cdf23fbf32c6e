#include "scriptedmessenger.h"

#include <QPointer>
#include <QTimer>

using Velmira::MessengerError;

class ScriptedService : public Velmira::MessengerService
{
public:
    ScriptedService(ScriptedMessenger *owner, QString id) : m_owner(owner), m_id(std::move(id)) {}

    void setFriendlyName(const QString &name) override
    {
        m_owner->log << QStringLiteral("%1.SetFriendlyName(%2)").arg(m_id, name);
        m_owner->maybeFail(QStringLiteral("SetFriendlyName"));
        const QString previous = m_owner->m_names.value(m_id);
        m_owner->m_names[m_id] = name;
        if (m_owner->raiseEvents) {
            QPointer<ScriptedMessenger> owner(m_owner);
            const QString id = m_id;
            QTimer::singleShot(0, m_owner, [owner, id, previous] {
                emit owner->OnLocalFriendlyNameChangeResult(owner->eventResult, id, previous);
            });
        }
    }
    QString friendlyName() override
    {
        m_owner->log << m_id + QStringLiteral(".FriendlyName");
        m_owner->maybeFail(QStringLiteral("FriendlyName"));
        return m_owner->m_names.value(m_id);
    }
    QString serviceId() const override { return m_id; }

private:
    ScriptedMessenger *m_owner;
    QString m_id;
};

class ScriptedServices : public Velmira::MessengerServices
{
public:
    explicit ScriptedServices(ScriptedMessenger *owner) : m_owner(owner) {}
    std::shared_ptr<Velmira::MessengerService> primaryService() override
    {
        m_owner->log << QStringLiteral("PrimaryService");
        m_owner->maybeFail(QStringLiteral("PrimaryService"));
        return std::make_shared<ScriptedService>(m_owner, m_owner->m_primaryId);
    }

private:
    ScriptedMessenger *m_owner;
};

ScriptedMessenger::ScriptedMessenger(QObject *parent) : Velmira::Messenger(parent)
{
    swapPrimaryService(QStringLiteral("Original"));
}

QString ScriptedMessenger::localFriendlyName()
{
    log << QStringLiteral("LocalFriendlyName");
    maybeFail(QStringLiteral("LocalFriendlyName"));
    return m_names.value(m_primaryId);
}

qint32 ScriptedMessenger::localState()
{
    log << QStringLiteral("LocalState");
    maybeFail(QStringLiteral("LocalState"));
    return stateReadings.isEmpty() ? state : stateReadings.takeFirst();
}

std::shared_ptr<Velmira::MessengerServices> ScriptedMessenger::services()
{
    log << QStringLiteral("Services");
    maybeFail(QStringLiteral("Services"));
    return std::make_shared<ScriptedServices>(this);
}

void ScriptedMessenger::failCall(const QString &call, qint32 code, int times)
{
    m_failures[call] = {code, times};
}

void ScriptedMessenger::swapPrimaryService(const QString &displayName)
{
    m_primaryId = QStringLiteral("S%1").arg(++m_serviceCount);
    m_names[m_primaryId] = displayName;
}

QString ScriptedMessenger::displayName(const QString &serviceId) const
{
    return m_names.value(serviceId.isEmpty() ? m_primaryId : serviceId);
}

QStringList ScriptedMessenger::writes() const
{
    QStringList result;
    for (const QString &entry : log) {
        const qsizetype at = entry.indexOf(QLatin1String(".SetFriendlyName("));
        if (at > 0)
            result << entry.left(at) + u':' + entry.mid(at + 17).chopped(1);
    }
    return result;
}

void ScriptedMessenger::maybeFail(const QString &call)
{
    auto it = m_failures.find(call);
    if (it == m_failures.end() || it->second == 0)
        return;
    const qint32 code = it->first;
    if (it->second > 0)
        --it->second;
    throw MessengerError(code, QStringLiteral("%1 failed (scripted)").arg(call));
}

std::optional<QString> ScriptedMessenger::checkName(const QString &name) const
{
    return refused.contains(name) ? std::optional(QStringLiteral("refused")) : std::nullopt;
}
