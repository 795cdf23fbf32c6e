#pragma once

#include "core/messenger.h"
#include "core/rotationengine.h"
#include "gui/filedialog.h"
#include "gui/systray.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class DropDownButton;
class frmAbout;
class frmOptions;

namespace Velmira {
class MessageBoxes;
class SettingsStore;
} // namespace Velmira

// The main window: the names box, the label with the display name in force, three toolbars
// (Start/Stop, Load/Save, About), the Load and Save pop-up menus and the hidden interval text.
// It owns the rotation engine, the Messenger client, the tray icon, the Options window and the
// file dialog CD. Its settings are loaded at the end of Form_Load and saved at the start of
// Form_Unload through a settings store (the user's own unless another is set).
//
// Object names are the controls' own names (tests find the controls by them; screen readers get
// human names): "Toolbar1" (buttons "Toolbar1Start" with its arrow, "Toolbar1Stop"), "Toolbar2"
// ("Toolbar2Load", "Toolbar2Save"), "Toolbar3" ("Toolbar3About"), "Label1", "txtNames",
// "int3rval", "mnuLoad" ("mnuLoad1".."mnuLoad3", "mnuLoadFile"), "mnuSave" ("mnuSave1"..
// "mnuSave3", "mnuSaveFile").
class frmMain : public QWidget
{
    Q_OBJECT
public:
    using MessengerFactory = std::function<std::unique_ptr<Velmira::Messenger>()>;

    // `createMessenger` is called once, by Form_Load; it may return null or throw MessengerError
    // when no client can be had. `boxes` reports failures (null: real message boxes); not owned.
    explicit frmMain(MessengerFactory createMessenger, Velmira::MessageBoxes *boxes = nullptr,
                     QWidget *parent = nullptr);
    ~frmMain() override;

    // How the window came to close: the user closed it (close box, window menu), or the program
    // closed it (a termination signal, the session's end, the program's own request). Only the
    // user is shown message boxes during the unload; otherwise its reports go to stderr and a
    // desktop notification, and nothing waits.
    enum class UnloadMode
    {
        User,
        Program
    };

    // The store the settings and presets are read from and written to; not owned. Null (the
    // default) means the user's own store, ~/.config/Velmira/Vuzerer4.ini. Set it before
    // Form_Load.
    void setSettingsStore(Velmira::SettingsStore *store);
    Velmira::SettingsStore &settingsStore();

    // The start-up: Idle rotation, the client and the display name in force, the settings.
    // False (after reporting) when the client could not be created; the window must then not be
    // shown.
    bool Form_Load();
    // Shows the window centred on its screen.
    void showCentred();

    // True from the first step of the unload on.
    bool isQuitting() const { return m_quitting; }

    Velmira::Messenger *messenger() const { return m_messenger.get(); }
    // Binds a client found after the load (late binding): at once while Idle, at the next Start
    // while Running. The original name is captured when it is bound.
    void bindMessenger(std::unique_ptr<Velmira::Messenger> messenger);
    // Says in the window which client the names go to (or that none runs); empty: no note.
    void setClientNote(const QString &text);
    Velmira::RotationEngine &engine() { return m_engine; }
    Velmira::SysTray &sysTray() { return m_sysTray; }
    // The Options window, a dialog of this window, created hidden on first use.
    frmOptions *options();
    // The About window while it is open, else null.
    frmAbout *about() const;

    // Asks the desktop to open `url`; a refusal is told on stderr, not in a window.
    void OpenUrl(const QString &url);

    // What Start and Stop do: the rotation of the names in the box. False when it did not start
    // (running already, quitting, or reported).
    bool startRotation();
    void stopRotation();
    // Reports a failure: a box that does not wait while the window runs (a desktop notification
    // too while it is hidden), one that does during the start-up and the user's close; during a
    // shutdown the program was asked for, stderr and a notification only.
    void reportError(const QString &text);
    // Shows the window again from the notification area or the taskbar, in front.
    void bringBack();
    // Hides the window behind the notification area's icon (minimises it where there is none).
    void sendToTray();

    // The names text: lines joined with CR LF, every other character as typed.
    QString namesText() const;
    // Puts a text into txtNames: CR LF, bare LF and lone CR each become a line break.
    void setNamesText(QString text);
    // The interval text (milliseconds as decimal text) of the hidden box int3rval.
    QString intervalText() const;
    void setIntervalText(const QString &text);

    // The window's outer size (frame included) in twips.
    double twipsWidth() const;
    double twipsHeight() const;
    void setTwipsWidth(double twips);
    void setTwipsHeight(double twips);

