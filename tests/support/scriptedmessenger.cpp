#include "scriptedmessenger.h"

#include <QPointer>
#include <QTimer>

using Velmira::MessengerError;

qint32 ScriptedMessenger::localState()
{
    log << QStringLiteral("LocalState");
    maybeFail(QStringLiteral("LocalState"));
    return stateReadings.isEmpty() ? state : stateReadings.takeFirst();
}

QString ScriptedMessenger::localFriendlyName()
{
    log << QStringLiteral("LocalFriendlyName");
    maybeFail(QStringLiteral("LocalFriendlyName"));
    return displayName;
}

void ScriptedMessenger::setFriendlyName(const QString &name)
{
    log << QStringLiteral("SetFriendlyName(%1)").arg(name);
    maybeFail(QStringLiteral("SetFriendlyName"));
    const QString previous = std::exchange(displayName, name);
    if (raiseEvents) {
        QTimer::singleShot(0, this, [this, previous] {
            emit OnLocalFriendlyNameChangeResult(Velmira::ResultOk, QStringLiteral("S1"), previous);
        });
    }
}

void ScriptedMessenger::endRotation(const std::optional<QString> &original)
{
    log << QStringLiteral("EndRotation(%1)").arg(original.value_or(QString()));
    maybeFail(QStringLiteral("EndRotation"));
    if (original)
        displayName = *original;
}

void ScriptedMessenger::failCall(const QString &call, qint32 code, int times)
{
    m_failures[call] = {code, times};
}

QStringList ScriptedMessenger::writes() const
{
    QStringList names;
    const QLatin1String set("SetFriendlyName(");
    for (const QString &entry : log)
        if (entry.startsWith(set))
            names << entry.mid(set.size()).chopped(1);
    return names;
}

void ScriptedMessenger::maybeFail(const QString &call)
{
    auto it = m_failures.find(call);
    if (it == m_failures.end() || it->second == 0)
        return;
    const qint32 code = it->first;
    if (it->second > 0)
        --it->second;
    throw MessengerError(code, QStringLiteral("%1 failed (scripted)").arg(call),
                         code == Velmira::ResultGone ? QStringLiteral("It has gone.") : QString());
}

std::optional<QString> ScriptedMessenger::checkName(const QString &name) const
{
    return refused.contains(name) ? std::optional(QStringLiteral("refused")) : std::nullopt;
}
