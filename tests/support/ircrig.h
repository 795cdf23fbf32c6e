#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

namespace Velmira {
class Messenger;
}

// An IRC network of a test's own: an ngircd on 127.0.0.1 at a free port (nicknames of at most
// 12 characters), and an observer in a channel (ircobserver.py) that reports every JOIN, QUIT and
// NICK crossing the wire as one line, and sends what the test tells it to.
class IrcRig
{
public:
    static const QString Channel;

    // Starts the server and the observer, joined as `observerNick`; false (after saying why on
    // stderr) when either does not come up.
    bool start(const QString &observerNick, const QProcessEnvironment &environment);
    ~IrcRig();

    quint16 port() const { return m_port; }
    // A path in the rig's own temporary folder.
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // Every line the observer reported so far, e.g. "NICK orignick Ann".
    QStringList seen();
    // Forgets the lines reported so far.
    void forget();
    // Sends a raw line to the server as the observer ("NICK Other").
    void send(const QByteArray &line);

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_observer;
    quint16 m_port = 0;
    QStringList m_seen;
};

// Starts the velmira program with `arguments` (--messenger=… with the client's options, and how
// it ends) in `environment`, its settings (`names`, a tick a second) in `configHome` as its
// XDG_CONFIG_HOME. Returns the path of its record of a rotation; empty (after saying why on
// stderr) when the settings could not be written.
QString startVelmira(QProcess &velmira, const QString &configHome, const QStringList &arguments,
                     QProcessEnvironment environment,
                     const QString &names = QStringLiteral("Ann\r\nBob\r\n"));
// The whole program as a user runs it, against the client in the rig signed in as `original`:
// velmira started with --start-when-shown rotates on its timer until the first name is on the
// wire; then its window is closed (`kill` false), or it is killed and started again with
// --quit-when-shown. Either way it ends by itself, the last nick on the wire is `original` and
// the record of the rotation is gone. The settings go to a temporary folder unless `configHome`
// names one. A failure is recorded for the running test.
void runWholeProgram(IrcRig &irc, const QStringList &arguments,
                     const QProcessEnvironment &environment, const QString &original, bool kill,
                     const QString &configHome = {});
// A rotation through `messenger`, a client that confirms each change, signed in to the rig as
// `original` while the observer holds "Taken": each of `badNames` on line 2 is refused at Start,
// naming the line; the observer's own nick changes are not taken for ours; "Ann, Skipped, Taken,
// Bob" reach the channel one per tick, a tick while a change is unconfirmed sends nothing, Taken
// is refused (event `refusalCode`), told once in plain words and not asked for again; Stop puts
// the original back. A failure is recorded for the running test.
void runConfirmedRotation(IrcRig &irc, Velmira::Messenger &messenger, const QStringList &badNames,
                          int refusalCode, const QString &original);