    // Smallest outer size, in twips.
    static constexpr double MinimumTwipsWidth = 4770;
    static constexpr double MinimumTwipsHeight = 4440;

    // The file dialog of "From file" and "To File"; its FileName lasts for the run.
    Velmira::FileDialog CD{this};

public slots:
    void Form_Resize();
    // The shutdown; runs once, from the window's close.
    void Form_Unload(UnloadMode mode = UnloadMode::Program);
    void Toolbar1_ButtonClick(QAbstractButton *button);
    void Toolbar1_ButtonDropDown(QAbstractButton *button);
    void Toolbar2_ButtonClick(QAbstractButton *button);
    void Toolbar3_ButtonClick(QAbstractButton *button);
    // An action on the tray icon: a click (Trigger) brings the window back and removes the icon.
    void sysTray_Activated(QSystemTrayIcon::ActivationReason reason);
    void messenger_OnLocalFriendlyNameChangeResult(qint32 hr, const QString &service,
                                                   const QString &prevFriendlyName);
    void mnuLoad1_Click();
    void mnuLoad2_Click();
    void mnuLoad3_Click();
    void mnuLoadFile_Click();
    void mnuSave1_Click();
    void mnuSave2_Click();
    void mnuSave3_Click();
    void mnuSaveFile_Click();

signals:
    // The unload has run to its end: the program may end.
    void unloaded();
    // Label1 shows a new display name (as the client reports it).
    void displayNameShown(const QString &name);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void loadSettings();
    void saveSettings();
    void loadPreset(int number);
    void savePreset(int number);
    void engineStateChanged(Velmira::RotationEngine::State state);
    void reportNotice(const QString &text);
    void bindNow(std::unique_ptr<Velmira::Messenger> messenger);
    // Keeps the outer size and the outer minimum (4770 x 4440 twips) when the window manager's
    // frame becomes known or changes.
    void frameChanged();
    // Widens the toolbar buttons whose captions need it and moves the bars to make room.
    void fitToolbars();
    // The outer minimum (4770 x 4440 twips), wider where the row of toolbars needs it.
    void applyMinimumSize();
    void layoutControls();
    // Puts a names text into txtNames, as paragraphs the box lays out quickly.
    void showNames(QString text);
    // Where a toolbar button's pop-up menu opens, in global coordinates.
    QPoint popupPosition(const QAbstractButton *button) const;

    QWidget *Toolbar1 = nullptr;
    QWidget *Toolbar2 = nullptr;
    QWidget *Toolbar3 = nullptr;
    DropDownButton *Toolbar1Start = nullptr;
    QToolButton *Toolbar1Stop = nullptr;
    QToolButton *Toolbar2Load = nullptr;
    QToolButton *Toolbar2Save = nullptr;
    QToolButton *Toolbar3About = nullptr;
    QLabel *Label1 = nullptr;
    QPlainTextEdit *txtNames = nullptr;
    QLineEdit *int3rval = nullptr;
    QMenu *mnuLoad = nullptr;
    QMenu *mnuSave = nullptr;
    QAction *mnuLoad1 = nullptr;
    QAction *mnuLoad2 = nullptr;
    QAction *mnuLoad3 = nullptr;
    QAction *mnuLoadFile = nullptr;
    QAction *mnuSave1 = nullptr;
    QAction *mnuSave2 = nullptr;
    QAction *mnuSave3 = nullptr;
    QAction *mnuSaveFile = nullptr;

    bool m_quitting = false;
    MessengerFactory m_createMessenger;
    Velmira::MessageBoxes *m_boxes;
    std::unique_ptr<Velmira::MessageBoxes> m_ownBoxes;
    Velmira::SettingsStore *m_store = nullptr;
    std::unique_ptr<Velmira::SettingsStore> m_ownStore;
    std::unique_ptr<Velmira::Messenger> m_messenger;
    // A client found while Running, bound at the next Start.
    std::unique_ptr<Velmira::Messenger> m_waitingMessenger;
    Velmira::RotationEngine m_engine;
    Velmira::SysTray m_sysTray;
    QPointer<frmOptions> m_options;
    QPointer<frmAbout> m_about;
    // A long names text given while the window was hidden, as the box will hold it: set at the
    // first showing.
    std::optional<QString> m_pendingNames;
    // Set by an unload the program was asked for: nobody may be there to close a message box.
    bool m_unattended = false;
    // Form_Load has run to its end.
    bool m_loaded = false;
    // Frame width and height around the client area, as last seen.
    QSize m_frameExtra{0, 0};
    // Width of the client area that the row of toolbars needs, with its right margin.
    int m_rowWidth = 0;
};
