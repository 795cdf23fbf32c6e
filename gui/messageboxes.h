#pragma once

#include <QString>

class QWidget;

namespace Velmira {

// Where the windows report a failure to the user: what failed and why, in a message box titled
// "Velmira". Tests swap in a capturing implementation.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Waits until the user has closed it: for a report the program must not end before.
    virtual void error(QWidget *parent, const QString &text) = 0;
    // A failure reported while the window goes on: shown without waiting, so that nothing
    // (a tick, the window's close) is held up by it. The error box unless overridden.
    virtual void warn(QWidget *parent, const QString &text) { error(parent, text); }
    // Something the user should know that is not a failure, shown without waiting; the error
    // box unless overridden.
    virtual void information(QWidget *parent, const QString &text) { error(parent, text); }
    // A report when nobody may be there to close a box (the program was asked to end by a
    // signal or the session): it never waits. Written to stderr; the real implementation also
    // shows it as a desktop notification.
    virtual void notice(const QString &text);
};

// The real message boxes (QMessageBox), modal to `parent`.
class QtMessageBoxes : public MessageBoxes
{
public:
    void error(QWidget *parent, const QString &text) override;
    void warn(QWidget *parent, const QString &text) override;
    void information(QWidget *parent, const QString &text) override;
    // Also sent to the session's notification service, when there is a session bus, without
    // waiting for an answer.
    void notice(const QString &text) override;
};

} // namespace Velmira
