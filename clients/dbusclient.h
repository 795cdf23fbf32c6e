#pragma once

#include "core/messenger.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <QVariantList>

namespace Velmira {

// What every client program reached over D-Bus shares: blocking calls to the program's
// well-known bus name, each waiting at most CallTimeoutMs, failures told in words that name the
// program, and gone() when the program leaves the bus.
class DBusClient : public Messenger
{
    Q_OBJECT
public:
    // A client that hangs makes the call fail after this long instead of freezing the window.
    static constexpr int CallTimeoutMs = 2000;

    // Whether a program owns `serviceName` on `bus` right now.
    static bool isRunning(const QDBusConnection &bus, const QString &serviceName);

protected:
    DBusClient(const QDBusConnection &bus, const QString &serviceName, QObject *parent = nullptr);

    // One call; the reply's arguments. An error reply, no reply or a reply of another signature
    // than `signature` ("" for none) throws MessengerError: ResultGone when the program has left
    // the bus, ResultTimeout when it did not answer in time, ResultNoInterface when it has no
    // such object or method.
    QVariantList call(const QString &path, const QString &interface, const QString &method,
                      const QVariantList &args = {}, const QString &signature = {});
    // Sends a call without waiting for its answer, so that the next call goes out at once: the
    // program answers them in order. finish() takes the answer.
    QDBusPendingCall callLater(const QString &path, const QString &interface, const QString &method,
                               const QVariantList &args = {});
    // The answer to a call of callLater(), waiting for it if it has not come yet; throws as
    // call() does.
    QVariantList finish(const QDBusPendingCall &pending, const QString &signature = {});
    // Delivers the program's `signal` to `slot` (old-style: QtDBus matches the slot's
    // arguments by their names).
    void subscribe(const QString &path, const QString &interface, const QString &signal,
                   const char *slot);
    const QDBusConnection &bus() const { return m_bus; }
    // Whether the program has left the bus (gone() was raised).
    bool hasGone() const { return m_gone; }

private:
    QDBusMessage message(const QString &path, const QString &interface, const QString &method,
                         const QVariantList &args) const;
    // The arguments of `reply`, or the failure it stands for.
    QVariantList checked(const QDBusMessage &reply, const QString &signature);

    QDBusConnection m_bus;
    QString m_serviceName;
    QDBusServiceWatcher m_watcher;
    bool m_gone = false;
};

} // namespace Velmira
