#include "windowfakes.h"

#include "gui/dropdownbutton.h"
#include "gui/frmabout.h"
#include "gui/frmoptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QUrl>

using Velmira::RotationEngine;

namespace {

QSizeF twips(const frmMain &w)
{
    return {w.twipsWidth(), w.twipsHeight()};
}

// Design margins of the stretched controls, in pixels: 8 left, 5 right; txtNames from 64 down to
// 4 above the bottom, Label1 at 40, 17 high.
void checkStretched(const frmMain &w)
{
    QCOMPARE(control<QPlainTextEdit>(w, "txtNames")->geometry(),
             QRect(8, 64, w.width() - 13, w.height() - 68));
    QCOMPARE(control<QLabel>(w, "Label1")->geometry(), QRect(8, 40, w.width() - 13, 17));
}

// What the window manager does when the user minimises the window.
void minimiseByUser(QWidget &window)
{
    window.setWindowState(window.windowState() | Qt::WindowMinimized);
}

void clickStart(frmMain &w, bool arrow = false)
{
    DropDownButton *start = control<DropDownButton>(w, "Toolbar1Start");
    QTest::mouseClick(start, Qt::LeftButton, {},
                      arrow ? start->arrowRect().center() : QPoint(4, 4));
}

} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// Each test starts with a main window loaded and shown: h.window.
class TestFrmMain : public QObject
{
    Q_OBJECT

    std::unique_ptr<Harness> m_h;

private slots:
    void init()
    {
        m_h = std::make_unique<Harness>();
        QVERIFY(m_h->loadAndShow());
    }
    void cleanup() { m_h.reset(); }

    // Every toolbar image is drawn in colour at the button's size, also on a screen of double
    // density, and in greys only when the button is disabled.
    void toolbarImages()
    {
        const auto buttons =
            m_h->window.findChildren<QToolButton *>(QRegularExpression("^Toolbar"));
        QCOMPARE(buttons.size(), 5);
        for (const QToolButton *b : buttons) {
            for (const auto &[ratio, mode] : {std::pair{1.0, QIcon::Normal},
                                              {2.0, QIcon::Normal},
                                              {1.0, QIcon::Disabled},
                                              {2.0, QIcon::Disabled}}) {
                const QImage image = b->icon().pixmap(b->iconSize(), ratio, mode).toImage();
                QCOMPARE(image.size(), b->iconSize() * ratio);
                int most = 0; // the strongest colour of the visible pixels
                for (int i = 0; i < image.width() * image.height(); ++i) {
                    const QColor c = image.pixelColor(i % image.width(), i / image.width());
                    most = c.alpha() > 64 ? qMax(most, c.hsvSaturation()) : most;
                }
                QVERIFY2(mode == QIcon::Normal ? most > 120 : most < 40,
                         qPrintable(b->objectName()));
            }
        }
    }

    void loadFailure_data()
    {
        QTest::addColumn<bool>("throws");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no client") << false << "no client";
        QTest::newRow("client refuses") << true << "not running (0x80004002)";
    }
    void loadFailure()
    {
        QFETCH(bool, throws);
        QFETCH(QString, reason);
        CapturingMessageBoxes boxes;
        frmMain w(
            [throws]() -> std::unique_ptr<Velmira::Messenger> {
                if (throws)
                    throw Velmira::MessengerError(Velmira::ResultNoInterface, "not running");
                return nullptr;
            },
            &boxes);
        QVERIFY(!w.Form_Load());
        QVERIFY(!w.isVisible());
        QCOMPARE(boxes.errors.size(), 1);
        QVERIFY2(boxes.errors.first().contains(reason), qPrintable(boxes.errors.first()));
    }

