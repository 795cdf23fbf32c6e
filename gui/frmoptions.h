#pragma once

#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

// The Options window: the interval in whole seconds, where minimising sends the main window,
// and whether Stop puts the display name back. It holds no values apart from its controls.
// Every slider change announces seconds x 1000 as interval text at once (intervalTextChanged).
// Unless its owner allows it, closing (close box or Escape) only hides it. Given a parent, it is a
// dialog of that window, which the desktop places it over.
//
// Object names: "chkMin0" ("Taskbar"), "chkMin1" ("System Tray"), "chkResetNick", "Slider1",
// "cmdOk", "Label1" (the frame), "Label2", "Label3", "Label4" (the slider's value).
class frmOptions : public QWidget
{
    Q_OBJECT
public:
    // `mayClose` tells whether a close request really closes the window (the owner is quitting);
    // without it, or while it says no, closing only hides the window.
    explicit frmOptions(std::function<bool()> mayClose, QWidget *parent = nullptr);

    // 0 unchecked, 1 checked, 2 greyed (only a stored value makes it greyed).
    int resetNickValue() const;
    void setResetNickValue(int value);
    // Whether "System Tray" is the selected minimise choice.
    bool minToTray() const;
    void setMinToTray(bool tray);
    // Sets the slider without rewriting the interval text; values outside 1..10 show as the
    // nearest end.
    void setSliderFromLoad(int seconds);

    std::array<QRadioButton *, 2> chkMin{};
    QCheckBox *chkResetNick = nullptr;
    QSlider *Slider1 = nullptr;
    QPushButton *cmdOk = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;

signals:
    // The slider moved: the interval, milliseconds as decimal text.
    void intervalTextChanged(const QString &text);

public slots:
    void cmdOk_Click();
    void Slider1_Change(int value);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fitCaptions();
    // Shows the slider's value beside it and tells screen readers.
    void showSeconds(int value);
    // The close request: refused (and the window hidden) unless the owner allows it.
    void Form_Unload(QCloseEvent *event);

    std::function<bool()> m_mayClose;
};
