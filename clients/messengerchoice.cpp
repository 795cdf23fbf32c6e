#include "messengerchoice.h"

#include "core/builtinmessenger.h"
#include "dbusmessenger.h"
#include "hexchatmessenger.h"
#include "pidginmessenger.h"

#include <QCoreApplication>

#include <cstdio>

namespace Velmira {

namespace {
const QString MessengerOption = QStringLiteral("messenger");
const QString AccountOption = QStringLiteral("pidgin-account");
const QString ProtocolOption = QStringLiteral("pidgin-protocol");
const QString NameOption = QStringLiteral("pidgin-name");
const QString NetworkOption = QStringLiteral("hexchat-network");
const QString AutoChoice = QStringLiteral("auto");
const QString BuiltinChoice = QStringLiteral("builtin");

std::unique_ptr<Messenger> createPidgin(const QCommandLineParser &parser,
                                        const QDBusConnection &bus, QString *description)
{
    const QString nameKind = parser.value(NameOption);
    PidginMessenger::NameKind kind;
    if (nameKind == QLatin1String("alias"))
        kind = PidginMessenger::NameKind::Alias;
    else if (nameKind == QLatin1String("status"))
        kind = PidginMessenger::NameKind::StatusMessage;
    else
        throw MessengerError(
            ResultFail, QString(),
            QCoreApplication::translate("Velmira::MessengerChoice",
                                        "--pidgin-name takes status or alias, not \"%1\"")
                .arg(nameKind));

    const QString account = parser.value(AccountOption);
    const QString protocol = parser.value(ProtocolOption);
    if (description) {
        // Whole sentences, so that each language can word them its own way.
        const bool alias = kind == PidginMessenger::NameKind::Alias;
        if (account.isEmpty())
            *description = alias ? QCoreApplication::translate(
                                       "Velmira::MessengerChoice",
                                       "Messenger client: Pidgin over D-Bus, rotating the alias "
                                       "of the first active account")
                                 : QCoreApplication::translate(
                                       "Velmira::MessengerChoice",
                                       "Messenger client: Pidgin over D-Bus, rotating the status "
                                       "message of the first active account");
        else
            *description =
                (alias ? QCoreApplication::translate(
                             "Velmira::MessengerChoice",
                             "Messenger client: Pidgin over D-Bus, rotating the alias "
                             "of the account \"%1\"%2")
                       : QCoreApplication::translate(
                             "Velmira::MessengerChoice",
                             "Messenger client: Pidgin over D-Bus, rotating the status "
                             "message of the account \"%1\"%2"))
                    .arg(account,
                         protocol.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(protocol));
    }
    return std::make_unique<PidginMessenger>(bus, kind, account, protocol);
}

std::unique_ptr<Messenger> createHexchat(const QCommandLineParser &parser,
                                         const QDBusConnection &bus, QString *description)
{
    const QString network = parser.value(NetworkOption);
    if (description)
        *description =
            network.isEmpty()
                ? QCoreApplication::translate("Velmira::MessengerChoice",
                                              "Messenger client: HexChat over D-Bus, rotating the "
                                              "nickname on the first connected network")
                : QCoreApplication::translate("Velmira::MessengerChoice",
                                              "Messenger client: HexChat over D-Bus, rotating the "
                                              "nickname on the network \"%1\"")
                      .arg(network);
    return std::make_unique<HexchatMessenger>(bus, network);
}

std::unique_ptr<Messenger> createDBus(const QCommandLineParser &, const QDBusConnection &bus,
                                      QString *description)
{
    if (description)
        *description = QCoreApplication::translate("Velmira::MessengerChoice",
                                                   "Messenger client: %1 on the D-Bus session bus")
                           .arg(MessengerBus::ServiceName);
    return std::make_unique<DBusMessenger>(bus);
}

std::vector<const ClientProgram *> programsFor(const QString &choice)
{
    std::vector<const ClientProgram *> programs;
    for (const ClientProgram &program : clientPrograms())
        if (choice == AutoChoice || choice == program.choice)
            programs.push_back(&program);
    return programs;
}
} // namespace

const std::vector<ClientProgram> &clientPrograms()
{
    static const std::vector<ClientProgram> programs{
        {QStringLiteral("pidgin"), PidginMessenger::ServiceName, createPidgin},
        {QStringLiteral("hexchat"), HexchatMessenger::ServiceName, createHexchat},
        {QStringLiteral("dbus"), MessengerBus::ServiceName, createDBus},
    };
    return programs;
}

QStringList messengerChoices()
{
    QStringList choices{AutoChoice, BuiltinChoice};
    for (const ClientProgram &program : clientPrograms())
        choices << program.choice;
    return choices;
}

void addMessengerOptions(QCommandLineParser &parser)
{
    const QStringList choices = messengerChoices();
    parser.addOption(QCommandLineOption(
        MessengerOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "The Messenger client to drive: %1. auto takes the first of them that "
            "runs, and binds to one that starts later; until then names are shown "
            "only inside Velmira.")
            .arg(choices.join(QLatin1String(", "))),
        QCoreApplication::translate("Velmira::MessengerChoice", "client"), AutoChoice));
    parser.addOption(
        QCommandLineOption(AccountOption,
                           QCoreApplication::translate(
                               "Velmira::MessengerChoice",
                               "Pidgin: the user name of the account to drive (default: the first "
                               "active account)."),
                           QCoreApplication::translate("Velmira::MessengerChoice", "user")));
    parser.addOption(QCommandLineOption(
        ProtocolOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "Pidgin: the protocol id of that account, e.g. prpl-jabber (default: any)."),
        QCoreApplication::translate("Velmira::MessengerChoice", "id")));
    parser.addOption(QCommandLineOption(
        NameOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "Pidgin: rotate the account's status message (what contacts see), or its "
            "alias (which XMPP contacts never see)."),
        QStringLiteral("status|alias"), QStringLiteral("status")));
    parser.addOption(QCommandLineOption(
        NetworkOption,
        QCoreApplication::translate("Velmira::MessengerChoice",
                                    "HexChat: the network whose nickname to rotate, as named in "
                                    "HexChat's network list (default: the first connected one)."),
        QCoreApplication::translate("Velmira::MessengerChoice", "name")));
}