    void layout_data()
    {
        QTest::addColumn<QSizeF>("set");
        QTest::addColumn<QSizeF>("expected");
        // Sizes come in whole pixels: 5000 twips are 333 pixels, 4995 twips.
        QTest::newRow("large") << QSizeF(6000, 5000) << QSizeF(6000, 4995);
        QTest::newRow("taller only") << QSizeF(4770, 7005) << QSizeF(4770, 7005);
        QTest::newRow("too small") << QSizeF(3000, 2000) << QSizeF(4770, 4440);
        QTest::newRow("one pixel short") << QSizeF(4755, 4425) << QSizeF(4770, 4440);
    }
    void layout()
    {
        QFETCH(QSizeF, set);
        QFETCH(QSizeF, expected);
        frmMain &w = m_h->window;
        // Loaded, the window stands in the middle of the screen.
        const QPoint off = w.frameGeometry().center() - w.screen()->availableGeometry().center();
        QVERIFY(off.manhattanLength() <= 2);
        const auto bars = [&w] {
            return QList<QRect>{control<QWidget>(w, "Toolbar1")->geometry(),
                                control<QWidget>(w, "Toolbar2")->geometry(),
                                control<QWidget>(w, "Toolbar3")->geometry()};
        };
        const QList<QRect> before = bars();
        w.setTwipsWidth(set.width());
        w.setTwipsHeight(set.height());
        QCOMPARE(twips(w), expected);
        checkStretched(w);
        QCOMPARE(bars(), before); // the toolbars never move
        // A drag ends in a resize request like this one; the window does not go below its minimum.
        w.resize(50, 40);
        QCOMPARE(twips(w), QSizeF(4770, 4440));
        checkStretched(w);
        w.setWindowState(Qt::WindowMaximized); // as a window manager may do without a button
        QTRY_VERIFY(!w.isMaximized());
    }

    void startAndStop_data()
    {
        QTest::addColumn<int>("resetOption");
        QTest::newRow("reset unchecked") << 0;
        QTest::newRow("reset checked") << 1;
        QTest::newRow("reset greyed") << 2;
    }
    void startAndStop()
    {
        QFETCH(int, resetOption);
        frmMain &w = m_h->window;
        w.options()->setResetNickValue(resetOption);
        w.setNamesText("Ann\r\nBob");
        w.setIntervalText("5000");
        w.setTwipsHeight(7000);
        clickStart(w);
        QCOMPARE(w.engine().state(), RotationEngine::State::Running);
        QVERIFY(!control<DropDownButton>(w, "Toolbar1Start")->isEnabled());
        QVERIFY(control<QToolButton>(w, "Toolbar1Stop")->isEnabled());
        QCOMPARE(w.engine().timer().interval(), 5000);
        QCOMPARE(w.twipsHeight(), 4440.0);
        for (int tick = 0; tick < 3; ++tick)
            w.engine().tick();
        QTRY_COMPARE(control<QLabel>(w, "Label1")->text(), QStringLiteral("Ann"));

        w.setTwipsHeight(6000);
        QTest::mouseClick(control<QToolButton>(w, "Toolbar1Stop"), Qt::LeftButton);
        QCOMPARE(w.engine().state(), RotationEngine::State::Idle);
        QVERIFY(control<DropDownButton>(w, "Toolbar1Start")->isEnabled());
        QVERIFY(!control<QToolButton>(w, "Toolbar1Stop")->isEnabled());
        QCOMPARE(w.twipsHeight(), 4440.0);
        QCOMPARE(m_h->client->writes(), (QStringList{"Ann", "Bob", "Ann"}));
        QCOMPARE(m_h->client->log.last(),
                 resetOption == 1 ? "EndRotation(Original)" : "EndRotation()");
        QVERIFY(m_h->boxes.errors.isEmpty());
    }

    void labelShowsNameAsPlainText_data()
    {
        QTest::addColumn<qint32>("result");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("reads");
        QTest::addColumn<QString>("shown");
        QTest::newRow("refused change still shows the name")
            << Velmira::ResultFail << "Bob" << true << "Bob";
        QTest::newRow("markup") << Velmira::ResultOk << "<b>Cy</b> &amp;" << true
                                << "<b>Cy</b> &amp;";
        QTest::newRow("a client that cannot be asked")
            << Velmira::ResultOk << "Dee" << false
            << "Dee (sent; the Messenger client cannot confirm it)";
    }
    // Label1 shows the name the client reports at each change event, whatever its result, as
    // plain text; a client that cannot be asked what it shows is not taken at its word.
    void labelShowsNameAsPlainText()
    {
        QFETCH(qint32, result);
        QFETCH(QString, name);
        QFETCH(bool, reads);
        QFETCH(QString, shown);
        m_h->client->displayName = name;
        m_h->client->readsName = reads;
        emit m_h->client->OnLocalFriendlyNameChangeResult(result, "S1", "Zed");
        QLabel *label = control<QLabel>(m_h->window, "Label1");
        QCOMPARE(label->text(), shown);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // A client that cannot tell its name is reported; the label keeps what it showed.
        m_h->client->failCall("LocalFriendlyName", Velmira::ResultFail);
        emit m_h->client->OnLocalFriendlyNameChangeResult(0, "S1", name);
        QCOMPARE(label->text(), shown);
        QCOMPARE(m_h->boxes.errors.size(), 1);
    }

