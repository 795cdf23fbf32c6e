#pragma once

#include "rotation/messenger.h"

#include <QCommandLineParser>
#include <QDBusConnection>

#include <memory>

namespace Velmira {

// Adds the options that choose the Messenger client:
//   --messenger=auto|builtin|dbus|pidgin   (auto: a running Pidgin, else a running client of
//                                           org.velmira.Messenger, else the built-in client)
//   --pidgin-account=<user name>  --pidgin-protocol=<protocol id, e.g. prpl-jabber>
//   --pidgin-name=alias|status    (rotate the account alias or the saved status's message)
void addMessengerOptions(QCommandLineParser &parser);

// Creates the client that the options of `parser` choose, talking to `bus`, and describes the
// choice in `chosenDescription` (one line for stderr). Throws MessengerError when an explicitly
// chosen client is not running or an option's value is not understood.
std::unique_ptr<Messenger>
createMessenger(const QCommandLineParser &parser, QString *chosenDescription = nullptr,
                const QDBusConnection &bus = QDBusConnection::sessionBus());

} // namespace Velmira
