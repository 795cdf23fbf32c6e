#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class frmMain;

// The Options window: the interval in whole seconds, where minimising sends the main window,
// and whether Stop puts the display name back. It holds no values apart from its controls.
// Every slider change writes seconds x 1000 into the main window's interval text at once.
// While the main window is not quitting, closing (close box or Escape) only hides it.
//
// Object names: "chkMin0" ("Taskbar"), "chkMin1" ("System Tray"), "chkResetNick", "Slider1",
// "cmdOk", "Label1" (the frame), "Label2", "Label3".
class frmOptions : public QWidget
{
    Q_OBJECT
public:
    // `main` is the window whose interval text the slider writes and whose Quitting flag decides
    // between hiding and closing; not owned.
    explicit frmOptions(frmMain *main, QWidget *parent = nullptr);

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

public slots:
    void cmdOk_Click();
    void Slider1_Change(int value);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The close request: refused (and the window hidden) unless the main window is quitting.
    void Form_Unload(QCloseEvent *event);

    QPointer<frmMain> m_main;
};
