#include "rotation/builtinmessenger.h"
#include "windows/artwork.h"
#include "windows/frmmain.h"
#include "windows/terminationsignals.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

struct StartOptions
{
    frmMain::MessengerFactory createMessenger;
    bool quitWhenShown = false;
};

// Reads the command line and picks the Messenger client. Exits for --help and --version;
// nullopt (after saying why) for a choice that does not exist.
std::optional<StartOptions> parseCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QObject::tr("Cycles your instant-messaging display name through a list of names."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption messengerOption(
        QStringLiteral("messenger"),
        QObject::tr("The Messenger client to drive: builtin (the default)."),
        QStringLiteral("client"), QStringLiteral("builtin"));
    parser.addOption(messengerOption);
    QCommandLineOption quitOption(QStringLiteral("quit-when-shown"),
                                  QStringLiteral("Close the window once it is shown."));
    quitOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(quitOption);
    parser.process(app);

    StartOptions options;
    options.quitWhenShown = parser.isSet(quitOption);
    const QString client = parser.value(messengerOption);
    if (client == QLatin1String("builtin")) {
        options.createMessenger = [] {
            return std::make_unique<Velmira::BuiltinMessenger>();
        };
    } else {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QObject::tr("velmira: unknown Messenger client \"%1\"; the "
                                            "choices are: builtin")
                                    .arg(client)));
        return std::nullopt;
    }
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
        return parseCommandLine(text) ? 0 : 2; // exits on its own for help and version
    }

    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Velmira"));
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

    // Ending the program from outside closes the main window the normal way.
    Velmira::TerminationSignals signalsToClose;
    QObject::connect(&signalsToClose, &Velmira::TerminationSignals::terminationRequested, &window,
                     &QWidget::close);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.close(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] {
        if (!window.Quitting)
            window.close();
    });

    if (!window.Form_Load())
        return 1;
    window.showCentred();
    if (options->quitWhenShown)
        QTimer::singleShot(0, &window, &QWidget::close);
    return QApplication::exec();
}
