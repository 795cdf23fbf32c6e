#pragma once

#include "messenger.h"

namespace Velmira {

// The built-in client: an in-process Messenger client, so that Velmira does its whole job where
// no client program runs. Like a separate client, it raises the change-result event later,
// through the event loop, not inside the write.
class BuiltinMessenger : public Messenger
{
    Q_OBJECT
public:
    // Starts signed in, with the user's login name as the display name.
    explicit BuiltinMessenger(QObject *parent = nullptr);
    BuiltinMessenger(const QString &displayName, QObject *parent = nullptr);

    qint32 localState() override { return m_state; }
    QString localFriendlyName() override { return m_name; }
    void setFriendlyName(const QString &name) override;

    void setLocalState(qint32 state) { m_state = state; }

    // The login name of the user running Velmira ("user" when none can be found).
    static QString loginName();

private:
    QString m_name;
    qint32 m_state;
};

} // namespace Velmira
