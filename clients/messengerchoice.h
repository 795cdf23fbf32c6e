#pragma once

#include "core/messenger.h"

#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QFileSystemWatcher>

#include <functional>
#include <memory>
#include <vector>

namespace Velmira {

// A client program Velmira drives. Adding a client is one entry in clientPrograms().
struct ClientProgram
{
    // Its values of --messenger; the first is its name.
    QStringList choices;
    // The well-known name the running program owns on the session bus; empty for a program that
    // is not found there.
    QString busName;
    // Whether it runs now; default: busName is owned.
    std::function<bool(const QDBusConnection &bus)> running;
    // Folders where the running program leaves a sign of itself (a FIFO): watched so that a
    // program that starts later is found. A folder that does not exist yet is watched once it
    // appears in another one of the list (its parent).
    std::function<QStringList(const QCommandLineParser &parser)> signFolders;
    // Adds the options that choose its account, network or server.
    std::function<void(QCommandLineParser &parser)> addOptions;
    // Creates the client for the options of `parser`; describes it in `description` (one line
    // for stderr). Throws MessengerError for an option value it does not understand.
    std::function<std::unique_ptr<Messenger>(const QCommandLineParser &parser,
                                             const QDBusConnection &bus, QString *description)>
        create;

    bool isRunning(const QDBusConnection &bus) const;
};

// The client programs, in the order auto prefers them.
const std::vector<ClientProgram> &clientPrograms();
// Every value --messenger takes: auto, builtin and each program's choices.
QStringList messengerChoices();
// --messenger=auto|builtin|<a program's choice> and the options of every program.
void addMessengerOptions(QCommandLineParser &parser);

// Creates the client that the options of `parser` choose, talking to `bus`, and describes the
// choice in `chosenDescription`. auto with no client running gives the built-in client. Throws
// MessengerError when an explicitly chosen client is not running or an option's value is not
// understood.
std::unique_ptr<Messenger>
createMessenger(const QCommandLineParser &parser, QString *chosenDescription = nullptr,
                const QDBusConnection &bus = QDBusConnection::sessionBus());

// Late binding: watches for the client programs the options allow (all of them for auto, the
// chosen one otherwise; none for builtin) and creates the client of one that starts. A client
// whose program leaves says so itself (Messenger::gone).
class MessengerWatcher : public QObject
{
    Q_OBJECT
public:
    MessengerWatcher(std::shared_ptr<const QCommandLineParser> parser,
                     const QDBusConnection &bus = QDBusConnection::sessionBus(),
                     QObject *parent = nullptr);

    // Where a client goes when its program appears: created at once and handed over.
    using Binder = std::function<void(std::unique_ptr<Messenger> messenger)>;
    void setBinder(Binder binder) { m_binder = std::move(binder); }

signals:
    // A watched client program has started, or come back (its first choice, e.g. "pidgin").
    void clientAppeared(const QString &choice);

private:
    void appeared(const ClientProgram &program);
    // Watches those of the program's sign folders that exist and are not watched yet.
    void watchFolders(const ClientProgram &program);
    void lookInFolders();

    std::shared_ptr<const QCommandLineParser> m_parser;
    QDBusConnection m_bus;
    QDBusServiceWatcher m_busWatcher;
    QFileSystemWatcher m_folderWatcher;
    std::vector<const ClientProgram *> m_programs;
    // Programs found by their sign that were running at the last look.
    std::vector<const ClientProgram *> m_seenInFolders;
    Binder m_binder;
};

} // namespace Velmira
