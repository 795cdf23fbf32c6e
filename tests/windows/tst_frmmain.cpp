#include "scriptedmessenger.h"
#include "windowfakes.h"

#include "rotation/messengerops.h"
#include "windows/dropdownbutton.h"
#include "windows/frmabout.h"
#include "windows/frmmain.h"
#include "windows/frmoptions.h"
#include "windows/terminationsignals.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <csignal>

using Velmira::RotationEngine;

namespace {

// A scripted client that also tells a shared event list what happens to it during the unload.
class RecordingMessenger : public ScriptedMessenger
{
public:
    RecordingMessenger(QStringList *events, const frmMain *const *window)
        : m_events(events), m_window(window)
    {}
    ~RecordingMessenger() override
    {
        if (m_events)
            *m_events << QStringLiteral("released after writes %1").arg(writes().join(u','));
    }
    qint32 localState() override
    {
        if (m_events && *m_window && (*m_window)->Quitting)
            *m_events << QStringLiteral("state read while quitting");
        return ScriptedMessenger::localState();
    }

private:
    QStringList *m_events;
    const frmMain *const *m_window;
};

// One main window on a scripted client, a capturing message box and a fake notification area.
struct Harness
{
    explicit Harness(bool trayAvailable = true, QStringList *events = nullptr)
    {
        window = std::make_unique<frmMain>(
            [this, events]() -> std::unique_ptr<Velmira::Messenger> {
                auto made = std::make_unique<RecordingMessenger>(events, &rawWindow);
                client = made.get();
                return made;
            },
            &boxes);
        window->setSettingsStore(&settings.store);
        rawWindow = window.get();
        auto fake = std::make_unique<FakeTrayIcon>(trayAvailable);
        tray = fake.get();
        window->sysTray().setBackend(std::move(fake));
    }

    bool loadAndShow()
    {
        if (!window->Form_Load())
            return false;
        window->showCentred();
        return QTest::qWaitForWindowExposed(window.get());
    }

    void clickStart() { QTest::mouseClick(window->Toolbar1Start, Qt::LeftButton, {}, {4, 4}); }

