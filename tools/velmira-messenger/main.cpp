// velmira-messenger: a reference client of Velmira's Messenger automation interface. It owns
// org.velmira.Messenger on the session bus and prints one line per call it receives.
#include "referenceclient.h"

#include "clients/dbusmessenger.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnectionInterface>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmira-messenger"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reference client of Velmira's Messenger automation interface."));
    parser.addHelpOption();
    const QCommandLineOption nameOption(QStringLiteral("name"),
                                        QStringLiteral("The display name to start with."),
                                        QStringLiteral("text"), QStringLiteral("Velmira user"));
    const QCommandLineOption stateOption(
        QStringLiteral("state"),
        QStringLiteral("Local state readings, comma-separated, given in order; the last one "
                       "repeats (1 offline, 512 connecting, 2 signed in)."),
        QStringLiteral("codes"), QStringLiteral("2"));
    const QCommandLineOption failOption(
        QStringLiteral("fail"),
        QStringLiteral("Answer calls of <method> with an error, the next <n> of them or all. "
                       "Repeatable."),
        QStringLiteral("method[:n]"));
    const QCommandLineOption hangOption(
        QStringLiteral("hang"),
        QStringLiteral("Answer calls of <method> only after 15 seconds. Repeatable."),
        QStringLiteral("method"));
    const QCommandLineOption eventResultOption(
        QStringLiteral("event-result"),
        QStringLiteral("The result code the change-result event carries."), QStringLiteral("hr"),
        QStringLiteral("0"));
    const QCommandLineOption noEventsOption(QStringLiteral("no-events"),
                                            QStringLiteral("Raise no change-result event."));
    const QCommandLineOption quitAfterOption(QStringLiteral("quit-after"),
                                             QStringLiteral("Quit after answering <n> writes."),
                                             QStringLiteral("n"));
    parser.addOptions({nameOption, stateOption, failOption, hangOption, eventResultOption,
                       noEventsOption, quitAfterOption});
    parser.process(app);

    QTextStream out(stdout);
    ReferenceClient client(out);
    client.displayName = parser.value(nameOption);
    client.raiseEvents = !parser.isSet(noEventsOption);

    auto fail = [&parser](const QString &message) {
        std::fprintf(stderr, "velmira-messenger: %s\n", qPrintable(message));
        parser.showHelp(2);
    };
    client.stateReadings.clear();
    for (const QString &text : parser.value(stateOption).split(u',')) {
        bool ok = false;
        client.stateReadings.append(text.trimmed().toInt(&ok));
        if (!ok)
            fail(QStringLiteral("--state: \"%1\" is not a 32-bit integer").arg(text));
    }
    for (const QString &failure : parser.values(failOption)) {
        const QStringList parts = failure.split(u':');
        int times = -1;
        bool ok = true;
        if (parts.size() > 1)
            times = parts.at(1).toInt(&ok);
        if (!ok || (parts.size() > 1 && times < 0) || parts.size() > 2)
            fail(QStringLiteral("--fail: \"%1\" is not method[:n]").arg(failure));
        client.failures.insert(parts.at(0), times);
    }
    client.hangs = parser.values(hangOption);
    bool ok = false;
    client.eventResult = parser.value(eventResultOption).toInt(&ok);
    if (!ok)
        fail(QStringLiteral("--event-result: not a 32-bit integer"));
    if (parser.isSet(quitAfterOption)) {
        client.quitAfterWrites = parser.value(quitAfterOption).toInt(&ok);
        if (!ok || client.quitAfterWrites < 1)
            fail(QStringLiteral("--quit-after: not a positive number"));
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "velmira-messenger: no session bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    if (!bus.registerVirtualObject(Velmira::MessengerBus::ObjectPath, &client,
                                   QDBusConnection::SubPath)) {
        std::fprintf(stderr, "velmira-messenger: could not serve %s\n",
                     qPrintable(Velmira::MessengerBus::ObjectPath));
        return 1;
    }
    // Another client already serving the name keeps it: two clients would answer in turns.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> owned =
        bus.interface()->registerService(Velmira::MessengerBus::ServiceName,
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!owned.isValid() || owned.value() != QDBusConnectionInterface::ServiceRegistered) {
        std::fprintf(stderr, "velmira-messenger: %s is taken by another program\n",
                     qPrintable(Velmira::MessengerBus::ServiceName));
        return 1;
    }
    std::fprintf(stderr, "velmira-messenger: serving %s as \"%s\"\n",
                 qPrintable(Velmira::MessengerBus::ServiceName), qPrintable(client.displayName));

    const int status = app.exec();
    bus.unregisterService(Velmira::MessengerBus::ServiceName);
    bus.unregisterObject(Velmira::MessengerBus::ObjectPath, QDBusConnection::UnregisterTree);
    return status;
}
