#include "ircrig.h"

#include "privatebus.h"
#include "testfiles.h"

#include <QTcpServer>
#include <QTest>

#include <cstdio>

const QString IrcRig::Channel = QStringLiteral("#velmira");

namespace {
// %1 the folder, %2 the port. Loopback only, no lookups.
const char *const ServerConfig = "[Global]\nName = irc.velmira.test\nInfo = test\nListen = "
                                 "127.0.0.1\nPorts = %2\nPidFile = %1/ngircd.pid\n[Limits]\n"
                                 "MaxNickLength = 12\n[Options]\nIdent = no\nPAM = no\nDNS = no\n";
} // namespace

bool IrcRig::start(const QString &observerNick, const QProcessEnvironment &environment)
{
    { // A port that is free now; the server takes it a moment later.
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        m_port = probe.serverPort();
    }
    const QString config = path(QStringLiteral("ngircd.conf"));
    if (!TestFiles::write(config,
                          QString::fromLatin1(ServerConfig).arg(m_dir.path()).arg(m_port).toUtf8()))
        return false;
    m_server.setProcessEnvironment(environment);
    m_server.start(QStringLiteral("ngircd"), {QStringLiteral("-n"), QStringLiteral("-f"), config});
    m_observer.setProcessEnvironment(environment);
    m_observer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_observer.start(QStringLiteral(VELMIRA_IRC_OBSERVER),
                     {QString::number(m_port), observerNick, Channel});
    const QString joined = QStringLiteral("JOIN ") + observerNick;
    if (!QTest::qWaitFor([&] { return seen().contains(joined); }, 30000)) {
        std::fprintf(stderr, "IrcRig: the observer did not join %s on 127.0.0.1:%u\n",
                     qPrintable(Channel), unsigned(m_port));
        return false;
    }
    return true;
}

IrcRig::~IrcRig()
{
    stopProcess(m_observer);
    stopProcess(m_server);
}

QStringList IrcRig::seen()
{
    while (m_observer.canReadLine())
        m_seen << QString::fromUtf8(m_observer.readLine()).trimmed();
    return m_seen;
}

void IrcRig::forget()
{
    seen();
    m_seen.clear();
}

void IrcRig::send(const QByteArray &line)
{
    m_observer.write(line + '\n');
}