    CapturingMessageBoxes boxes;
    TemporarySettings settings;
    RecordingMessenger *client = nullptr;
    FakeTrayIcon *tray = nullptr;
    std::unique_ptr<frmMain> window;
    const frmMain *rawWindow = nullptr;
};

// Design margins of the stretched controls, in pixels: 8 left, 5 right; txtNames from 64 down
// to 4 above the bottom, Label1 at 40, 17 high.
QRect expectedNames(const QSize &client)
{
    return {8, 64, client.width() - 13, client.height() - 68};
}

// What the window manager does when the user minimises the window.
void minimiseByUser(QWidget &window)
{
    window.setWindowState(window.windowState() | Qt::WindowMinimized);
}

QRect expectedLabel(const QSize &client)
{
    return {8, 40, client.width() - 13, 17};
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void startUpState();
    void loadFailure_data();
    void loadFailure();
    void layout_data();
    void layout();
    void draggedSmallerSnaps();
    void startAndStop_data();
    void startAndStop();
    void labelShowsNameAsPlainText_data();
    void labelShowsNameAsPlainText();
    void namesText_data();
    void namesText();
    void typedNamesAreCrLfSeparated();
    void arrowOpensOptionsOnlyWhileIdle();
    void popupMenus_data();
    void popupMenus();
    void aboutIsShownOnce();
    void openUrlGoesToTheDesktop();
    void minimise_data();
    void minimise();
    void trayRoundTrip();
    void shutdownOrder();
    void terminationSignalRunsUnload();
};

void TestFrmMain::startUpState()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    frmMain &w = *h.window;
    QVERIFY(w.Toolbar1Start->isEnabled());
    QVERIFY(!w.Toolbar1Stop->isEnabled());
    QCOMPARE(w.engine().state(), RotationEngine::State::Idle);
    QVERIFY(!w.engine().timer().isActive());
    QCOMPARE(w.engine().originalName(), std::optional<QString>(QStringLiteral("Original")));
    QVERIFY(w.Label1->text().isEmpty());
    // The Options window exists, hidden; nothing else of the program is open.
    QVERIFY(w.options()->isHidden());
    QCOMPARE(w.twipsWidth(), 4770.0);
    QCOMPARE(w.twipsHeight(), 4440.0);
    const QRect screen = w.screen()->availableGeometry();
    QVERIFY(qAbs(w.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(w.frameGeometry().center().y() - screen.center().y()) <= 1);
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMain::loadFailure_data()
{
    QTest::addColumn<bool>("throws");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no client") << false << QStringLiteral("no client");
    QTest::newRow("client refuses") << true << QStringLiteral("not running (0x80004002)");
}

void TestFrmMain::loadFailure()
{
    QFETCH(bool, throws);
    QFETCH(QString, reason);
    CapturingMessageBoxes boxes;
    frmMain w(
        [throws]() -> std::unique_ptr<Velmira::Messenger> {
            if (throws)
                throw Velmira::MessengerError(Velmira::ResultNoInterface,
                                              QStringLiteral("not running"));
            return nullptr;
        },
        &boxes);
    QVERIFY(!w.Form_Load());
    QVERIFY(!w.isVisible());
    QCOMPARE(boxes.errors.size(), 1);
    QVERIFY2(boxes.errors.first().contains(reason), qPrintable(boxes.errors.first()));
}

void TestFrmMain::layout_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("expectedWidth");
    QTest::addColumn<double>("expectedHeight");
    QTest::newRow("minimum") << 4770.0 << 4440.0 << 4770.0 << 4440.0;
    // Sizes come in whole pixels: 5000 twips are 333 pixels, 4995 twips.
    QTest::newRow("large") << 6000.0 << 5000.0 << 6000.0 << 4995.0;
    QTest::newRow("wider only") << 6000.0 << 4440.0 << 6000.0 << 4440.0;
    QTest::newRow("taller only") << 4770.0 << 7005.0 << 4770.0 << 7005.0;
    QTest::newRow("stored too small") << 3000.0 << 2000.0 << 4770.0 << 4440.0;
    QTest::newRow("one pixel short") << 4755.0 << 4425.0 << 4770.0 << 4440.0;
}

void TestFrmMain::layout()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, expectedWidth);
    QFETCH(double, expectedHeight);
    Harness h;
    QVERIFY(h.loadAndShow());
    frmMain &w = *h.window;
    const QRect bar1 = w.Toolbar1->geometry(), bar2 = w.Toolbar2->geometry(),
                bar3 = w.Toolbar3->geometry();

    w.setTwipsWidth(width);
    w.setTwipsHeight(height);
    QCOMPARE(w.twipsWidth(), expectedWidth);
    QCOMPARE(w.twipsHeight(), expectedHeight);
    QCOMPARE(w.txtNames->geometry(), expectedNames(w.size()));
    QCOMPARE(w.Label1->geometry(), expectedLabel(w.size()));
    // The toolbars never move.
    QCOMPARE(w.Toolbar1->geometry(), bar1);
    QCOMPARE(w.Toolbar2->geometry(), bar2);
    QCOMPARE(w.Toolbar3->geometry(), bar3);
}

void TestFrmMain::draggedSmallerSnaps()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    frmMain &w = *h.window;
    w.setTwipsWidth(6000);
    w.setTwipsHeight(6000);
    // A drag ends in a resize request like this one; the window does not go below its minimum.
    w.resize(50, 40);
    QCOMPARE(w.twipsWidth(), 4770.0);
    QCOMPARE(w.twipsHeight(), 4440.0);
    QCOMPARE(w.txtNames->geometry(), expectedNames(w.size()));
}

void TestFrmMain::startAndStop_data()
{
    QTest::addColumn<int>("resetOption");
    QTest::addColumn<QStringList>("expectedWrites");
    const QStringList rotation = {QStringLiteral("S1:Ann"), QStringLiteral("S1:Bob"),
                                  QStringLiteral("S1:Ann")};
    QTest::newRow("reset unchecked") << 0 << rotation;
    QTest::newRow("reset checked") << 1 << rotation + QStringList{QStringLiteral("S1:Original")};
    QTest::newRow("reset greyed") << 2 << rotation;
}

