#pragma once

// The contract of a Messenger client: the program that shows the user's display name to the
// contacts. A client is a thin adapter; the life of a rotation (the original name, the restore
// record, holding names while the account is offline, waiting for confirmations) belongs to
// RotationSession and RotationEngine.
//
// - Calls block for a short time at most and throw MessengerError when they fail.
// - localState(): MessengerStateOffline (1), MessengerStateConnecting (512); any other code is
//   signed in.
// - localFriendlyName(): the display name in force, as the contacts see it.
// - setFriendlyName(): sends a change. A client that confirmsChanges() raises changeConfirmed or
//   changeRefused for it later; for the others the change is made when the call returns.
// - endRotation(original): the last call of a rotation, in one: puts `original` back when given,
//   then takes down whatever the client set up for the rotation (a status of Velmira's own).
// - A client that reportsSignOn() raises signedOn and signedOff as its account's connection
//   comes and goes; names are then held while the account is offline. Other clients are written
//   to whatever their state.
// - gone: the client program has left. The client object is of no use after it.
// - OnLocalFriendlyNameChangeResult: after a display-name change the client made; the window's
//   label reads localFriendlyName() then.

#include <QObject>
#include <QString>

#include <optional>
#include <stdexcept>

namespace Velmira {

// The two local-state codes the program tells apart. Every other code counts as signed in.
inline constexpr qint32 MessengerStateOffline = 1;
inline constexpr qint32 MessengerStateConnecting = 512;
// What the clients Velmira ships report while signed in.
inline constexpr qint32 MessengerStateSignedIn = 2;

// Result codes of failed calls and refused changes, as a COM-style client gives them. They are
// details: the sentence the user reads never carries one.
inline constexpr qint32 ResultOk = 0;
inline constexpr qint32 ResultFail = qint32(0x80004005u);        // unspecified failure
inline constexpr qint32 ResultNoInterface = qint32(0x80004002u); // no such account or object
inline constexpr qint32 ResultTimeout = qint32(0x800705B4u); // the client did not answer in time
inline constexpr qint32 ResultGone = qint32(0x800706BAu);    // the client program is not running

// A failed call on the Messenger client: the client's 32-bit result code, its technical message,
// and what happened in plain words.
class MessengerError : public std::runtime_error
{
public:
    MessengerError(qint32 code, const QString &message, const QString &userMessage = {});

    qint32 code() const { return m_code; }
    bool isGone() const { return m_code == ResultGone; }
    // "message (0x80004005)": the technical detail.
    QString describe() const;
    // What happened, in plain words ("Pidgin is no longer running."); the message when the
    // client gave none.
    QString userMessage() const { return m_userMessage.isEmpty() ? m_message : m_userMessage; }
    // The plain words and, on a line of its own, the technical detail with the code; the detail
    // alone when there are no plain words.
    QString report() const;

private:
    qint32 m_code;
    QString m_message;
    QString m_userMessage;
};

class Messenger : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual qint32 localState() = 0;
    virtual QString localFriendlyName() = 0;
    virtual void setFriendlyName(const QString &name) = 0;
    // Default: writes `original` when given.
    virtual void endRotation(const std::optional<QString> &original);

    // The client program's name as the user knows it ("Pidgin").
    virtual QString clientName() const;
    // Client and account, stable across runs of both programs: a restore record is used only by
    // a client of the same identity.
    virtual QString identity();
    // Whether the empty text is a name this client holds (no status message, no alias): then
    // an empty original is put back like any other. Default: no.
    virtual bool emptyNameIsAName() const { return false; }
    // Why `name` cannot be a display name of this client, in words for the user; nullopt when it
    // can. Default: every text can.
    virtual std::optional<QString> checkName(const QString &name) const;
    virtual bool confirmsChanges() const { return false; }
    virtual bool reportsSignOn() const { return false; }
    // Whether localFriendlyName() reads the name in force. A client with no way to ask gives the
    // name it signs on with until a name has been sent, then the name it last sent; the window
    // says that it cannot be confirmed.
    virtual bool readsNameInForce() const { return true; }
    // The client sends at most one line every this many milliseconds (its own flood
    // protection): a rotation through it never changes names faster. 0: no such limit.
    virtual int sendIntervalMs() const { return 0; }
    // Why no rotation can start through this client (its account has no name contacts see that
    // Velmira can change), in words for the user; nullopt when one can.
    virtual std::optional<QString> refusalAtStart() { return std::nullopt; }
    // What the user should know before a rotation starts through this client, told once a run;
    // empty: nothing.
    virtual QString warningAtStart() { return {}; }

signals:
    void OnLocalFriendlyNameChangeResult(qint32 hr, const QString &service,
                                         const QString &prevFriendlyName);
    void changeConfirmed(const QString &name);
    // `reason` in plain words ("already in use").
    void changeRefused(const QString &name, const QString &reason);
    void signedOn();
    void signedOff();
    void gone();
};

// The state test: two separate readings of the local state, both taken before either comparison.
// Passes unless the first reading is offline or the second is connecting.
bool passesStateTest(Messenger &messenger);

} // namespace Velmira
