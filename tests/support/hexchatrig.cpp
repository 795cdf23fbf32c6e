#include "hexchatrig.h"

#include "ircrig.h"
#include "privatebus.h"
#include "testfiles.h"

#include "clients/hexchatmessenger.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {
// Flags 27: cycle, global user, auto-connect. %1 the port, %2 the nick, %3 the channel.
const char *const Servlist = "v=2.16.1\n\nN=Loopback\nI=%2\nU=velmira\nR=Velmira\nJ=%3\n"
                             "E=UTF-8 (Unicode)\nF=27\nD=0\nS=127.0.0.1/%1\n\n";
// No network list, join dialog or tray icon at start.
const char *const Config = "version = 2.16.1\ngui_slist_skip = 1\ngui_join_dialog = 0\n"
                           "gui_tray = 0\nnet_throttle = 0\nirc_nick1 = %1\n"
                           "irc_user_name = velmira\n";
constexpr int Patience = 30000;
} // namespace

bool startHexchat(QProcess &hexchat, const PrivateBus &bus, IrcRig &irc, const QString &nick)
{
    const QString dir = irc.path(QStringLiteral("hexchat"));
    QDir().mkpath(dir);
    if (!TestFiles::write(
            dir + QStringLiteral("/servlist.conf"),
            QString::fromLatin1(Servlist).arg(irc.port()).arg(nick, IrcRig::Channel).toUtf8()) ||
        !TestFiles::write(dir + QStringLiteral("/hexchat.conf"),
                          QString::fromLatin1(Config).arg(nick).toUtf8()))
        return false;
    hexchat.setProcessEnvironment(bus.environment());
    hexchat.start(QStringLiteral("hexchat"), {QStringLiteral("-d"), dir});
    // As root it first shows a modal warning box, which holds back its D-Bus service until it is
    // dismissed.
    for (QDeadlineTimer deadline(Patience); !Velmira::DBusClient::isRunning(
             bus.connection(), Velmira::HexchatMessenger::ServiceName);) {
        if (deadline.hasExpired() || !hexchat.waitForStarted(5000)) {
            std::fprintf(stderr, "HexChat did not offer its D-Bus service\n");
            return false;
        }
        if (geteuid() == 0)
            QProcess::execute(QStringLiteral("xdotool"),
                              QStringLiteral("search --onlyvisible --class hexchat key Return")
                                  .split(QLatin1Char(' ')));
        bus.waitForName(Velmira::HexchatMessenger::ServiceName, true, 500);
    }
    if (!QTest::qWaitFor([&] { return irc.seen().contains(QStringLiteral("JOIN ") + nick); },
                         Patience)) {
        std::fprintf(stderr, "HexChat did not join %s\n", qPrintable(IrcRig::Channel));
        return false;
    }
    // Joined: signed in as far as the end of the message of the day, too.
    Velmira::HexchatMessenger probe(bus.connection());
    return QTest::qWaitFor(
        [&] {
            try {
                return probe.localState() == Velmira::MessengerStateSignedIn;
            } catch (const Velmira::MessengerError &) {
                return false;
            }
        },
        Patience);
}
