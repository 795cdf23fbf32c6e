#pragma once

#include "messenger.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <optional>

namespace Velmira {

// The timed rotation of the display name. GUI-free: the main window hands it the names text,
// the interval text and the reset option, wires its buttons to state(), and shows what it
// reports through errorOccurred(). Tests drive tick() directly instead of waiting.
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

    // The client the engine writes through; not owned. Null after the client is released, when
    // every step that needs it does nothing. A new client comes with no original name: capture
    // it with captureOriginalName().
    void setMessenger(Messenger *messenger);
    // The file of the restore record (RestoreRecord); empty, the default, keeps none.
    void setRestoreRecordPath(const QString &path) { m_recordPath = path; }

    State state() const { return m_state; }

    // The rotation timer (precise, so a long rotation does not drift).
    const QTimer &timer() const { return m_timer; }

    qint32 nameIndex() const { return m_nameIndex; }
    // The names the ticks show, in order: the elements taken at Start.
    const QStringList &shownNames() const { return m_shownNames; }
    const std::optional<QString> &originalName() const { return m_originalName; }

    // The elements a rotation of `text` shows: elements 0 to n-1 of a text with n CR LF pairs,
    // and element n too when it is not empty.
    static QStringList namesToShow(const QString &text);
    // Converts an interval text to a period in ms; nullopt when it is not a number or does not
    // fit a 32-bit integer. Values below MinimumPeriodMs are raised to it.
    static std::optional<int> periodFromText(const QString &intervalText);

public slots:
    // Capture of the display name in force (state test, then the primary service's name), at
    // start-up, when a client is bound later, or when the account signs on. Reports a failing
    // call and leaves originalName unset. Then, when the restore record is of this client and
    // the client shows a name of that rotation, puts the recorded original back (while Idle),
    // takes it as this run's original and says so.
    void captureOriginalName();

    // Idle -> Running. Returns false (and reports) when the interval text is unusable, when the
    // client cannot take one of the names (the line is named) or cannot begin a rotation; the
    // engine then stays Idle. Does nothing while Running. Records the original before the first
    // write.
    bool start(const QString &namesText, const QString &intervalText);
    // Running -> Idle, then restoreOriginalName(restore). Does nothing while Idle.
    void stop(bool restore);
    // The client program has left: a rotation stops where it is and says so. The restore record
    // stays, so the original comes back when the client does.
    void clientGone();
    // The tick: writes the next name. A failing client call stops the rotation and reports.
    void tick();
    // Puts originalName back when `restore` is true (the user asked for it) and the client's
    // state allows; an empty original only to a client whose names may be empty. Ends the
    // client's rotation, and removes the restore record unless a wanted reset could not be done.
    void restoreOriginalName(bool restore);

signals:
    void stateChanged(Velmira::RotationEngine::State state);
    // One report per failure, in words for the user: what failed and why.
    void errorOccurred(const QString &message);
    // Something the user should know that is not a failure, in words for the user.
    void noticeGiven(const QString &message);

private:
    void setState(State state);
    void signedOn();
    void recoverFromRecord();
    void writeRecord();
    void removeRecord();
    void reportClientError(const QString &what, const MessengerError &error);

    QPointer<Messenger> m_messenger;
    State m_state = State::Idle;
    QTimer m_timer;

    QStringList m_shownNames;
    qint32 m_nameIndex = 0;
    std::optional<QString> m_originalName;
    QString m_recordPath;
    // Between the client's beginRotation() and its endRotation().
    bool m_inRotation = false;
};

} // namespace Velmira
