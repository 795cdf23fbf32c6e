#include "ircrig.h"

#include "privatebus.h"
#include "testfiles.h"

#include "core/restorerecord.h"
#include "core/rotationengine.h"
#include "core/settingsstore.h"

#include <QSignalSpy>
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

QString startVelmira(QProcess &velmira, const QString &configHome, const QStringList &arguments,
                     QProcessEnvironment environment, const QString &names)
{
    Velmira::Settings values;
    values.interval = QStringLiteral("1000");
    values.names = names;
    const QString settings = configHome + QStringLiteral("/Velmira/Vuzerer4.ini");
    const Velmira::Result saved = Velmira::SettingsStore(settings).save(values);
    if (!saved.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(saved.message));
        return {};
    }
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    velmira.setProcessEnvironment(environment);
    velmira.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    velmira.start(QStringLiteral(VELMIRA_PATH), arguments);
    return Velmira::RestoreRecord::pathBeside(settings);
}

void runWholeProgram(IrcRig &irc, const QStringList &arguments,
                     const QProcessEnvironment &environment, const QString &original, bool kill,
                     const QString &configHome)
{
    constexpr int Patience = 30000;
    QTemporaryDir temporary;
    const QString home = configHome.isEmpty() ? temporary.path() : configHome;
    QProcess velmira;
    irc.forget();
    const QString record = startVelmira(
        velmira, home, arguments + QStringList{QStringLiteral("--start-when-shown")}, environment);
    QVERIFY(!record.isEmpty());
    const QString window = velmiraWindow(velmira);
    QVERIFY(!window.isEmpty() &&
            xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window}));
    QTRY_VERIFY_WITH_TIMEOUT(
        irc.seen().contains(QStringLiteral("NICK ") + original + QStringLiteral(" Ann")), Patience);
    if (kill) {
        velmira.kill();
        QVERIFY(velmira.waitForFinished());
        QVERIFY(QFile::exists(record));
        startVelmira(velmira, home, arguments + QStringList{QStringLiteral("--quit-when-shown")},
                     environment);
    } else {
        QVERIFY(pressCloseKey());
    }
    QVERIFY2(velmira.waitForFinished(Patience), "velmira is still running");
    QCOMPARE(velmira.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(irc.seen().filter(QStringLiteral("NICK ")).last().section(u' ', 2),
                              original, Patience);
    QVERIFY(!QFile::exists(record));
}

void runConfirmedRotation(IrcRig &irc, Velmira::Messenger &messenger, const QStringList &badNames,
                          int refusalCode, const QString &original)
{
    using Velmira::RotationEngine;
    constexpr int Patience = 30000;
    QSignalSpy events(&messenger, &Velmira::Messenger::OnLocalFriendlyNameChangeResult);
    RotationEngine engine;
    QSignalSpy notices(&engine, &RotationEngine::noticeGiven);
    QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
    engine.setMessenger(&messenger);
    engine.captureOriginalName();
    QCOMPARE(engine.originalName(), std::optional(original));
    for (const QString &bad : badNames)
        QVERIFY(!engine.start(QStringLiteral("abcdefghijkl\r\n%1\r\nAnn").arg(bad), "1"));
    QCOMPARE(errors.count(), badNames.size());
    for (const QList<QVariant> &error : std::as_const(errors))
        QVERIFY2(error.at(0).toString().contains(QStringLiteral("line 2")),
                 qPrintable(error.at(0).toString()));

    irc.send("NICK Other"); // before anything of ours is sent
    QTRY_VERIFY(irc.seen().contains(QStringLiteral("NICK Taken Other")));
    irc.send("NICK Taken");
    QTRY_VERIFY(irc.seen().contains(QStringLiteral("NICK Other Taken")));
    irc.forget();
    QVERIFY(engine.start(QStringLiteral("Ann\r\nSkipped\r\nTaken\r\nBob\r\n"),
                         QStringLiteral("3600000")));
    QCOMPARE(events.count(), 0); // the observer's changes were not ours
    // Ann; Skipped sends nothing while Ann is unconfirmed; Taken, refused; Bob; Ann; Skipped;
    // Bob, Taken not asked for again.
    for (int tick = 1, answered = 1; tick <= 7; ++tick) {
        engine.tick();
        if (tick == 1)
            continue;
        QVERIFY2(QTest::qWaitFor([&] { return events.count() == answered; }, Patience),
                 qPrintable(QStringLiteral("tick %1").arg(tick)));
        ++answered;
    }
    QCOMPARE(events.at(1).at(0).toInt(), refusalCode);
    QCOMPARE(messenger.localFriendlyName(), QStringLiteral("Bob"));
    QCOMPARE(notices.count(), 2);
    QCOMPARE(notices.at(1).at(0).toString(),
             QStringLiteral("The name \"Taken\" was refused by %1: already in use. It is left out "
                            "for the rest of this rotation.")
                 .arg(messenger.clientName()));
    engine.stop(true);
    QTRY_COMPARE_WITH_TIMEOUT(messenger.localFriendlyName(), original, Patience);
    QTRY_COMPARE_WITH_TIMEOUT(irc.seen().filter(QStringLiteral("NICK ")).join(u','),
                              QStringLiteral("NICK %1 Ann,NICK Ann Bob,NICK Bob Ann,NICK Ann "
                                             "Skipped,NICK Skipped Bob,NICK Bob %1")
                                  .arg(original),
                              Patience);
    QCOMPARE(errors.count(), badNames.size());
}
