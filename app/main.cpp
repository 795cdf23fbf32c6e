#include "appcontroller.h"
#include "remotecontrol.h"

#include "clients/messengerchoice.h"
#include "core/builtinmessenger.h"
#include "gui/artwork.h"
#include "gui/frmmain.h"
#include "gui/translations.h"
#include "session/terminationsignals.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

// Exit statuses of a request to the running Velmira (--stop, --quit) when none runs, and of one
// it did not answer.
constexpr int NoneRunning = 3;
constexpr int NotAnswered = 1;

// What the command line asks for besides the client.
struct StartOptions
{
    std::shared_ptr<const QCommandLineParser> parser;
    // The request to the running Velmira: Start, Stop, Toggle, Show, Quit, or empty.
    QString request;
    bool inTray = false;
    bool quitWhenShown = false;
};

void say(const QString &text)
{
    std::fprintf(stderr, "velmira: %s\n", qPrintable(text));
}

// Reads the command line. Exits for --help and --version; nullopt (after saying why) for a
// client that does not exist or requests that exclude each other.
std::optional<StartOptions> parseCommandLine(const QCoreApplication &app)
{
    auto parser = std::make_shared<QCommandLineParser>();
    parser->setApplicationDescription(
        QObject::tr("Cycles your instant-messaging display name through a list of names."));
    parser->addHelpOption();
    parser->addVersionOption();
    Velmira::addMessengerOptions(*parser);
    // The requests a running Velmira answers (docs/remote-control.md).
    const std::pair<const char *, QString> requests[] = {
        {"Start", QObject::tr("Start the rotation of the running Velmira (or start Velmira and "
                              "its rotation).")},
        {"Stop", QObject::tr("Stop the rotation of the running Velmira.")},
        {"Toggle", QObject::tr("Start the running Velmira's rotation when it is stopped, stop it "
                               "when it rotates (or start Velmira and its rotation).")},
        {"Show", QObject::tr("Show the running Velmira's window (or start Velmira).")},
        {"Quit", QObject::tr("Close the running Velmira the normal way.")}};
    for (const auto &[request, help] : requests)
        parser->addOption(QCommandLineOption(QString::fromLatin1(request).toLower(), help));
    const QCommandLineOption inTrayOption(
        QStringLiteral("in-tray"),
        QObject::tr("Start with the window hidden in the notification area."));
    parser->addOption(inTrayOption);
    // For tests of the whole program.
    QCommandLineOption quitOption(QStringLiteral("quit-when-shown"),
                                  QStringLiteral("Close the window once it is shown."));
    quitOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser->addOption(quitOption);
    QCommandLineOption startOption(QStringLiteral("start-when-shown"),
                                   QStringLiteral("The same as --start."));
    startOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser->addOption(startOption);
    parser->process(app);

    const QString client = parser->value(QStringLiteral("messenger"));
    const QStringList choices = Velmira::messengerChoices();
    if (!choices.contains(client)) {
        say(QObject::tr("unknown Messenger client \"%1\"; the choices are: %2")
                .arg(client, choices.join(QLatin1String(", "))));
        return std::nullopt;
    }
    StartOptions options;
    for (const auto &[request, help] : requests) {
        if (!parser->isSet(QString::fromLatin1(request).toLower()))
            continue;
        if (!options.request.isEmpty()) {
            say(QObject::tr("--%1 and --%2 cannot be asked for at once")
                    .arg(options.request.toLower(), QString::fromLatin1(request).toLower()));
            return std::nullopt;
        }
        options.request = QString::fromLatin1(request);
    }
    if (parser->isSet(startOption))
        options.request = QStringLiteral("Start");
    options.parser = parser;
    options.inTray = parser->isSet(inTrayOption);
    options.quitWhenShown = parser->isSet(quitOption);
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
    // Desktop panels title the notification area's icon with the program's name, as its user
    // knows it; the command line keeps the command's name.
    QCoreApplication::setApplicationName(QStringLiteral("Velmira"));

    // One Velmira per session: a second one hands its request (or Show) to the first.
    QDBusConnection bus = QDBusConnection::sessionBus();
    switch (Velmira::Remote::claim(bus)) {
    case Velmira::Remote::Claim::RunningElsewhere: {
        QString error;
        const QString request =
            options->request.isEmpty() ? QStringLiteral("Show") : options->request;
        if (Velmira::Remote::ask(bus, request, &error))
            return 0;
        say(QObject::tr("the running Velmira did not answer: %1").arg(error));
        return NotAnswered;
    }
    case Velmira::Remote::Claim::Taken:
    case Velmira::Remote::Claim::NoBus:
        if (options->request == QLatin1String("Stop") ||
            options->request == QLatin1String("Quit")) {
            say(QObject::tr("no Velmira is running"));
            return NoneRunning;
        }
        break;
    }

    const std::shared_ptr<const QCommandLineParser> parser = options->parser;
    frmMain window([parser]() -> std::unique_ptr<Velmira::Messenger> {
        QString chosen;
        try {
            std::unique_ptr<Velmira::Messenger> messenger =
                Velmira::createMessenger(*parser, &chosen);
            say(chosen);
            return messenger;
        } catch (const Velmira::MessengerError &error) {
            // The window shows it too; a user who started Velmira from a shell reads it here.
            say(error.report());
            throw;
        }
    });
    QObject::connect(&window, &frmMain::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    // Ending the program from outside closes the main window the normal way. Before the window
    // has loaded there is nothing to save or put back: a report waiting for the user is closed
    // and the program ends without the unload, so stored settings are never overwritten by blank
    // ones.
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

    if (!window.Form_Load())
        return 1;
    Velmira::AppController controller(window, parser, bus);
    Velmira::RemoteControl remote(controller);
    if (bus.isConnected() && !remote.serve(bus))
        say(QObject::tr("the remote control could not be offered on the session bus"));
    if (qobject_cast<Velmira::BuiltinMessenger *>(window.messenger()) &&
        parser->value(QStringLiteral("messenger")) != QLatin1String("builtin"))
        window.setClientNote(
            QObject::tr("No messenger client is running: names are shown only inside Velmira "
                        "until one starts."));
    if (endedEarly)
        return 1;
    loaded = true;
    if (options->inTray)
        window.sendToTray();
    else
        window.showCentred();
    if (options->request == QLatin1String("Start") || options->request == QLatin1String("Toggle"))
        QTimer::singleShot(0, &controller, &Velmira::AppController::start);
    if (options->quitWhenShown)
        QTimer::singleShot(0, &window, &QWidget::close);
    return QApplication::exec();
}
