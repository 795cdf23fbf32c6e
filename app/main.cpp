#include "clients/messengerchoice.h"
#include "core/builtinmessenger.h"
#include "gui/artwork.h"
#include "gui/frmmain.h"
#include "gui/translations.h"
#include "session/terminationsignals.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

struct StartOptions
{
    std::shared_ptr<const QCommandLineParser> parser;
    frmMain::MessengerFactory createMessenger;
    bool quitWhenShown = false;
    bool startWhenShown = false;
};

// Reads the command line and picks the Messenger client. Exits for --help and --version;
// nullopt (after saying why) for a choice that does not exist.
std::optional<StartOptions> parseCommandLine(const QCoreApplication &app)
{
    // The client is created inside the main window's load, after this returns: the parser lives
    // as long as the factory that reads it.
    auto parser = std::make_shared<QCommandLineParser>();
    parser->setApplicationDescription(
        QObject::tr("Cycles your instant-messaging display name through a list of names."));
    parser->addHelpOption();
    parser->addVersionOption();
    Velmira::addMessengerOptions(*parser);
    QCommandLineOption quitOption(QStringLiteral("quit-when-shown"),
                                  QStringLiteral("Close the window once it is shown."));
    quitOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser->addOption(quitOption);
    // For tests of the whole program: a rotation of the loaded names, as if Start were clicked.
    QCommandLineOption startOption(QStringLiteral("start-when-shown"),
                                   QStringLiteral("Start the rotation once the window is shown."));
    startOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser->addOption(startOption);
    parser->process(app);

    const QString client = parser->value(QStringLiteral("messenger"));
    const QStringList choices = Velmira::messengerChoices();
    if (!choices.contains(client)) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QObject::tr("velmira: unknown Messenger client \"%1\"; the "
                                            "choices are: %2")
                                    .arg(client, choices.join(QLatin1String(", ")))));
        return std::nullopt;
    }

    StartOptions options;
    options.parser = parser;
    options.quitWhenShown = parser->isSet(quitOption);
    options.startWhenShown = parser->isSet(startOption);
    options.createMessenger = [parser] {
        QString chosen;
        try {
            std::unique_ptr<Velmira::Messenger> messenger =
                Velmira::createMessenger(*parser, &chosen);
            std::fprintf(stderr, "velmira: %s\n", qPrintable(chosen));
            return messenger;
        } catch (const Velmira::MessengerError &error) {
            // The window shows it too; a user who started Velmira from a shell reads it here.
            std::fprintf(stderr, "velmira: %s\n", qPrintable(error.report()));
            throw;
        }
    };
    return options;
}

// Whether the command line only asks for help or the version: those need no display.
bool onlyAsksForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" ||
            arg == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("velmira"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMIRA_VERSION));
    if (onlyAsksForText(argc, argv)) {
        QCoreApplication text(argc, argv);
        Velmira::installTranslations(text);
        return parseCommandLine(text) ? 0 : 2; // exits on its own for help and version
    }

    QApplication app(argc, argv);
    Velmira::installTranslations(app);
    QApplication::setWindowIcon(Velmira::windowIcon());
    // The program ends with its main window's unload, not with its last visible window: the main
    // window may be hidden in the tray while a message box or the About window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::optional<StartOptions> options = parseCommandLine(app);
    if (!options)
        return 2;

    frmMain window(options->createMessenger);
    QObject::connect(&window, &frmMain::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    // Ending the program from outside closes the main window the normal way. Before the window
    // has loaded there is nothing to save or put back: a report waiting for the user is closed and
    // the program ends without the unload, so stored settings are never overwritten by blank ones.
    bool loaded = false;
    bool endedEarly = false;
    Velmira::TerminationSignals signalsToClose;
    QObject::connect(&signalsToClose, &Velmira::TerminationSignals::terminationRequested, &window,
                     [&] {
                         if (loaded) {
                             window.close();
                             return;
                         }
                         endedEarly = true;
                         if (QWidget *report = QApplication::activeModalWidget())
                             report->close();
                     });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&](QSessionManager &) {
        if (loaded)
            window.close();
    });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] {
        if (!window.isQuitting())
            window.close();
    });

    // Late binding: a client program that starts (or comes back) after Velmira is bound to.
    Velmira::MessengerWatcher watcher(options->parser);
    watcher.setBinder([&window](std::unique_ptr<Velmira::Messenger> messenger) {
        // A program that comes back replaces its old client; another one replaces only the
        // built-in client, or a client whose program has gone.
        Velmira::Messenger *bound = window.messenger();
        if (!bound || qobject_cast<Velmira::BuiltinMessenger *>(bound) ||
            window.engine().clientGone() || bound->clientName() == messenger->clientName())
            window.bindMessenger(std::move(messenger));
    });

    if (!window.Form_Load())
        return 1;
    if (qobject_cast<Velmira::BuiltinMessenger *>(window.messenger()) &&
        options->parser->value(QStringLiteral("messenger")) != QLatin1String("builtin"))
        window.setClientNote(
            QObject::tr("No messenger client is running: names are shown only inside Velmira "
                        "until one starts."));
    if (endedEarly)
        return 1;
    loaded = true;
    window.showCentred();
    if (options->startWhenShown)
        QTimer::singleShot(0, &window, [&window] {
            auto *start = window.findChild<QAbstractButton *>(QStringLiteral("Toolbar1Start"));
            if (start && start->isEnabled())
                start->click();
        });
    if (options->quitWhenShown)
        QTimer::singleShot(0, &window, &QWidget::close);
    return QApplication::exec();
}
