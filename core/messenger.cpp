#include "messenger.h"

#include "messengerops.h"

namespace Velmira {

MessengerError::MessengerError(qint32 code, const QString &message)
    : std::runtime_error(message.toStdString()), m_code(code), m_message(message)
{}

QString MessengerError::describe() const
{
    const QString hex = QString::number(quint32(m_code), 16).toUpper().rightJustified(8, u'0');
    return QStringLiteral("%1 (0x%2)").arg(m_message, hex);
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

void Messenger::restoreName(const QString &original)
{
    MessengerOps::writeDisplayName(*this, original);
}

} // namespace Velmira
