#pragma once

// The contract every Messenger client implements.
//
// - The engine reaches the client only through these calls, made afresh at every step.
// - A rotation is bracketed: beginRotation() before its first write, endRotation() after the
//   reset that ends it (or alone when nothing is put back). A client that rotates through a state
//   of its own (a status of Velmira's, say) sets it up and takes it down there, and puts the
//   user's own state back in restoreName().
// - checkName() is asked for every name before a rotation starts; a name the client cannot take
//   stops the Start with the line named.
// - emptyNameIsAName() says whether the empty text is a real name of this client (an unset alias,
//   no status message): then an empty original is written back by a reset like any other.
// - identity() names client and account for the restore record, which lets the next run put the
//   original back after a crash.
// - A client that cannot write while its account is offline keeps the latest name and writes it
//   when the account signs on; it raises signedOn() then, so that an original name that could not
//   be captured at start-up is captured at that moment.
// - Failures throw MessengerError; describe() is for a detail line, userMessage() for the user.

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>

namespace Velmira {

// The two local-state codes the program tells apart. Every other code counts as signed in.
inline constexpr qint32 MessengerStateOffline = 1;
inline constexpr qint32 MessengerStateConnecting = 512;
// What the clients Velmira ships report while signed in.
inline constexpr qint32 MessengerStateSignedIn = 2;

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
    // "message (0x80004005)": the technical detail.
    QString describe() const;
    // What happened, in plain words ("Pidgin is no longer running"); the message when the client
    // gave none.
    QString userMessage() const { return m_userMessage.isEmpty() ? m_message : m_userMessage; }
    MessengerError &withUserMessage(const QString &text)
    {
        m_userMessage = text;
        return *this;
    }

private:
    qint32 m_code;
    QString m_message;
    QString m_userMessage;
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

    // The client program's name as the user knows it, for messages ("Pidgin").
    virtual QString clientName() const;
    // Client and account, stable across runs of both programs: the restore record is used only
    // by a client of the same identity. Throws MessengerError when the account cannot be found.
    virtual QString identity();
    // Whether the empty text is a name this client holds (see the contract above). Default: no.
    virtual bool emptyNameIsAName() const { return false; }
    // Why `name` cannot be a display name of this client, in words for the user; nullopt when it
    // can. Default: every text can.
    virtual std::optional<QString> checkName(const QString &name) const;
    // Before the first write of a rotation. Throws MessengerError.
    virtual void beginRotation() {}
    // The reset: puts the user's own name back. The default writes `original` through the
    // primary service. Throws MessengerError.
    virtual void restoreName(const QString &original);
    // After the reset that ends a rotation, or alone when nothing is put back. Throws
    // MessengerError.
    virtual void endRotation() {}

signals:
    // Raised by the client after a display-name change, on the UI thread. `service` is the
    // serviceId() of the service that was written.
    void OnLocalFriendlyNameChangeResult(qint32 hr, const QString &service,
                                         const QString &prevFriendlyName);
    // The account has signed on after being offline or connecting.
    void signedOn();
    // Something the user should read once, in plain words, that is not a failed call (a change
    // the client's server refused, say).
    void noticeForUser(const QString &text);
};

} // namespace Velmira