void TestFrmMain::startAndStop()
{
    QFETCH(int, resetOption);
    QFETCH(QStringList, expectedWrites);
    Harness h;
    QVERIFY(h.loadAndShow());
    frmMain &w = *h.window;
    w.options()->setResetNickValue(resetOption);
    w.setNamesText(QStringLiteral("Ann\r\nBob"));
    w.setIntervalText(QStringLiteral("5000"));
    w.setTwipsHeight(7000);
    QSignalSpy states(&w.engine(), &RotationEngine::stateChanged);

    h.clickStart();
    QCOMPARE(states.size(), 1);
    QCOMPARE(w.engine().state(), RotationEngine::State::Running);
    QVERIFY(!w.Toolbar1Start->isEnabled());
    QVERIFY(w.Toolbar1Stop->isEnabled());
    QCOMPARE(w.engine().timer().interval(), 5000);
    QCOMPARE(w.twipsHeight(), 4440.0);
    QCOMPARE(w.txtNames->geometry(), expectedNames(w.size()));

    for (int tick = 0; tick < 3; ++tick)
        w.engine().Velmira_Timer();
    QTRY_COMPARE(w.Label1->text(), QStringLiteral("Ann"));

    w.setTwipsHeight(6000);
    QTest::mouseClick(w.Toolbar1Stop, Qt::LeftButton);
    QCOMPARE(w.engine().state(), RotationEngine::State::Idle);
    QVERIFY(w.Toolbar1Start->isEnabled());
    QVERIFY(!w.Toolbar1Stop->isEnabled());
    QCOMPARE(w.twipsHeight(), 4440.0);
    QCOMPARE(h.client->writes(), expectedWrites);
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMain::labelShowsNameAsPlainText_data()
{
    QTest::addColumn<qint32>("result");
    QTest::addColumn<QString>("name");
    QTest::newRow("accepted") << Velmira::ResultOk << QStringLiteral("Ann");
    QTest::newRow("refused change still shows the name")
        << Velmira::ResultFail << QStringLiteral("Bob");
    QTest::newRow("markup") << Velmira::ResultOk << QStringLiteral("<b>Cy</b> &amp;");
}

void TestFrmMain::labelShowsNameAsPlainText()
{
    QFETCH(qint32, result);
    QFETCH(QString, name);
    Harness h;
    QVERIFY(h.loadAndShow());
    h.client->eventResult = result;
    Velmira::MessengerOps::writeDisplayName(*h.client, name);
    QTRY_COMPARE(h.window->Label1->text(), name);
    QCOMPARE(h.window->Label1->textFormat(), Qt::PlainText);

    // A client that cannot tell its name is reported; the label keeps what it showed.
    h.client->failCall(QStringLiteral("LocalFriendlyName"), Velmira::ResultFail);
    emit h.client->OnLocalFriendlyNameChangeResult(0, QStringLiteral("S1"), name);
    QCOMPARE(h.window->Label1->text(), name);
    QCOMPARE(h.boxes.errors.size(), 1);
}

void TestFrmMain::namesText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF") << QStringLiteral("Ann\r\nBob") << QStringLiteral("Ann\r\nBob");
    QTest::newRow("bare LF") << QStringLiteral("Ann\nBob\n") << QStringLiteral("Ann\r\nBob\r\n");
    QTest::newRow("CR CR LF") << QStringLiteral("Ann\r\r\nBob") << QStringLiteral("Ann\r\n\r\nBob");
    QTest::newRow("empty lines") << QStringLiteral("\r\nAnn\r\n\r\n")
                                 << QStringLiteral("\r\nAnn\r\n\r\n");
    QTest::newRow("no-break space and tab")
        << QStringLiteral("A\u00a0B\tC") << QStringLiteral("A\u00a0B\tC");
    QTest::newRow("non-latin") << QStringLiteral("Zoë 😀\r\nΣ") << QStringLiteral("Zoë 😀\r\nΣ");
}

