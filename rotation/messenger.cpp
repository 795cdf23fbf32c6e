#include "messenger.h"

namespace Velmira {

MessengerError::MessengerError(qint32 code, const QString &message)
    : std::runtime_error(message.toStdString()), m_code(code), m_message(message)
{}

QString MessengerError::describe() const
{
    const QString hex = QString::number(quint32(m_code), 16).toUpper().rightJustified(8, u'0');
    return QStringLiteral("%1 (0x%2)").arg(m_message, hex);
}

} // namespace Velmira
