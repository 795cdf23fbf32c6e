#include "messengerchoice.h"

#include "dbusmessenger.h"
#include "pidginmessenger.h"
#include "rotation/builtinmessenger.h"

namespace Velmira {

namespace {
const QString MessengerOption = QStringLiteral("messenger");
const QString AccountOption = QStringLiteral("pidgin-account");
const QString ProtocolOption = QStringLiteral("pidgin-protocol");
const QString NameOption = QStringLiteral("pidgin-name");

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
            ResultFail,
            QStringLiteral("--pidgin-name takes alias or status, not \"%1\"").arg(nameKind));

    const QString account = parser.value(AccountOption);
    const QString protocol = parser.value(ProtocolOption);
    if (description) {
        const QString what = kind == PidginMessenger::NameKind::Alias
                                 ? QStringLiteral("the alias of")
                                 : QStringLiteral("the saved status message, signed in through");
        const QString which =
            account.isEmpty()
                ? QStringLiteral("the first active account")
                : QStringLiteral("the account \"%1\"%2")
                      .arg(account,
                           protocol.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(protocol));
        *description =
            QStringLiteral("Messenger client: Pidgin over D-Bus, rotating %1 %2").arg(what, which);
    }
    return std::make_unique<PidginMessenger>(bus, kind, account, protocol);
}

std::unique_ptr<Messenger> createDBus(const QDBusConnection &bus, QString *description)
{
    if (description)
        *description = QStringLiteral("Messenger client: %1 on the D-Bus session bus")
                           .arg(MessengerBus::ServiceName);
    return std::make_unique<DBusMessenger>(bus);
}
} // namespace

void addMessengerOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        MessengerOption,
        QStringLiteral("The Messenger client to drive: auto (a running Pidgin, else a running "
                       "client of %1, else the built-in client), builtin, dbus or pidgin.")
            .arg(MessengerBus::ServiceName),
        QStringLiteral("client"), QStringLiteral("auto")));
    parser.addOption(QCommandLineOption(
        AccountOption,
        QStringLiteral("Pidgin: the user name of the account to drive (default: the first "
                       "active account)."),
        QStringLiteral("user")));
    parser.addOption(QCommandLineOption(
        ProtocolOption,
        QStringLiteral("Pidgin: the protocol id of that account, e.g. prpl-jabber (default: any)."),
        QStringLiteral("id")));
    parser.addOption(QCommandLineOption(
        NameOption,
        QStringLiteral("Pidgin: rotate the account's alias, or the message of the saved status "
                       "(what XMPP contacts see)."),
        QStringLiteral("alias|status"), QStringLiteral("alias")));
}

std::unique_ptr<Messenger> createMessenger(const QCommandLineParser &parser,
                                           QString *chosenDescription, const QDBusConnection &bus)
{
    const QString choice = parser.value(MessengerOption);
    if (choice == QLatin1String("builtin")) {
        if (chosenDescription)
            *chosenDescription = QStringLiteral("Messenger client: built-in");
        return std::make_unique<BuiltinMessenger>();
    }
    if (choice == QLatin1String("pidgin")) {
        if (!PidginMessenger::isRunning(bus))
            throw MessengerError(ResultNoInterface,
                                 QStringLiteral("Pidgin is not running (no %1 on the session bus)")
                                     .arg(PurpleBus::ServiceName));
        return createPidgin(parser, bus, chosenDescription);
    }
    if (choice == QLatin1String("dbus")) {
        if (!DBusMessenger::isRunning(bus))
            throw MessengerError(ResultNoInterface,
                                 QStringLiteral("No Messenger client is running (no %1 on the "
                                                "session bus)")
                                     .arg(MessengerBus::ServiceName));
        return createDBus(bus, chosenDescription);
    }
    if (choice != QLatin1String("auto"))
        throw MessengerError(
            ResultFail,
            QStringLiteral("--messenger takes auto, builtin, dbus or pidgin, not \"%1\"")
                .arg(choice));

    if (PidginMessenger::isRunning(bus))
        return createPidgin(parser, bus, chosenDescription);
    if (DBusMessenger::isRunning(bus))
        return createDBus(bus, chosenDescription);
    if (chosenDescription)
        *chosenDescription =
            QStringLiteral("Messenger client: built-in (no Pidgin or %1 is running)")
                .arg(MessengerBus::ServiceName);
    return std::make_unique<BuiltinMessenger>();
}

} // namespace Velmira