void TestFrmMain::namesText()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    Harness h;
    h.window->setNamesText(input);
    QCOMPARE(h.window->namesText(), expected);
}

void TestFrmMain::typedNamesAreCrLfSeparated()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    QPlainTextEdit *box = h.window->txtNames;
    h.window->setNamesText(QString()); // the first start shows the default text
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("Ann"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, QStringLiteral("Bob"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(h.window->namesText(), QStringLiteral("Ann\r\nBob\r\n"));
}

void TestFrmMain::arrowOpensOptionsOnlyWhileIdle()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    frmMain &w = *h.window;
    DropDownButton *start = w.Toolbar1Start;
    QVERIFY(start->arrowRect().isValid());

    w.setIntervalText(QStringLiteral("1000"));
    h.clickStart();
    QTest::mouseClick(start, Qt::LeftButton, {}, start->arrowRect().center());
    QVERIFY(w.options()->isHidden());
    QTest::mouseClick(w.Toolbar1Stop, Qt::LeftButton);

    QTest::mouseClick(start, Qt::LeftButton, {}, start->arrowRect().center());
    QVERIFY(w.options()->isVisible());
    QCOMPARE(w.engine().state(), RotationEngine::State::Idle);
    QCOMPARE(w.options()->parentWidget(), nullptr);
}

void TestFrmMain::popupMenus_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("Load") << QStringLiteral("Load")
                          << QStringList{"Preset 1", "Preset 2", "Preset 3", "From file"};
    QTest::newRow("Save") << QStringLiteral("Save")
                          << QStringList{"Preset 1", "Preset 2", "Preset 3", "To File"};
}

void TestFrmMain::popupMenus()
{
    QFETCH(QString, caption);
    QFETCH(QStringList, items);
    Harness h;
    QVERIFY(h.loadAndShow());
    QToolButton *button = nullptr;
    for (QToolButton *candidate : h.window->Toolbar2->findChildren<QToolButton *>()) {
        if (candidate->text() == caption)
            button = candidate;
    }
    QVERIFY(button);

    const QPoint pointer(200, 150);
    QCursor::setPos(pointer);
    QStringList shown;
    QPoint shownAt;
    int popups = 0;
    // The menu runs its own loop inside the click; answer it from there.
    auto answer = [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        ++popups;
        for (QAction *item : menu->actions())
            shown << item->text();
        shownAt = menu->pos();
        menu->close();
    };
    QTimer::singleShot(0, this, answer);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(popups, 1);
    QCOMPARE(shown, items);
    QCOMPARE(shownAt, pointer);
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMain::aboutIsShownOnce()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    QTest::mouseClick(h.window->Toolbar3About, Qt::LeftButton);
    QPointer<frmAbout> first = h.window->about();
    QVERIFY(first && first->isVisible());
    QTest::mouseClick(h.window->Toolbar3About, Qt::LeftButton);
    QCOMPARE(h.window->about(), first.data());
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

void TestFrmMain::openUrlGoesToTheDesktop()
{
    Harness h;
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    h.window->OpenUrl(QStringLiteral("https://author.example.org/"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("https://author.example.org/"))});
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMain::minimise_data()
{
    QTest::addColumn<bool>("trayChosen");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("toTray");
    QTest::newRow("taskbar") << false << true << false;
    QTest::newRow("system tray") << true << true << true;
    QTest::newRow("system tray without notification area") << true << false << false;
}

void TestFrmMain::minimise()
{
    QFETCH(bool, trayChosen);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, toTray);
    Harness h(trayAvailable);
    QVERIFY(h.loadAndShow());
    frmMain &w = *h.window;
    w.options()->setMinToTray(trayChosen);
    minimiseByUser(w);
    QCOMPARE(h.tray->isShown(), toTray);
    QCOMPARE(w.isVisible(), !toTray);
    QCOMPARE(w.isMinimized(), !toTray);
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMain::trayRoundTrip()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    frmMain &w = *h.window;
    w.options()->setMinToTray(true);
    w.setTwipsWidth(6000);
    w.setTwipsHeight(5010);
    minimiseByUser(w);
    QVERIFY(h.tray->isShown());
    QVERIFY(h.tray->lastTip.isEmpty());
    QVERIFY(!w.isVisible());

    // Presses, right clicks, double clicks and movement over the icon do nothing.
    for (int number : {Velmira::TrayMouseMove, Velmira::TrayLeftDown, Velmira::TrayRightDown,
                       Velmira::TrayRightUp, Velmira::TrayRightDouble, Velmira::TrayMiddleUp}) {
        h.tray->send(number);
        QVERIFY2(!w.isVisible(), qPrintable(QString::number(number)));
        QVERIFY(h.tray->isShown());
    }
    h.tray->send(Velmira::TrayLeftUp);
    QVERIFY(w.isVisible());
    QVERIFY(!w.isMinimized());
    QVERIFY(!h.tray->isShown());
    QCOMPARE(w.twipsWidth(), 6000.0);
    QCOMPARE(w.twipsHeight(), 5010.0);
    QCOMPARE(w.txtNames->geometry(), expectedNames(w.size()));

    // A second trip adds the icon afresh.
    minimiseByUser(w);
    QCOMPARE(h.tray->adds, 2);
    QVERIFY(h.tray->isShown());
}

