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
    virtual void error(QWidget *parent, const QString &text) = 0;
    // Something the user should know that is not a failure; the error box unless overridden.
    virtual void information(QWidget *parent, const QString &text) { error(parent, text); }
};

// The real message boxes (QMessageBox), modal to `parent`.
class QtMessageBoxes : public MessageBoxes
{
public:
    void error(QWidget *parent, const QString &text) override;
    void information(QWidget *parent, const QString &text) override;
};

} // namespace Velmira
