#include "dropdownbutton.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>

DropDownButton::DropDownButton(QWidget *parent) : QToolButton(parent)
{
    setPopupMode(QToolButton::MenuButtonPopup);
}

QRect DropDownButton::arrowRect() const
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
}

void DropDownButton::initStyleOption(QStyleOptionToolButton *option) const
{
    QToolButton::initStyleOption(option);
    // Draw the arrow although no menu is attached.
    option->features |= QStyleOptionToolButton::HasMenu | QStyleOptionToolButton::MenuButtonPopup;
}

void DropDownButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && arrowRect().contains(event->position().toPoint())) {
        event->accept();
        emit dropDownClicked();
        return;
    }
    QToolButton::mousePressEvent(event);
}

void DropDownButton::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    const bool opensMenu = (key == Qt::Key_Down && modifiers == Qt::AltModifier) ||
                           (key == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
                           (key == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
                           (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
    if (!opensMenu) {
        QToolButton::keyPressEvent(event);
        return;
    }
    event->accept();
    emit dropDownClicked();
}

void DropDownButton::contextMenuEvent(QContextMenuEvent *event)
{
    // The Menu key as the platform delivers it; a right click opens nothing.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        emit dropDownClicked();
        return;
    }
    QToolButton::contextMenuEvent(event);
}
