#include "dropdownbutton.h"

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
