#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

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
