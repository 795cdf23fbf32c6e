#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Velmira {

// What Velmira reads of a WeeChat home (WeeChat 3.8): its folders, found as WeeChat finds them,
// the FIFO a running WeeChat reads commands from, and the few options of its configuration files
// that driving it needs. Files are read anew on each question: WeeChat writes them when it saves.
class WeechatHome
{
public:
    // `dir` as WeeChat's --dir takes it: one folder, or config:data:cache:runtime. Empty: the
    // environment variable WEECHAT_HOME, else ~/.weechat when it holds weechat.conf, else the XDG
    // folders.
    explicit WeechatHome(const QString &dir = {});

    // A FIFO that a running WeeChat reads.
    struct Fifo
    {
        QString path;
        qint64 pid = 0; // the WeeChat process, from the FIFO's name
    };
    // The folder WeeChat makes its FIFO in (fifo.conf's path).
    QString fifoFolder() const;
    // The FIFO of a WeeChat that runs now, the newest when several do; nullopt when none does
    // (a FIFO left behind by a killed WeeChat is not one).
    std::optional<Fifo> liveFifo() const;

    // irc.conf's servers, those that connect at start first.
    QStringList servers() const;
    // The first of the server's nicks (else the defaults'): what WeeChat signs on with.
    QString configuredNick(const QString &server) const;
    // The server's anti-flood delay for user lines, in milliseconds (0: none).
    int antiFloodMs(const QString &server) const;

    // A relay of WeeChat's own protocol: host and port, or the path of a UNIX socket.
    struct Relay
    {
        QString host;
        quint16 port = 0;
        QString socketPath;
        QString describe() const;
    };
    // "host:port", "[v6]:port" or a socket path (which contains a slash); nullopt when `text`
    // is none of these.
    static std::optional<Relay> parseRelay(const QString &text);
    // The first plain (not TLS) relay of the weechat protocol in relay.conf.
    std::optional<Relay> relay() const;
    // relay.conf's password, with ${sec.data.NAME} taken from sec.conf when that keeps its data
    // unencrypted; nullopt when it cannot be read.
    std::optional<QString> relayPassword() const;

private:
    struct Option
    {
        QString section;
        QString name;
        QString value;
    };
    QList<Option> read(const QString &file) const;
    // The value of one option of the file `file` ("irc" for irc.conf).
    std::optional<QString> value(const QString &file, const QString &section,
                                 const QString &name) const;
    QString evaluatePath(QString path) const;
    QString fifoPath() const;

    QString m_config, m_data, m_cache, m_runtime;
};

} // namespace Velmira
