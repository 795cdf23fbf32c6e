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
    // every step that needs it does nothing.
    void setMessenger(Messenger *messenger);

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
    // Start-up capture of the display name in force (state test, then the primary service's
    // name). Reports a failing call and leaves originalName unset.
    void captureOriginalName();

    // Idle -> Running. Returns false (and reports) when the interval text is unusable; the
    // engine then stays Idle. Does nothing while Running.
    bool start(const QString &namesText, const QString &intervalText);
    // Running -> Idle, then restoreOriginalName(restore). Does nothing while Idle.
    void stop(bool restore);
    // The tick: writes the next name. A failing client call stops the rotation and reports.
    void tick();
    // Puts originalName back when `restore` is true (the user asked for it) and the client's
    // state allows.
    void restoreOriginalName(bool restore);

signals:
    void stateChanged(Velmira::RotationEngine::State state);
    // One report per failure, in words for the user: what failed and why.
    void errorOccurred(const QString &message);

private:
    void setState(State state);

    QPointer<Messenger> m_messenger;
    State m_state = State::Idle;
    QTimer m_timer;

    QStringList m_shownNames;
    qint32 m_nameIndex = 0;
    std::optional<QString> m_originalName;
};

} // namespace Velmira
