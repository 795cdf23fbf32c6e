#pragma once

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

namespace Velmira {

// Turns the process signals that ask the program to end (SIGTERM, SIGINT, SIGHUP) into a Qt
// signal on the UI thread. The handler only writes the signal number into a socket pair; the
// notifier on the other end does the rest in the event loop. The same signal a second time ends
// the process at once; a different one is passed on like the first (the program is closing
// already). One instance at a time; the previous handlers come
// back when it is destroyed.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace Velmira
