#pragma once

#include <QLabel>
#include <QWidget>

namespace Velmira::Accessibility {

// Tells assistive technology what the program's windows and panes are where Qt's own choice is
// wrong: a plain QWidget reads as an unnamed pane, so the main window reads as a window, Options
// and About as dialogs, a ToolBar as a toolbar and a LinkLabel as a link. Call before the first
// window is built; calling it again does nothing.
void install();

// A pane of buttons, read as a toolbar.
class ToolBar : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// A label that opens an address when clicked or on Enter or Space (its owner does that); read as
// a link whose press action sends it a Space key.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
};

} // namespace Velmira::Accessibility
