#pragma once

#include "clients/messengerchoice.h"

#include <QAction>
#include <QObject>

#include <memory>

class frmMain;

namespace Velmira {

// What the window, the tray icon's menu and the remote control share, with no widget of its own:
// the actions (Start, Stop, Show/Hide, Quit, Start with the session), the tray icon's tooltip,
// and the binding of a client program that starts while Velmira runs. The window keeps the view
// and the rotation; each action does what its button does.
//
// Object names: "actStart", "actStop", "actShowHide", "actQuit", "actAutostart".
class AppController : public QObject
{
    Q_OBJECT
public:
    AppController(frmMain &window, std::shared_ptr<const QCommandLineParser> parser,
                  const QDBusConnection &bus = QDBusConnection::sessionBus(),
                  QObject *parent = nullptr);

    QList<QAction *> actions() const;
    bool isRunning() const;
    // Whether the window is on the screen (not hidden in the notification area or minimised).
    bool isShown() const;
    // What Label1 shows: the display name as the client reports it.
    QString displayName() const { return m_displayName; }

public slots:
    bool start();
    void stop();
    // Starts when stopped, stops when running.
    void toggle();
    // Brings the window back from the notification area or the taskbar, in front.
    void show();
    void quit();

signals:
    // The rotation started or stopped, or the display name changed.
    void changed();

private:
    void showOrHide();
    void setAutostart(bool on);
    void update();

    frmMain &m_window;
    MessengerWatcher m_watcher;
    QString m_displayName;
    QAction m_start;
    QAction m_stop;
    QAction m_showHide;
    QAction m_quit;
    QAction m_autostart;
};

} // namespace Velmira
