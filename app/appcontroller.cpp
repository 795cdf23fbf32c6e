#include "appcontroller.h"

#include "autostart.h"

#include "core/builtinmessenger.h"
#include "gui/frmmain.h"

namespace Velmira {

namespace {
void setUp(QAction &action, const char *name, const QString &text, const QString &description)
{
    action.setObjectName(QLatin1String(name));
    action.setText(text);
    action.setToolTip(description);
    action.setStatusTip(description);
}
} // namespace

AppController::AppController(frmMain &window, std::shared_ptr<const QCommandLineParser> parser,
                             const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_window(window), m_watcher(std::move(parser), bus)
{
    setUp(m_start, "actStart", tr("&Start"), tr("Start rotating your display name"));
    setUp(m_stop, "actStop", tr("S&top"), tr("Stop rotating your display name"));
    setUp(m_showHide, "actShowHide", tr("S&how or Hide"), tr("Show or hide Velmira's window"));
    setUp(m_quit, "actQuit", tr("&Quit"), tr("Close Velmira: the settings are saved"));
    m_quit.setShortcut(QKeySequence::Quit);
    setUp(m_autostart, "actAutostart", tr("Start with the &Session"),
          tr("Start Velmira in the notification area when you log in"));
    m_autostart.setCheckable(true);
    m_autostart.setChecked(Autostart::isOn());

    connect(&m_start, &QAction::triggered, this, &AppController::start);
    connect(&m_stop, &QAction::triggered, this, &AppController::stop);
    connect(&m_showHide, &QAction::triggered, this, &AppController::showOrHide);
    connect(&m_quit, &QAction::triggered, this, &AppController::quit);
    connect(&m_autostart, &QAction::toggled, this, &AppController::setAutostart);
    // Ctrl+Q works in the window too.
    m_window.addAction(&m_quit);

    connect(&m_window.engine(), &RotationEngine::stateChanged, this, &AppController::update);
    connect(&m_window, &frmMain::displayNameShown, this, [this](const QString &name) {
        m_displayName = name;
        update();
    });
    m_window.sysTray().setMenu(actions());
    update();

    // A client program that starts (or comes back) after Velmira is bound: one that comes back
    // replaces its old client; another one replaces only the built-in client, or a client whose
    // program has gone.
    m_watcher.setBinder([this](std::unique_ptr<Messenger> messenger) {
        Messenger *bound = m_window.messenger();
        if (!bound || qobject_cast<BuiltinMessenger *>(bound) || m_window.engine().clientGone() ||
            bound->clientName() == messenger->clientName())
            m_window.bindMessenger(std::move(messenger));
    });
}

QList<QAction *> AppController::actions() const
{
    return {const_cast<QAction *>(&m_showHide), const_cast<QAction *>(&m_start),
            const_cast<QAction *>(&m_stop), const_cast<QAction *>(&m_autostart),
            const_cast<QAction *>(&m_quit)};
}

bool AppController::isRunning() const
{
    return m_window.engine().state() == RotationEngine::State::Running;
}

bool AppController::isShown() const
{
    return m_window.isVisible() && !m_window.isMinimized();
}

bool AppController::start()
{
    return m_window.startRotation();
}

void AppController::stop()
{
    m_window.stopRotation();
}

void AppController::toggle()
{
    if (isRunning())
        stop();
    else
        start();
}

void AppController::show()
{
    m_window.bringBack();
}

void AppController::showOrHide()
{
    if (isShown())
        m_window.sendToTray();
    else
        m_window.bringBack();
}

void AppController::quit()
{
    m_window.close();
}

void AppController::setAutostart(bool on)
{
    const Result done = Autostart::set(on);
    if (done.ok)
        return;
    const QSignalBlocker quiet(m_autostart);
    m_autostart.setChecked(Autostart::isOn());
    m_window.reportError(done.message);
}

void AppController::update()
{
    const bool running = isRunning();
    m_start.setEnabled(!running);
    m_stop.setEnabled(running);
    const QString state = running ? tr("rotating") : tr("stopped");
    m_window.sysTray().setToolTip(m_displayName.isEmpty()
                                      ? tr("Velmira (%1)").arg(state)
                                      : tr("Velmira: %1 (%2)").arg(m_displayName, state));
    emit changed();
}

} // namespace Velmira
