#include "messengerchoice.h"

#include "core/builtinmessenger.h"
#include "dbusmessenger.h"
#include "hexchatmessenger.h"
#include "konversationmessenger.h"
#include "pidginmessenger.h"
#include "telepathymessenger.h"
#include "weechatmessenger.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace Velmira {

namespace {
const QString MessengerOption = QStringLiteral("messenger");
const QString AccountOption = QStringLiteral("pidgin-account");
const QString ProtocolOption = QStringLiteral("pidgin-protocol");
const QString NameOption = QStringLiteral("pidgin-name");
const QString NetworkOption = QStringLiteral("hexchat-network");
const QString KonversationServerOption = QStringLiteral("konversation-server");
const QString WeechatServerOption = QStringLiteral("weechat-server");
const QString WeechatRelayOption = QStringLiteral("weechat-relay");
const QString TelepathyAccountOption = QStringLiteral("telepathy-account");
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
            *description =
                alias ? QCoreApplication::translate(
                            "Velmira::MessengerChoice",
                            "Messenger client: Pidgin over D-Bus, rotating the alias "
                            "of the first active account (one whose contacts see status messages "
                            "first)")
                      : QCoreApplication::translate(
                            "Velmira::MessengerChoice",
                            "Messenger client: Pidgin over D-Bus, rotating the status "
                            "message of the first active account whose contacts see it");
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

std::unique_ptr<Messenger> createKonversation(const QCommandLineParser &parser,
                                              const QDBusConnection &bus, QString *description)
{
    const QString server = parser.value(KonversationServerOption);
    if (description)
        *description =
            server.isEmpty()
                ? QCoreApplication::translate("Velmira::MessengerChoice",
                                              "Messenger client: Konversation over D-Bus, "
                                              "rotating the nickname on the first connected "
                                              "server; no change can be confirmed")
                : QCoreApplication::translate("Velmira::MessengerChoice",
                                              "Messenger client: Konversation over D-Bus, "
                                              "rotating the nickname on the server \"%1\"; no "
                                              "change can be confirmed")
                      .arg(server);
    return std::make_unique<KonversationMessenger>(bus, server);
}

std::unique_ptr<Messenger> createWeechat(const QCommandLineParser &parser, const QDBusConnection &,
                                         QString *description)
{
    const QString relay = parser.value(WeechatRelayOption);
    if (!relay.isEmpty() && !WeechatHome::parseRelay(relay))
        throw MessengerError(ResultFail, QString(),
                             QCoreApplication::translate("Velmira::MessengerChoice",
                                                         "--weechat-relay takes host:port or the "
                                                         "path of a socket, not \"%1\"")
                                 .arg(relay));
    auto messenger =
        std::make_unique<WeechatMessenger>(QString(), parser.value(WeechatServerOption), relay);
    if (description)
        *description =
            messenger->relayAddress().isEmpty()
                ? QCoreApplication::translate("Velmira::MessengerChoice",
                                              "Messenger client: WeeChat through its FIFO, "
                                              "rotating the nickname on the server \"%1\"; "
                                              "without its relay no change can be confirmed")
                      .arg(messenger->server())
                : QCoreApplication::translate("Velmira::MessengerChoice",
                                              "Messenger client: WeeChat through its FIFO, "
                                              "rotating the nickname on the server \"%1\", "
                                              "each change confirmed through its relay at %2")
                      .arg(messenger->server(), messenger->relayAddress());
    return messenger;
}

std::unique_ptr<Messenger> createTelepathy(const QCommandLineParser &parser,
                                           const QDBusConnection &bus, QString *description)
{
    const QString account = parser.value(TelepathyAccountOption);
    if (description)
        *description =
            account.isEmpty()
                ? QCoreApplication::translate("Velmira::MessengerChoice",
                                              "Messenger client: Telepathy (Polari's) over D-Bus, "
                                              "rotating the nickname of the first enabled IRC "
                                              "account, a connected one first")
                : QCoreApplication::translate("Velmira::MessengerChoice",
                                              "Messenger client: Telepathy (Polari's) over D-Bus, "
                                              "rotating the nickname of the account \"%1\"")
                      .arg(account);
    return std::make_unique<TelepathyMessenger>(bus, account);
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
        if (choice == AutoChoice || program.choices.contains(choice))
            programs.push_back(&program);
    return programs;
}

void addPidginOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        AccountOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "Pidgin: the user name of the account to drive (default: the first active account "
            "whose contacts are known to see the rotated name, else the first active account)."),
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
            "Pidgin: rotate the account's status message (what contacts see), or its alias (which "
            "XMPP contacts never see)."),
        QStringLiteral("status|alias"), QStringLiteral("status")));
}

void addHexchatOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        NetworkOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "HexChat: the network whose nickname to rotate, as named in HexChat's network list "
            "(default: the first connected one)."),
        QCoreApplication::translate("Velmira::MessengerChoice", "name")));
}
void addKonversationOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        KonversationServerOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "Konversation: the server whose nickname to rotate, by the address Konversation "
            "connects to (default: the first connected one)."),
        QCoreApplication::translate("Velmira::MessengerChoice", "address")));
}
void addWeechatOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        WeechatServerOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "WeeChat: the IRC server whose nickname to rotate, as named in WeeChat (default: the "
            "first connected one its relay reports, else the first one that connects at start)."),
        QCoreApplication::translate("Velmira::MessengerChoice", "name")));
    parser.addOption(QCommandLineOption(
        WeechatRelayOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "WeeChat: its relay (weechat protocol) that confirms each change, as host:port or "
            "the path of its socket (default: the one in WeeChat's relay.conf). Its password "
            "comes from WeeChat's configuration, or from the environment variable "
            "VELMIRA_WEECHAT_RELAY_PASSWORD."),
        QCoreApplication::translate("Velmira::MessengerChoice", "address")));
}

void addTelepathyOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        TelepathyAccountOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "Telepathy (Polari): the IRC account whose nickname to rotate, by its display name or "
            "object path (default: the first enabled IRC account, a connected one first)."),
        QCoreApplication::translate("Velmira::MessengerChoice", "account")));
}
} // namespace

bool ClientProgram::isRunning(const QDBusConnection &bus) const
{
    return running ? running(bus) : DBusClient::isRunning(bus, busName);
}

const std::vector<ClientProgram> &clientPrograms()
{
    static const std::vector<ClientProgram> programs{
        {{QStringLiteral("pidgin")},
         PidginMessenger::ServiceName,
         {},
         {},
         addPidginOptions,
         createPidgin},
        {{QStringLiteral("hexchat")},
         HexchatMessenger::ServiceName,
         {},
         {},
         addHexchatOptions,
         createHexchat},
        {{QStringLiteral("konversation")},
         KonversationMessenger::ServiceName,
         {},
         {},
         addKonversationOptions,
         createKonversation},
        // Found by its FIFO, in the home WeeChat itself would use (WEECHAT_HOME and so on).
        {{QStringLiteral("weechat")},
         {},
         [](const QDBusConnection &) { return WeechatHome().liveFifo().has_value(); },
         [](const QCommandLineParser &) {
             // The folder is made when WeeChat first starts (in a runtime folder, at each login).
             const QString folder = WeechatHome().fifoFolder();
             return QStringList{folder, QFileInfo(folder).path()};
         },
         addWeechatOptions,
         createWeechat},
        // Mission Control, when it runs and has an IRC account (a call would start it).
        {{QStringLiteral("telepathy"), QStringLiteral("polari")},
         TelepathyMessenger::ServiceName,
         TelepathyMessenger::hasIrcAccount,
         {},
         addTelepathyOptions,
         createTelepathy},
        {{QStringLiteral("dbus")}, MessengerBus::ServiceName, {}, {}, {}, createDBus},
    };
    return programs;
}

