#pragma once

#include "capturingmessageboxes.h"

#include "clients/messengerchoice.h"
#include "core/settingsstore.h"
#include "gui/frmmain.h"

#include <QCommandLineParser>
#include <QDBusConnection>
#include <QLabel>
#include <QTemporaryDir>

#include <memory>

// The main window bound as the program binds it: the client that `arguments` (velmira's command
// line without the program name) choose on `bus`, and whichever starts later, handed over by a
// watcher of the client programs; settings in a folder of its own; message boxes captured.
struct WatchedWindow
{
    static std::shared_ptr<QCommandLineParser> parsed(const QStringList &arguments)
    {
        auto parser = std::make_shared<QCommandLineParser>();
        Velmira::addMessengerOptions(*parser);
        parser->parse(QStringList{QStringLiteral("velmira")} + arguments);
        return parser;
    }

    WatchedWindow(const QStringList &arguments,
                  const QDBusConnection &bus = QDBusConnection::sessionBus())
        : parser(parsed(arguments)), settings(dir.filePath(QStringLiteral("Vuzerer4.ini"))),
          window([this, bus] { return Velmira::createMessenger(*parser, nullptr, bus); }, &boxes),
          watcher(parser, bus)
    {
        window.setSettingsStore(&settings);
        watcher.setBinder([this](std::unique_ptr<Velmira::Messenger> client) {
            window.bindMessenger(std::move(client));
        });
    }

    QLabel *label() const { return window.findChild<QLabel *>(QStringLiteral("Label1")); }

    std::shared_ptr<QCommandLineParser> parser;
    QTemporaryDir dir;
    Velmira::SettingsStore settings;
    CapturingMessageBoxes boxes;
    frmMain window;
    Velmira::MessengerWatcher watcher;
};
