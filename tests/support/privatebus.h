#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>

#include <initializer_list>

// Ends a child process: politely first, then by force.
void stopProcess(QProcess &process);

// Runs xdotool with `arguments`; whether it succeeded.
bool xdotool(const QStringList &arguments);
// The X window of the main window of the velmira `process`, waiting for it to show; empty when
// it does not.
QString velmiraWindow(const QProcess &process);
// A shown X window of `process` other than `window` (a message box); empty when there is none.
QString otherWindowOf(const QProcess &process, const QString &window);
// The X window's _NET_WM_USER_TIME (0: it asks not to be given the focus when it shows); -1 when
// it has none.
qint64 userTime(const QString &window);
// Presses the window manager's close key, Alt+F4, as a user would: it closes the window that
// has the focus.
bool pressCloseKey();

// Whether there is an X display and each of `programs` can be found; says what is missing on
// stderr otherwise (a test that needs a real client then skips itself).
bool hasDesktopWith(std::initializer_list<const char *> programs);

// A session bus of the test's own: a dbus-daemon child (never forking) that lives as long as
// this object, and the test's connection to it.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    bool isValid() const { return m_connection.isConnected(); }
    QString address() const { return m_address; }
    QDBusConnection connection() const { return m_connection; }
    // The environment of a program that is to use this bus as its session bus.
    QProcessEnvironment environment() const;
    // Runs the event loop until `name` is owned on the bus (by the process `pid`, unless 0) or,
    // with `owned` false, no longer.
    bool waitForName(const QString &name, bool owned = true, int timeoutMs = 10000,
                     qint64 pid = 0) const;

private:
    QProcess m_daemon;
    QString m_address;
    QDBusConnection m_connection{QString()};
};

// A velmira-messenger process on a PrivateBus; it prints one line per call it receives.
class ReferenceClientProcess
{
public:
    ReferenceClientProcess(const PrivateBus &bus, const QStringList &arguments);
    ~ReferenceClientProcess() { stopProcess(m_process); }
    // Whether the client came up and owns org.velmira.Messenger.
    bool isServing() const { return m_serving; }
    QStringList lines();

private:
    QProcess m_process;
    QByteArray m_output;
    bool m_serving = false;
};
