#include "messenger.h"

#include <QCoreApplication>

namespace Velmira {

MessengerError::MessengerError(qint32 code, const QString &message, const QString &userMessage)
    : std::runtime_error(message.toStdString()), m_code(code), m_message(message),
      m_userMessage(userMessage)
{}

QString MessengerError::describe() const
{
    const QString hex = QString::number(quint32(m_code), 16).toUpper().rightJustified(8, u'0');
    return QStringLiteral("%1 (0x%2)").arg(m_message, hex);
}

QString MessengerError::report() const
{
    if (m_userMessage.isEmpty())
        return describe();
    if (m_message.isEmpty())
        return m_userMessage;
    return QCoreApplication::translate("Velmira::MessengerError", "%1\n\nDetails: %2")
        .arg(m_userMessage, describe());
}

void Messenger::endRotation(const std::optional<QString> &original)
{
    if (original)
        setFriendlyName(*original);
}

QString Messenger::clientName() const
{
    return tr("the Messenger client");
}

QString Messenger::identity()
{
    return QString::fromLatin1(metaObject()->className());
}

std::optional<QString> Messenger::checkName(const QString &) const
{
    return std::nullopt;
}

bool passesStateTest(Messenger &messenger)
{
    const qint32 first = messenger.localState();
    const qint32 second = messenger.localState();
    return first != MessengerStateOffline && second != MessengerStateConnecting;
}

} // namespace Velmira
