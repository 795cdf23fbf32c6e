#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <memory>

// A D-Bus session bus of the test's own: a dbus-daemon child (never forking) that lives as long
// as this object, and a connection of the test to it.
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

    // Waits (running the event loop) until `name` is owned on the bus, or is no longer.
    bool waitForName(const QString &name, bool owned = true, int timeoutMs = 10000) const;

private:
    QProcess m_daemon;
    QString m_address;
    QString m_connectionName;
    QDBusConnection m_connection{QString()};
};

// A velmira-messenger process on a PrivateBus, with what it printed.
class ReferenceClientProcess
{
public:
    ReferenceClientProcess(const PrivateBus &bus, const QStringList &arguments);
    ~ReferenceClientProcess();

    // Whether the client came up and owns org.velmira.Messenger.
    bool isServing() const { return m_serving; }
    QProcess &process() { return m_process; }
    // Lines printed so far, one per call received.
    QStringList lines();

private:
    QProcess m_process;
    QByteArray m_output;
    bool m_serving = false;
};
