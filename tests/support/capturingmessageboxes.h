#pragma once

#include "gui/messageboxes.h"

#include <QStringList>

// Keeps every error the windows report instead of showing a box, and every desktop notification
// instead of sending it.
class CapturingMessageBoxes : public Velmira::MessageBoxes
{
public:
    void error(QWidget *, const QString &text) override { errors << text; }
    void notice(const QString &text) override
    {
        notices << text;
        MessageBoxes::notice(text);
    }
    QStringList errors;
    QStringList notices;
};
