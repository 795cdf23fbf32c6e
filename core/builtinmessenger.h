#pragma once

#include "messenger.h"

namespace Velmira {

// The built-in client: an in-process Messenger client with one primary service, so that Velmira
// does its whole job where no client program runs. Like a separate client, it raises the
// change-result event later, through the event loop, not inside the write.
class BuiltinMessenger : public Messenger
{
    Q_OBJECT
public:
    // Starts signed in, with the user's login name as the display name.
    explicit BuiltinMessenger(QObject *parent = nullptr);
    BuiltinMessenger(const QString &displayName, QObject *parent = nullptr);

    QString localFriendlyName() override;
    qint32 localState() override;
    std::shared_ptr<MessengerServices> services() override;

    void setLocalState(qint32 state) { m_state = state; }

    // The login name of the user running Velmira ("user" when none can be found).
    static QString loginName();

private:
    friend class BuiltinService;
    void writeName(const QString &name);

    QString m_name;
    qint32 m_state;
};

} // namespace Velmira
