#pragma once

#include "capturingmessageboxes.h"
#include "scriptedmessenger.h"

#include "core/settingsstore.h"
#include "gui/filedialog.h"
#include "gui/frmmain.h"
#include "gui/systray.h"

#include <QAction>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

// The control of `window` named `name` (its object name); a missing one ends the test run.
template <typename T> T *control(const QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

// Triggers the menu item `name` of `window` as the user can: only when it is enabled.
inline bool trigger(const QObject &window, const char *name)
{
    QAction *item = control<QAction>(window, name);
    if (!item->isEnabled())
        return false;
    item->trigger();
    return true;
}

// A notification area for tests: there or not, actions on the icon sent by hand.
class FakeTrayIcon : public Velmira::TrayIcon
{
    Q_OBJECT
public:
    bool isAvailable() const override { return available; }
    void showIcon(const QIcon &, const QString &) override { shown = true; }
    void hideIcon() override { shown = false; }
    bool isShown() const override { return shown; }
    void setToolTip(const QString &) override {}
    void setMenu(const QList<QAction *> &) override {}
    void send(QSystemTrayIcon::ActivationReason reason) { emit activated(reason); }
    bool available = true;
    bool shown = false;
};

// Answers the file dialog from a list of paths ("" or none left: Cancel) and records every
// showing as "Open|title|start path".
class ScriptedChooser : public Velmira::FileChooser
{
public:
    std::optional<QString> choose(Mode mode, const QString &title, const QString &startPath,
                                  QWidget *) override
    {
        showings << QStringList{mode == Mode::Open ? "Open" : "Save", title, startPath}.join('|');
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        return answer.isEmpty() ? std::nullopt : std::optional<QString>(answer);
    }
    QStringList answers;
    QStringList showings;
};

// A scripted client that tells `events` when it is read during the unload and when it goes.
class RecordingMessenger : public ScriptedMessenger
{
public:
    RecordingMessenger(QStringList &events, const frmMain &window)
        : m_events(events), m_window(window)
    {}
    ~RecordingMessenger() override
    {
        const QStringList changes = log.filter(QRegularExpression("^(Set|End)"));
        m_events << "released after " + changes.join(',');
    }
    qint32 localState() override
    {
        if (m_window.isQuitting())
            m_events << QStringLiteral("state read while quitting");
        return ScriptedMessenger::localState();
    }

private:
    QStringList &m_events;
    const frmMain &m_window;
};

// One main window on a scripted client, a settings store (in a fresh temporary folder unless a
// file is given), a capturing message box, a fake notification area and a scripted file dialog.
struct Harness
{
    explicit Harness(const QString &storeFile = {})
        : store(storeFile.isEmpty() ? dir.filePath(QStringLiteral("Vuzerer4.ini")) : storeFile)
    {
        window.setSettingsStore(&store);
        auto fakeTray = std::make_unique<FakeTrayIcon>();
        tray = fakeTray.get();
        window.sysTray().setBackend(std::move(fakeTray));
        auto fakeChooser = std::make_unique<ScriptedChooser>();
        chooser = fakeChooser.get();
        window.CD.setChooser(std::move(fakeChooser));
    }
    bool loadAndShow()
    {
        if (!window.Form_Load())
            return false;
        window.showCentred();
        return QTest::qWaitForWindowExposed(&window);
    }

    QTemporaryDir dir;
    Velmira::SettingsStore store;
    CapturingMessageBoxes boxes;
    QStringList events;
    RecordingMessenger *client = nullptr;
    FakeTrayIcon *tray = nullptr;
    ScriptedChooser *chooser = nullptr;
    frmMain window{[this] {
                       auto made = std::make_unique<RecordingMessenger>(events, window);
                       client = made.get();
                       return made;
                   },
                   &boxes};
};
