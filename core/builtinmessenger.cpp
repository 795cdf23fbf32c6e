#include "builtinmessenger.h"

#include <QTimer>

namespace Velmira {

BuiltinMessenger::BuiltinMessenger(QObject *parent) : BuiltinMessenger(loginName(), parent) {}

BuiltinMessenger::BuiltinMessenger(const QString &displayName, QObject *parent)
    : Messenger(parent), m_name(displayName), m_state(MessengerStateSignedIn)
{}

void BuiltinMessenger::setFriendlyName(const QString &name)
{
    const QString previous = std::exchange(m_name, name);
    // A separate client answers a write later, through the event loop; so does this one.
    QTimer::singleShot(0, this, [this, previous] {
        emit OnLocalFriendlyNameChangeResult(ResultOk, QStringLiteral("/builtin/primary"),
                                             previous);
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
