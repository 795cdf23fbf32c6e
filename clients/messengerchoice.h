#pragma once

#include "core/messenger.h"

#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <functional>
#include <memory>
#include <vector>

namespace Velmira {

// Adds the options that choose the Messenger client:
//   --messenger=auto|builtin|pidgin|hexchat|dbus   (auto: the first running client of
//   autoClients(),
//                                           else the built-in client until one appears)
//   --pidgin-account=<user name>  --pidgin-protocol=<protocol id, e.g. prpl-jabber>
//   --pidgin-name=status|alias    (rotate the status message contacts see, or the alias)
//   --hexchat-network=<network>   (default: the first connected network)
void addMessengerOptions(QCommandLineParser &parser);

// A client program Velmira drives, found by the bus name it owns.
struct ClientProgram
{
    QString choice;  // its value of --messenger
    QString busName; // the well-known name the running program owns
    // Creates the client for the options of `parser`; describes it in `description` (one line
    // for stderr). Throws MessengerError for an option value it does not understand.
    std::function<std::unique_ptr<Messenger>(const QCommandLineParser &parser,
                                             const QDBusConnection &bus, QString *description)>
        create;
};

// The client programs, in the order auto prefers them. Adding a client is one entry here.
const std::vector<ClientProgram> &clientPrograms();
// Every value --messenger takes: auto, builtin and each program's choice.
QStringList messengerChoices();

// Creates the client that the options of `parser` choose, talking to `bus`, and describes the
// choice in `chosenDescription`. auto with no client running gives the built-in client. Throws
// MessengerError when an explicitly chosen client is not running or an option's value is not
// understood.
std::unique_ptr<Messenger>
createMessenger(const QCommandLineParser &parser, QString *chosenDescription = nullptr,
                const QDBusConnection &bus = QDBusConnection::sessionBus());

// Late binding: watches the bus names of the client programs the options allow (all of them for
// auto, the chosen one otherwise; none for builtin) and reports when one appears.
class MessengerWatcher : public QObject
{
    Q_OBJECT
public:
    MessengerWatcher(std::shared_ptr<const QCommandLineParser> parser,
                     const QDBusConnection &bus = QDBusConnection::sessionBus(),
                     QObject *parent = nullptr);

    // The client for the program owning `busName`, when it is one of the watched ones and runs;
    // null otherwise. Throws MessengerError for an option value it does not understand.
    std::unique_ptr<Messenger> create(const QString &busName, QString *description = nullptr);
    // The preferred client that runs now, or null.
    std::unique_ptr<Messenger> createRunning(QString *description = nullptr);

    // Where a client goes when its program appears: created at once and handed over.
    using Binder = std::function<void(std::unique_ptr<Messenger> messenger)>;
    void setBinder(Binder binder) { m_binder = std::move(binder); }

signals:
    // A watched client program has taken its bus name (started, or come back). A client whose
    // program leaves says so itself (Messenger::gone).
    void clientAppeared(const QString &busName);

private:
    std::shared_ptr<const QCommandLineParser> m_parser;
    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    std::vector<const ClientProgram *> m_programs;
    Binder m_binder;
};

} // namespace Velmira
