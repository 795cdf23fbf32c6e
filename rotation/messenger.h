#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>

namespace Velmira {

// The two local-state codes the program tells apart. Every other code counts as signed in.
inline constexpr qint32 MessengerStateOffline = 1;
inline constexpr qint32 MessengerStateConnecting = 512;

// Result codes used by the clients Velmira ships (the values a COM-style client would give).
inline constexpr qint32 ResultOk = 0;
inline constexpr qint32 ResultFail = qint32(0x80004005u);        // unspecified failure
inline constexpr qint32 ResultNoInterface = qint32(0x80004002u); // object or service not there
inline constexpr qint32 ResultTimeout = qint32(0x800705B4u); // the client did not answer in time

// A failed call on the Messenger client: the client's 32-bit result code and its message.
// Every client operation reports failure by throwing this, and only this.
class MessengerError : public std::runtime_error
{
public:
    MessengerError(qint32 code, const QString &message);

    qint32 code() const { return m_code; }
    QString message() const { return m_message; }
    // "message (0x80004005)": what a user is shown.
    QString describe() const;

private:
    qint32 m_code;
    QString m_message;
};

// A service of the client: the account whose display name the contacts see.
class MessengerService
{
public:
    virtual ~MessengerService() = default;
    virtual void setFriendlyName(const QString &name) = 0;
    virtual QString friendlyName() = 0;
    // Identifies the service within its client (an object path on D-Bus).
    virtual QString serviceId() const = 0;
};

// The client's collection of services.
class MessengerServices
{
public:
    virtual ~MessengerServices() = default;
    // Never null: a client without a primary service throws MessengerError instead.
    virtual std::shared_ptr<MessengerService> primaryService() = 0;
};

// The client's automation object. Operations are made afresh on every call: nothing that they
// return is meant to be kept from one step of the program to the next.
class Messenger : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Messenger() override = default;

    virtual QString localFriendlyName() = 0;
    virtual qint32 localState() = 0;
    virtual std::shared_ptr<MessengerServices> services() = 0;

signals:
    // Raised by the client after a display-name change, on the UI thread. `service` is the
    // serviceId() of the service that was written.
    void OnLocalFriendlyNameChangeResult(qint32 hr, const QString &service,
                                         const QString &prevFriendlyName);
};

} // namespace Velmira