QStringList messengerChoices()
{
    QStringList choices{AutoChoice, BuiltinChoice};
    for (const ClientProgram &program : clientPrograms())
        choices << program.choices;
    return choices;
}

void addMessengerOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        MessengerOption,
        QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "The Messenger client to drive: %1. auto takes the first of them that runs, and binds "
            "to one that starts later; until then names are shown only inside Velmira.")
            .arg(messengerChoices().join(QLatin1String(", "))),
        QCoreApplication::translate("Velmira::MessengerChoice", "client"), AutoChoice));
    for (const ClientProgram &program : clientPrograms())
        if (program.addOptions)
            program.addOptions(parser);
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
        if (program->isRunning(bus))
            return program->create(parser, bus, chosenDescription);
    if (choice != AutoChoice)
        throw MessengerError(
            ResultGone, QString(),
            QCoreApplication::translate("Velmira::MessengerChoice", "%1 is not running")
                .arg(choice));
    if (chosenDescription)
        *chosenDescription = QCoreApplication::translate(
            "Velmira::MessengerChoice",
            "Messenger client: none is running; names are shown only inside "
            "Velmira until one starts");
    return std::make_unique<BuiltinMessenger>();
}

MessengerWatcher::MessengerWatcher(std::shared_ptr<const QCommandLineParser> parser,
                                   const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_parser(std::move(parser)), m_bus(bus),
      m_programs(programsFor(m_parser->value(MessengerOption)))
{
    m_busWatcher.setConnection(m_bus);
    m_busWatcher.setWatchMode(QDBusServiceWatcher::WatchForRegistration);
    for (const ClientProgram *program : m_programs) {
        if (!program->busName.isEmpty())
            m_busWatcher.addWatchedService(program->busName);
        if (program->signFolders) {
            watchFolders(*program);
            if (program->isRunning(m_bus))
                m_seenInFolders.push_back(program);
        }
    }
    connect(&m_busWatcher, &QDBusServiceWatcher::serviceRegistered, this,
            [this](const QString &name) {
                for (const ClientProgram *program : m_programs)
                    if (program->busName == name && program->isRunning(m_bus))
                        appeared(*program);
            });
    connect(&m_folderWatcher, &QFileSystemWatcher::directoryChanged, this,
            &MessengerWatcher::lookInFolders);
}

void MessengerWatcher::watchFolders(const ClientProgram &program)
{
    const QStringList watched = m_folderWatcher.directories();
    for (const QString &folder : program.signFolders(*m_parser))
        if (!watched.contains(folder) && QFileInfo(folder).isDir())
            m_folderWatcher.addPath(folder);
}

void MessengerWatcher::lookInFolders()
{
    std::vector<const ClientProgram *> running;
    for (const ClientProgram *program : m_programs) {
        if (!program->signFolders)
            continue;
        watchFolders(*program); // a sign folder made since (in a watched parent) is watched too
        if (program->isRunning(m_bus))
            running.push_back(program);
    }
    for (const ClientProgram *program : running)
        if (std::find(m_seenInFolders.begin(), m_seenInFolders.end(), program) ==
            m_seenInFolders.end())
            appeared(*program);
    m_seenInFolders = running;
}

void MessengerWatcher::appeared(const ClientProgram &program)
{
    emit clientAppeared(program.choices.constFirst());
    if (!m_binder)
        return;
    QString description;
    try {
        if (std::unique_ptr<Messenger> messenger = program.create(*m_parser, m_bus, &description)) {
            std::fprintf(stderr, "velmira: %s\n", qPrintable(description));
            m_binder(std::move(messenger));
        }
    } catch (const MessengerError &error) {
        std::fprintf(stderr, "velmira: %s\n", qPrintable(error.report()));
    }
}

} // namespace Velmira
