#pragma once

#include <QToolButton>

// A tool button with a separate arrow beside it: a click on the main part clicks the button, a
// press on the arrow raises dropDownClicked() instead (the arrow opens no menu of its own). The
// keys that open a menu button's menu raise it too: Alt+Down, F4, the Menu key and Shift+F10.
class DropDownButton : public QToolButton
{
    Q_OBJECT
public:
    explicit DropDownButton(QWidget *parent = nullptr);

    // Where the arrow is, in the button's coordinates.
    QRect arrowRect() const;

signals:
    void dropDownClicked();

protected:
    void initStyleOption(QStyleOptionToolButton *option) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};
