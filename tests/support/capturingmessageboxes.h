#pragma once

#include "gui/messageboxes.h"

#include <QStringList>

// Keeps every error the windows report instead of showing a box.
class CapturingMessageBoxes : public Velmira::MessageBoxes
{
public:
    void error(QWidget *, const QString &text) override { errors << text; }
    QStringList errors;
};