    void namesText_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("returnAt"); // where Return is pressed in the box, -1 for nowhere
        const auto row = [](const char *name, const char *input, const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(input) << QString::fromUtf8(expected) << -1;
        };
        row("bare LF", "Ann\nBob\n", "Ann\r\nBob\r\n");
        row("CR CR LF", "Ann\r\r\nBob", "Ann\r\n\r\nBob");
        row("empty lines", "\r\nAnn\r\n\r\n", "\r\nAnn\r\n\r\n");
        row("no-break space and tab", "A\u00a0B\tC", "A\u00a0B\tC");
        row("non-latin", "Zoë 😀\r\nΣ", "Zoë 😀\r\nΣ");
        row("typed", nullptr, "Ann\r\nBob\r\n");
        const QString many = QStringLiteral("Ann\r\n\r\nBob\r").repeated(2000);
        QTest::newRow("many lines")
            << many << QString(many).replace("\r\n", "\r").replace('\r', "\r\n") << -1;
        // A long line is shown in pieces of 10000 characters, one line for Return.
        const QString x25k = QString(25000, u'x'), x15k = QString(15000, u'x'),
                      x10k = QString(10000, u'x');
        QTest::newRow("long line") << "Ann\r\n" + x25k + "\r\nBob"
                                   << "Ann\r\n" + x25k + "\r\nBob" << -1;
        QTest::newRow("Return in a long line") << x25k << x15k + "\r\n" + x10k << 15001;
        QTest::newRow("Return at a piece's start") << x25k << x10k + "\r\n" + x15k << 10001;
    }
    void namesText()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QPlainTextEdit *box = control<QPlainTextEdit>(m_h->window, "txtNames");
        m_h->window.setNamesText(input);
        // Typed lines end with Return: QTest refuses a "\n" in keyClicks.
        for (const char *name :
             input.isNull() ? QList<const char *>{"Ann", "Bob"} : QList<const char *>{}) {
            QTest::keyClicks(box, name);
            QTest::keyClick(box, Qt::Key_Return);
        }
        QFETCH(int, returnAt);
        if (returnAt >= 0) {
            QTextCursor cursor(box->document());
            cursor.setPosition(returnAt);
            box->setTextCursor(cursor);
            QTest::keyClick(box, Qt::Key_Return);
        }
        QCOMPARE(m_h->window.namesText(), expected);
    }

    // The arrow, and the keys that open a menu button's menu, open Options while Start can be
    // clicked; Escape hides it again as its close box does.
    void optionsFromStart_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");
        QTest::newRow("arrow") << 0 << 0 << true;
        QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier) << true;
        QTest::newRow("F4") << int(Qt::Key_F4) << 0 << true;
        QTest::newRow("Menu") << int(Qt::Key_Menu) << 0 << true;
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Down alone") << int(Qt::Key_Down) << 0 << false;
        QTest::newRow("F10 alone") << int(Qt::Key_F10) << 0 << false;
        QTest::newRow("Alt+F4") << int(Qt::Key_F4) << int(Qt::AltModifier) << false;
    }
    void optionsFromStart()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, opens);
        frmMain &w = m_h->window;
        const auto open = [&] {
            if (key)
                QTest::keyClick(control<DropDownButton>(w, "Toolbar1Start"), Qt::Key(key),
                                Qt::KeyboardModifiers(modifiers));
            else
                clickStart(w, true);
        };
        w.setIntervalText("1000");
        clickStart(w);
        open();
        QVERIFY(w.options()->isHidden());
        QTest::mouseClick(control<QToolButton>(w, "Toolbar1Stop"), Qt::LeftButton);
        open();
        QCOMPARE(w.options()->isVisible(), opens);
        QCOMPARE(w.engine().state(), RotationEngine::State::Idle);
        QCOMPARE(w.options()->parentWidget(), &w); // a dialog of the main window
        QPointer<frmOptions> options = w.options();
        QTest::keyClick(options->Slider1, Qt::Key_Escape);
        QVERIFY(options && options->isHidden());
    }

    // A click opens the menu at the pointer; Space opens it under the button.
    void popupMenus_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("byKey");
        for (const char *button : {"Toolbar2Load", "Toolbar2Save"}) {
            QTest::addRow("%s click", button) << button << false;
            QTest::addRow("%s Space", button) << button << true;
        }
    }
    void popupMenus()
    {
        QFETCH(QString, button);
        QFETCH(bool, byKey);
        auto *clicked = control<QWidget>(m_h->window, "Toolbar2")->findChild<QToolButton *>(button);
        QVERIFY(clicked);
        const QPoint pointer = byKey ? QPoint(2, 2) : clicked->mapToGlobal(QPoint(5, 6));
        QCursor::setPos(pointer);
        QPoint shownAt;
        // The menu runs its own loop inside the click; answer it from there.
        QTimer::singleShot(0, this, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                shownAt = menu->pos();
                menu->close();
            }
        });
        if (byKey)
            QTest::keyClick(clicked, Qt::Key_Space);
        else
            QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(5, 6));
        QCOMPARE(shownAt, byKey ? clicked->mapToGlobal(clicked->rect().bottomLeft()) : pointer);
        QVERIFY(!QApplication::activePopupWidget());
    }

    void aboutOpensAddressesThroughTheDesktop()
    {
        QToolButton *aboutButton = control<QToolButton>(m_h->window, "Toolbar3About");
        QTest::mouseClick(aboutButton, Qt::LeftButton);
        QPointer<frmAbout> about = m_h->window.about();
        QVERIFY(about && QTest::qWaitForWindowExposed(about));
        QTest::mouseClick(aboutButton, Qt::LeftButton);
        QCOMPARE(m_h->window.about(), about.data()); // shown once
        // A click on the author's address goes through the main window to the desktop.
        UrlCatcher catcher;
        const QUrl author(frmAbout::authorUrl());
        QDesktopServices::setUrlHandler(author.scheme(), &catcher, "open");
        QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, {500, 94});
        QDesktopServices::unsetUrlHandler(author.scheme());
        QCOMPARE(catcher.urls, QList<QUrl>{author});
        // An address the desktop refuses is told on stderr; no window shows it.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Could not open http://\\["));
        m_h->window.OpenUrl("http://[");
        QVERIFY(m_h->boxes.errors.isEmpty() && m_h->boxes.notices.isEmpty());
        QCOMPARE(m_h->window.about(), about.data());
    }

    // Only a click on the icon brings the window back, at its size; every trip adds the icon
    // afresh.
    void minimise_data()
    {
        QTest::addColumn<bool>("trayChosen");
        QTest::addColumn<bool>("trayAvailable");
        QTest::newRow("taskbar") << false << true;
        QTest::newRow("system tray") << true << true;
        QTest::newRow("system tray without notification area") << true << false;
    }
    void minimise()
    {
        QFETCH(bool, trayChosen);
        QFETCH(bool, trayAvailable);
        const bool toTray = trayChosen && trayAvailable;
        frmMain &w = m_h->window;
        FakeTrayIcon *tray = m_h->tray;
        tray->available = trayAvailable;
        w.options()->setMinToTray(trayChosen);
        w.setTwipsWidth(6000);
        w.setTwipsHeight(5010);
        for (int trip = 0; trip < 2; ++trip) {
            minimiseByUser(w);
            QCOMPARE(tray->isShown(), toTray);
            QCOMPARE(w.isVisible(), !toTray);
            QCOMPARE(w.isMinimized(), !toTray);
            if (!toTray)
                break;
            for (auto reason : {QSystemTrayIcon::Unknown, QSystemTrayIcon::Context,
                                QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) {
                tray->send(reason);
                QVERIFY2(!w.isVisible() && tray->isShown(), qPrintable(QString::number(reason)));
            }
            tray->send(QSystemTrayIcon::Trigger);
            QVERIFY(w.isVisible() && !w.isMinimized());
            QVERIFY(!tray->isShown());
            QCOMPARE(twips(w), QSizeF(6000, 5010));
            checkStretched(w);
        }
        QVERIFY(m_h->boxes.errors.isEmpty());
        // A rotation that stops on an error while the window sits in the notification area is
        // told on the desktop too: the window's box would go unseen.
        clickStart(w);
        minimiseByUser(w);
        m_h->client->failCall("SetFriendlyName", Velmira::ResultFail);
        w.engine().tick();
        QCOMPARE(w.engine().state(), RotationEngine::State::Idle);
        QCOMPARE(m_h->boxes.errors.size(), 1);
        QCOMPARE(m_h->boxes.notices, toTray ? m_h->boxes.errors : QStringList());
    }

    void shutdownOrder()
    {
        frmMain &w = m_h->window;
        QStringList &events = m_h->events;
        w.setNamesText("Ann");
        w.setIntervalText("1000");
        clickStart(w);
        w.engine().tick();
        clickStart(w, true);
        QTest::mouseClick(control<QToolButton>(w, "Toolbar3About"), Qt::LeftButton);
        QPointer<frmOptions> options = w.options();
        QPointer<frmAbout> about = w.about();
        QVERIFY(about);
        w.options()->setMinToTray(true);
        minimiseByUser(w); // the icon goes away with the program too
        QVERIFY(m_h->tray->isShown());
        connect(options, &QObject::destroyed, this, [&] {
            events << (w.messenger() ? "options closed, client bound"
                                     : "options closed, client released");
        });
        connect(&w, &frmMain::unloaded, this, [&] { events << QStringLiteral("unloaded"); });

        QVERIFY(w.close());
        QVERIFY(w.isQuitting());
        const QStringList expected = {"state read while quitting", "state read while quitting",
                                      "released after SetFriendlyName(Ann),EndRotation(Original)",
                                      "options closed, client released", "unloaded"};
        QCOMPARE(events, expected);
        QVERIFY(!m_h->tray->isShown());
        QTRY_VERIFY(!about);
        // The rotation that was running writes nothing more.
        w.engine().tick();
        QCOMPARE(events, expected);
        QVERIFY(m_h->boxes.errors.isEmpty());
    }

    // The Options window, opened from the main window.
    void sliderWritesInterval_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one step up from 1") << int(Qt::Key_Right) << 1 << "2000";
        QTest::newRow("past the end") << int(Qt::Key_Right) << 15 << "10000";
        QTest::newRow("to the end") << int(Qt::Key_End) << 1 << "10000";
    }
    void sliderWritesInterval()
    {
        QFETCH(int, key);
        QFETCH(int, presses);
        QFETCH(QString, expected);
        frmMain &w = m_h->window;
        clickStart(w, true);
        QSlider *slider = w.options()->Slider1;
        QCOMPARE(slider->value(), 1);
        for (int i = 0; i < presses; ++i)
            QTest::keyClick(slider, Qt::Key(key));
        QCOMPARE(w.intervalText(), expected); // in force at once, without OK
        // A running rotation keeps its period until the next Start.
        QVERIFY(w.engine().start("Ann", w.intervalText()));
        QTest::keyClick(slider, Qt::Key_Home);
        QCOMPARE(w.intervalText(), QStringLiteral("1000"));
        QCOMPARE(w.engine().timer().interval(), expected.toInt());
        QCOMPARE(w.options()->Label4->text(), QStringLiteral("1")); // the value beside the slider
        QVERIFY(slider->accessibleDescription().startsWith(QLatin1String("1 s: ")));
    }

    // Each window, in English and German, at a usual desktop font and at a large one: every
    // caption fits the room its control leaves for text and every text its label, nothing is
    // elided, and no two controls of a window share a mnemonic.
    void captionsFit_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("language");
        QTest::addColumn<qreal>("points");
        for (const char *window : {"frmMain", "frmOptions", "frmAbout"})
            for (const char *language : {"en", "de"})
                for (const qreal points : {10.0, 14.0})
                    QTest::addRow("%s %s %g pt", window, language, points)
                        << window << language << points;
    }
    void captionsFit()
    {
        QFETCH(QString, window);
        QFETCH(QString, language);
        QFETCH(qreal, points);
        const QFont usual = QApplication::font();
        QFont desktop = usual;
        desktop.setPointSizeF(points);
        QApplication::setFont(desktop);
        const auto restore = qScopeGuard([&usual] { QApplication::setFont(usual); });
        QTranslator german; // leaves the application with its destruction
        if (language == QLatin1String("de")) {
            QVERIFY(german.load(QStringLiteral("velmira_de"), QStringLiteral(":/velmira/i18n")));
            QCoreApplication::installTranslator(&german);
        }
        Harness h;
        QVERIFY(h.loadAndShow());
        QWidget *shown = &h.window;
        std::unique_ptr<frmAbout> about;
        if (window == QLatin1String("frmOptions"))
            shown = h.window.options();
        if (window == QLatin1String("frmAbout"))
            shown = (about = std::make_unique<frmAbout>(nullptr)).get();
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        if (points >= 14) // the names box grows from 6.75 pt with the desktop
            QVERIFY(control<QPlainTextEdit>(h.window, "txtNames")->font().pointSizeF() >= 10);

        QStringList mnemonics;
        for (QAbstractButton *b : shown->findChildren<QAbstractButton *>()) {
            if (b->window() != shown)
                continue;
            // Measured with the ampersand: so the style measures a tool button's caption when it
            // decides whether to elide it.
            const QString caption =
                qobject_cast<QToolButton *>(b) ? b->text() : QString(b->text()).remove(u'&');
            const int frame = b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
            QRect room = b->rect().adjusted(frame, frame, -frame, -frame);
            if (auto *tool = qobject_cast<QToolButton *>(b)) {
                if (auto *dropDown = qobject_cast<DropDownButton *>(b))
                    room.setRight(dropDown->arrowRect().left() - 1);
                room.setLeft(room.left() + tool->iconSize().width() + 4); // the image beside
            } else {
                QStyleOptionButton option;
                option.initFrom(b);
                option.text = b->text();
                room = b->style()->subElementRect(
                    qobject_cast<QCheckBox *>(b)      ? QStyle::SE_CheckBoxContents
                    : qobject_cast<QRadioButton *>(b) ? QStyle::SE_RadioButtonContents
                                                      : QStyle::SE_PushButtonContents,
                    &option, b);
            }
            const QFontMetrics metrics(b->font());
            QVERIFY2(metrics.horizontalAdvance(caption) <= room.width() &&
                         metrics.height() <= room.height(),
                     qPrintable(QStringLiteral("%1 \"%2\" in %3 x %4 pixels")
                                    .arg(b->objectName(), caption)
                                    .arg(room.width())
                                    .arg(room.height())));
            if (!qobject_cast<QPushButton *>(b)) // every caption but OK's has a mnemonic
                mnemonics << QKeySequence::mnemonic(b->text()).toString();
        }
        for (QLabel *label : shown->findChildren<QLabel *>()) {
            if (label->window() != shown || label->text().isEmpty() || !label->isVisible())
                continue;
            const QString text = QString(label->text()).remove(u'&');
            const QRect room = label->contentsRect();
            const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            QVERIFY2(room.contains(QFontMetrics(label->font()).boundingRect(room, flags, text)) &&
                         !text.contains(QChar(0x2026)),
                     qPrintable(label->objectName() + u' ' + label->text()));
            if (label->buddy())
                mnemonics << QKeySequence::mnemonic(label->text()).toString();
        }
        QVERIFY2(!mnemonics.contains(QString()), qPrintable(mnemonics.join(u' ')));
        QCOMPARE(QSet<QString>(mnemonics.cbegin(), mnemonics.cend()).size(), mnemonics.size());
    }

    // The greyed state comes only from a stored value; a click leaves it for good.
    void resetNickGreyedOnlyFromStore()
    {
        frmOptions *options = m_h->window.options();
        options->setResetNickValue(2);
        options->show();
        QList<int> seen;
        for (int click = 0; click < 3; ++click) {
            QTest::mouseClick(options->chkResetNick, Qt::LeftButton, {}, {5, 5});
            seen << options->resetNickValue();
        }
        QCOMPARE(seen, (QList<int>{1, 0, 1}));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
