#pragma once

#include "messenger.h"
#include "rotationsession.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

namespace Velmira {

// The timed rotation of the display name. GUI-free: the main window hands it the names text,
// the interval text and the reset option, wires its buttons to state(), and shows what it
// reports. It holds the binding to the client and the original name taken from it; each Start
// makes a RotationSession that owns the rotation until it ends. Tests drive tick() directly.
class RotationEngine : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Idle,
        Running
    };
    Q_ENUM(State)

    // Periods below this are raised to it: a name changed faster than once a second floods the
    // client and its server.
    static constexpr int MinimumPeriodMs = 1000;

    explicit RotationEngine(QObject *parent = nullptr);
    ~RotationEngine() override;

    // The client the engine writes through; not owned. A running rotation ends first, without
    // asking the old client anything. A new client comes with no original name: capture it with
    // captureOriginalName(). Null: no client (every step that needs one does nothing).
    void setMessenger(Messenger *messenger);
    // The file of the restore record (RestoreRecord); empty, the default, keeps none.
    void setRestoreRecordPath(const QString &path) { m_recordPath = path; }

    State state() const { return m_state; }
    // The rotation timer (precise, so a long rotation does not drift).
    const QTimer &timer() const { return m_timer; }
    // The running rotation, else null.
    RotationSession *session() const { return m_session.get(); }
    const std::optional<QString> &originalName() const { return m_originalName; }
    // Whether the bound client's program has left.
    bool clientGone() const { return m_clientGone; }

    // The elements a rotation of `text` shows: elements 0 to n-1 of a text with n CR LF pairs,
    // and element n too when it is not empty.
    static QStringList namesToShow(const QString &text);
    // Converts an interval text to a period in ms; nullopt when it is not a number or does not
    // fit a 32-bit integer. Values below MinimumPeriodMs are raised to it.
    static std::optional<int> periodFromText(const QString &intervalText);

public slots:
    // Takes the display name in force as the original (when the state test passes; else at the
    // account's sign-on). A restore record of this client whose rotation the client still shows
    // puts the recorded original back (while Idle), which becomes this run's original.
    void captureOriginalName();
    // Idle -> Running. Returns false (and reports) when the interval text is unusable or the
    // client cannot take one of the names (the line is named) or no rotation at all; the engine
    // stays Idle. A client that sends lines more slowly than the interval sets the period.
    bool start(const QString &namesText, const QString &intervalText);
    // Running -> Idle, then the reset. Does nothing while Idle.
    void stop(bool restore);
    void tick();
    // The reset, Running or not: ends a running rotation (the timer stops) and puts the original
    // back when `restore` is true and the client's state allows. Asks nothing of a client that
    // has gone.
    void restoreOriginalName(bool restore);
    // Holds the ticks of a running rotation until it ends (the shutdown's last steps).
    void freeze() { m_timer.stop(); }

signals:
    void stateChanged(Velmira::RotationEngine::State state);
    // One report per failure, in words for the user: what failed and why.
    void errorOccurred(const QString &message);
    // Something the user should know that is not a failure, in words for the user.
    void noticeGiven(const QString &message);
    // The bound client's program has left (told once).
    void clientLost(const QString &clientName);

private:
    void setState(State state);
    void onSignedOn();
    void onClientGone();
    // Ends the running rotation where it is, without asking the client.
    void abandonRotation(bool clientQuit);
    void reportClientError(const QString &what, const MessengerError &error);

    QPointer<Messenger> m_messenger;
    bool m_clientGone = false;
    State m_state = State::Idle;
    QTimer m_timer;
    std::unique_ptr<RotationSession> m_session;
    std::optional<QString> m_originalName;
    QString m_recordPath;
    // The client's warning and its send rate, told once for each client bound.
    bool m_toldWarning = false;
    bool m_toldSendRate = false;
};

} // namespace Velmira