void TestFrmMain::shutdownOrder()
{
    QStringList events;
    Harness h(true, &events);
    QVERIFY(h.loadAndShow());
    frmMain &w = *h.window;
    w.setNamesText(QStringLiteral("Ann"));
    w.setIntervalText(QStringLiteral("1000"));
    h.clickStart();
    w.engine().Velmira_Timer();
    QTest::mouseClick(w.Toolbar1Start, Qt::LeftButton, {}, w.Toolbar1Start->arrowRect().center());
    QTest::mouseClick(w.Toolbar3About, Qt::LeftButton);
    QPointer<frmOptions> options = w.options();
    QPointer<frmAbout> about = w.about();
    QVERIFY(about);
    w.options()->setMinToTray(true);
    minimiseByUser(w); // the icon goes away with the program too
    QVERIFY(h.tray->isShown());

    connect(options, &QObject::destroyed, this, [&] {
        events << QStringLiteral("options closed, client %1")
                      .arg(w.messenger() ? QStringLiteral("bound") : QStringLiteral("released"));
    });
    connect(&w, &frmMain::unloaded, this, [&] { events << QStringLiteral("unloaded"); });

    QVERIFY(w.close());
    QVERIFY(w.Quitting);
    const QStringList expected = {
        QStringLiteral("state read while quitting"),
        QStringLiteral("state read while quitting"),
        QStringLiteral("released after writes S1:Ann,S1:Original"),
        QStringLiteral("options closed, client released"),
        QStringLiteral("unloaded"),
    };
    QCOMPARE(events, expected);
    QVERIFY(!h.tray->isShown());
    QTRY_VERIFY(!about);
    // The rotation that was running writes nothing more.
    w.engine().Velmira_Timer();
    QCOMPARE(events.size(), expected.size());
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMain::terminationSignalRunsUnload()
{
    QStringList events;
    Harness h(true, &events);
    QVERIFY(h.loadAndShow());
    Velmira::TerminationSignals termination;
    QVERIFY(termination.isActive());
    connect(&termination, &Velmira::TerminationSignals::terminationRequested, h.window.get(),
            &QWidget::close);
    QSignalSpy requested(&termination, &Velmira::TerminationSignals::terminationRequested);
    std::raise(SIGTERM);
    QTRY_VERIFY(h.window->Quitting);
    QCOMPARE(requested.size(), 1);
    QCOMPARE(requested.first().first().toInt(), SIGTERM);
    QVERIFY(!h.window->isVisible());
    QVERIFY(events.contains(QStringLiteral("released after writes S1:Original")));
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