std::unique_ptr<Messenger> createMessenger(const QCommandLineParser &parser,
                                           QString *chosenDescription, const QDBusConnection &bus)
{
    const QString choice = parser.value(MessengerOption);
    if (choice == BuiltinChoice) {
        if (chosenDescription)
            *chosenDescription = QCoreApplication::translate("Velmira::MessengerChoice",
                                                             "Messenger client: built-in");
        return std::make_unique<BuiltinMessenger>();
    }
    const std::vector<const ClientProgram *> programs = programsFor(choice);
    if (programs.empty())
        throw MessengerError(ResultFail, QString(),
                             QCoreApplication::translate("Velmira::MessengerChoice",
                                                         "--messenger does not take \"%1\"")
                                 .arg(choice));
    for (const ClientProgram *program : programs)
        if (DBusClient::isRunning(bus, program->busName))
            return program->create(parser, bus, chosenDescription);
    if (choice != AutoChoice)
        throw MessengerError(
            ResultGone, QString(),
            QCoreApplication::translate("Velmira::MessengerChoice",
                                        "%1 is not running (no %2 on the session bus)")
                .arg(choice, programs.front()->busName));
    if (chosenDescription)
        *chosenDescription = QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "Messenger client: none is running; names are shown only inside Velmira until one "
            "starts");
    return std::make_unique<BuiltinMessenger>();
}

MessengerWatcher::MessengerWatcher(std::shared_ptr<const QCommandLineParser> parser,
                                   const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_parser(std::move(parser)), m_bus(bus),
      m_programs(programsFor(m_parser->value(MessengerOption)))
{
    m_watcher.setConnection(m_bus);
    m_watcher.setWatchMode(QDBusServiceWatcher::WatchForRegistration);
    for (const ClientProgram *program : m_programs)
        m_watcher.addWatchedService(program->busName);
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this,
            &MessengerWatcher::clientAppeared);
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this](const QString &name) {
        if (!m_binder)
            return;
        QString description;
        try {
            if (std::unique_ptr<Messenger> messenger = create(name, &description)) {
                std::fprintf(stderr, "velmira: %s\n", qPrintable(description));
                m_binder(std::move(messenger));
            }
        } catch (const MessengerError &error) {
            std::fprintf(stderr, "velmira: %s\n", qPrintable(error.report()));
        }
    });
}

std::unique_ptr<Messenger> MessengerWatcher::create(const QString &busName, QString *description)
{
    for (const ClientProgram *program : m_programs)
        if (program->busName == busName && DBusClient::isRunning(m_bus, busName))
            return program->create(*m_parser, m_bus, description);
    return nullptr;
}

std::unique_ptr<Messenger> MessengerWatcher::createRunning(QString *description)
{
    for (const ClientProgram *program : m_programs)
        if (DBusClient::isRunning(m_bus, program->busName))
            return program->create(*m_parser, m_bus, description);
    return nullptr;
}

} // namespace Velmira
