// The main window's settings, presets and name-list files, through a real INI file and real
// files in a temporary folder; only the file dialog's answers are scripted.
#include "scriptedmessenger.h"
#include "windowfakes.h"

#include "persistence/namesfile.h"
#include "persistence/settingsstore.h"
#include "windows/filedialog.h"
#include "windows/frmmain.h"
#include "windows/frmoptions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>

#include <deque>
#include <optional>

namespace {

const QString DefaultNames = QStringLiteral("put each name on a new line...");

// Answers the file dialog from a list (a path, or nullopt for Cancel) and records every showing.
class ScriptedChooser : public Velmira::FileChooser
{
public:
    struct Showing
    {
        Mode mode;
        QString title;
        QString startPath;
    };

    std::optional<QString> choose(Mode mode, const QString &title, const QString &startPath,
                                  QWidget *) override
    {
        showings.push_back({mode, title, startPath});
        if (answers.empty())
            return std::nullopt;
        const bool cancelled = !answers.front().has_value();
        const QString chosen = answers.front().value_or(QString());
        answers.pop_front();
        if (cancelled)
            return std::nullopt;
        return chosen;
    }

    std::deque<std::optional<QString>> answers;
    QList<Showing> showings;
};

// A scripted client that hands its writes to the test when the window releases it.
class ReleasedMessenger : public ScriptedMessenger
{
public:
    explicit ReleasedMessenger(QStringList *writesAtRelease) : m_writesAtRelease(writesAtRelease) {}
    ~ReleasedMessenger() override { *m_writesAtRelease = writes(); }

private:
    QStringList *m_writesAtRelease;
};

// A main window on the given store file, loaded (settings included) but not shown.
struct Window
{
    explicit Window(const QString &storePath) : store(storePath)
    {
        window.setSettingsStore(&store);
        auto fake = std::make_unique<ScriptedChooser>();
        chooser = fake.get();
        window.CD.setChooser(std::move(fake));
        window.sysTray().setBackend(std::make_unique<FakeTrayIcon>(true));
    }

    Velmira::SettingsStore store;
    CapturingMessageBoxes boxes;
    QStringList writesAtRelease;
    frmMain window{[this] { return std::make_unique<ReleasedMessenger>(&writesAtRelease); },
                   &boxes};
    ScriptedChooser *chooser = nullptr;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The window's six settings as its controls hold them.
Velmira::Settings shown(frmMain &w)
{
    Velmira::Settings s;
    s.interval = w.intervalText();
    s.resetNick = w.options()->resetNickValue();
    s.names = w.namesText();
    s.minimizeToTray = w.options()->minToTray();
    s.widthTwips = w.twipsWidth();
    s.heightTwips = w.twipsHeight();
    return s;
}

} // namespace

class TestFrmMainPersistence : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstStart();
    void roundTrip_data();
    void roundTrip();
    void handEditedStore_data();
    void handEditedStore();
    void sizeCutToScreen();
    void presets();
    void presetFailures_data();
    void presetFailures();
    void cancelTouchesNothing_data();
    void cancelTouchesNothing();
    void filePathRemembered();
    void fileErrors_data();
    void fileErrors();
    void failedSaveAtShutdown_data();
    void failedSaveAtShutdown();
    void realDialogTakesTypedName();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestFrmMainPersistence::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFrmMainPersistence::firstStart()
{
    Window h(path(QStringLiteral("Vuzerer4.ini")));
    QVERIFY(h.window.Form_Load());
    frmMain &w = h.window;
    QCOMPARE(w.intervalText(), QStringLiteral("1"));
    QCOMPARE(w.options()->chkResetNick->checkState(), Qt::Checked);
    QCOMPARE(w.namesText(), DefaultNames);
    QVERIFY(w.options()->chkMin[0]->isChecked());
    QVERIFY(!w.options()->chkMin[1]->isChecked());
    QCOMPARE(w.options()->Slider1->value(), w.options()->Slider1->minimum());
    QCOMPARE(w.twipsWidth(), 4770.0);
    QCOMPARE(w.twipsHeight(), 4440.0);
    // Loading leaves the interval alone even though the slider shows another value.
    QCOMPARE(w.intervalText(), QStringLiteral("1"));
    QVERIFY(h.boxes.errors.isEmpty());
    QVERIFY(!QFile::exists(path(QStringLiteral("Vuzerer4.ini"))));
}

void TestFrmMainPersistence::roundTrip_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("resetNick");
    QTest::addColumn<QString>("names");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("slider");
    QTest::newRow("several lines, tray")
        << "7000" << 0 << QStringLiteral("Ann\r\n\r\n Bob = ; # \"x\" \\ \r\nZoë 😀\r\n") << true
        << 6000.0 << 5010.0 << 7;
    QTest::newRow("emptied names box, greyed reset")
        << "2500" << 2 << QString() << false << 4770.0 << 4440.0 << 2;
}

void TestFrmMainPersistence::roundTrip()
{
    QFETCH(QString, interval);
    QFETCH(int, resetNick);
    QFETCH(QString, names);
    QFETCH(bool, tray);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, slider);
    const QString store = path(QStringLiteral("Vuzerer4.ini"));
    Velmira::Settings before;
    {
        Window first(store);
        QVERIFY(first.window.Form_Load());
        frmMain &w = first.window;
        w.setIntervalText(interval);
        w.options()->setResetNickValue(resetNick);
        w.setNamesText(names);
        w.options()->setMinToTray(tray);
        w.setTwipsWidth(width);
        w.setTwipsHeight(height);
        before = shown(w);
        QCOMPARE(before.names, names);
        QVERIFY(w.close());
        QVERIFY(first.boxes.errors.isEmpty());
    }
    // Only the settings that were asked for; no presets appear.
    QSettings ini(store, QSettings::IniFormat);
    QCOMPARE(ini.childGroups(), QStringList{QStringLiteral("Settings")});
    ini.beginGroup(QStringLiteral("Settings"));
    QCOMPARE(ini.childKeys().size(), 6);

    Window second(store);
    QVERIFY(second.window.Form_Load());
    QCOMPARE(shown(second.window), before);
    QCOMPARE(second.window.options()->Slider1->value(), slider);
    QVERIFY(second.boxes.errors.isEmpty());
}

void TestFrmMainPersistence::handEditedStore_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("warning"); // the key whose value is refused, if any
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("slider");
    QTest::addColumn<int>("resetNick");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("interval of 2500 ms") << QByteArray("[Settings]\nInterval=2500\n") << ""
                                         << "2500" << 2 << 1 << false << 4770.0 << 4440.0;
    QTest::newRow("interval not a number")
        << QByteArray("[Settings]\nInterval=soon\nMin=01\n") << "Interval"
        << "soon" << 1 << 1 << false << 4770.0 << 4440.0;
    QTest::newRow("reset option out of range")
        << QByteArray("[Settings]\nInterval=3000\nResetNick=7\nWidth=6000\n") << "ResetNick"
        << "3000" << 3 << 1 << false << 6000.0 << 4440.0;
    QTest::newRow("height negative")
        << QByteArray("[Settings]\nMin=1\nWidth=6000\nHeight=-5\n") << "Height"
        << "1" << 1 << 1 << true << 6000.0 << 4440.0;
}

void TestFrmMainPersistence::handEditedStore()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, warning);
    QFETCH(QString, interval);
    QFETCH(int, slider);
    QFETCH(int, resetNick);
    QFETCH(bool, tray);
    QFETCH(double, width);
    QFETCH(double, height);
    const QString store = path(QStringLiteral("Vuzerer4.ini"));
    QVERIFY(writeFile(store, ini));
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u'"' + warning + u'"'));
    Window h(store);
    QVERIFY(h.window.Form_Load());
    frmMain &w = h.window;
    QCOMPARE(w.intervalText(), interval);
    QCOMPARE(w.options()->Slider1->value(), slider);
    QCOMPARE(w.options()->resetNickValue(), resetNick);
    QCOMPARE(w.options()->minToTray(), tray);
    QCOMPARE(w.twipsWidth(), width);
    QCOMPARE(w.twipsHeight(), height);
    QCOMPARE(w.namesText(), DefaultNames);
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMainPersistence::sizeCutToScreen()
{
    const QString store = path(QStringLiteral("Vuzerer4.ini"));
    QVERIFY(writeFile(store, "[Settings]\nWidth=1000000\nHeight=2000000\n"));
    Window h(store);
    QVERIFY(h.window.Form_Load());
    const QRect area = h.window.screen()->availableGeometry();
    QCOMPARE(h.window.twipsWidth(), area.width() * 15.0);
    QCOMPARE(h.window.twipsHeight(), area.height() * 15.0);
}

void TestFrmMainPersistence::presets()
{
    Window h(path(QStringLiteral("Vuzerer4.ini")));
    QVERIFY(h.window.Form_Load());
    frmMain &w = h.window;
    const QString two = QStringLiteral("Ann\r\nBob\r\n");

    w.setNamesText(QStringLiteral("typed"));
    w.mnuLoad1->trigger();
    QCOMPARE(w.namesText(), QStringLiteral("no preset"));

    w.setNamesText(QStringLiteral("first"));
    w.mnuSave2->trigger();
    w.setNamesText(two);
    w.mnuSave2->trigger();
    w.setNamesText(QString());
    w.mnuSave3->trigger();

    w.setNamesText(QStringLiteral("typed"));
    w.mnuLoad2->trigger();
    QCOMPARE(w.namesText(), two);
    w.mnuLoad3->trigger();
    QCOMPARE(w.namesText(), QString());
    w.mnuLoad1->trigger();
    QCOMPARE(w.namesText(), QStringLiteral("no preset"));
    QVERIFY(h.boxes.errors.isEmpty());

    // The presets outlive the run; the last names text is kept apart from them.
    QVERIFY(w.close());
    Window next(path(QStringLiteral("Vuzerer4.ini")));
    QVERIFY(next.window.Form_Load());
    QCOMPARE(next.window.namesText(), QStringLiteral("no preset"));
    next.window.mnuLoad2->trigger();
    QCOMPARE(next.window.namesText(), two);
}

void TestFrmMainPersistence::presetFailures_data()
{
    QTest::addColumn<bool>("saving");
    QTest::newRow("load from a store that is a folder") << false;
    QTest::newRow("save into a store under a plain file") << true;
}

void TestFrmMainPersistence::presetFailures()
{
    QFETCH(bool, saving);
    QString store;
    if (saving) {
        QVERIFY(writeFile(path(QStringLiteral("plain")), "x"));
        store = path(QStringLiteral("plain/Vuzerer4.ini"));
    } else {
        store = path(QStringLiteral("Vuzerer4.ini"));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Vuzerer4.ini")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(store)));
    }
    Window h(store);
    QVERIFY(h.window.Form_Load());
    frmMain &w = h.window;
    w.setNamesText(QStringLiteral("Ann\r\nBob"));
    (saving ? w.mnuSave1 : w.mnuLoad1)->trigger();
    QCOMPARE(h.boxes.errors.size(), 1);
    QVERIFY2(h.boxes.errors.first().contains(store), qPrintable(h.boxes.errors.first()));
    QCOMPARE(w.namesText(), QStringLiteral("Ann\r\nBob"));
}

void TestFrmMainPersistence::cancelTouchesNothing_data()
{
    QTest::addColumn<bool>("earlierChoice");
    QTest::addColumn<bool>("saving");
    QTest::newRow("load, first use") << false << false;
    QTest::newRow("save, first use") << false << true;
    QTest::newRow("load after an earlier choice") << true << false;
    QTest::newRow("save after an earlier choice") << true << true;
}

void TestFrmMainPersistence::cancelTouchesNothing()
{
    QFETCH(bool, earlierChoice);
    QFETCH(bool, saving);
    Window h(path(QStringLiteral("Vuzerer4.ini")));
    QVERIFY(h.window.Form_Load());
    frmMain &w = h.window;
    const QString file = path(QStringLiteral("names.txt"));
    QVERIFY(writeFile(file, "Old\r\nList\r\n"));
    if (earlierChoice) {
        h.chooser->answers.push_back(file);
        w.mnuLoadFile->trigger();
        QCOMPARE(w.CD.FileName, file);
    }
    w.setNamesText(QStringLiteral("Ann"));
    h.chooser->answers.push_back(std::nullopt);
    (saving ? w.mnuSaveFile : w.mnuLoadFile)->trigger();
    QCOMPARE(h.chooser->showings.size(), earlierChoice ? 2 : 1);
    QCOMPARE(w.namesText(), QStringLiteral("Ann"));
    QCOMPARE(readAll(file), QByteArray("Old\r\nList\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("names.txt")});
    QCOMPARE(w.CD.FileName, earlierChoice ? file : QString());
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMainPersistence::filePathRemembered()
{
    using Mode = Velmira::FileChooser::Mode;
    Window h(path(QStringLiteral("Vuzerer4.ini")));
    QVERIFY(h.window.Form_Load());
    frmMain &w = h.window;
    const QString loaded = path(QStringLiteral("loaded.txt"));
    const QString saved = path(QStringLiteral("saved.txt"));
    QVERIFY(writeFile(loaded, "Ann\r\nBob\r\n"));

    h.chooser->answers = {loaded, saved, std::nullopt};
    w.mnuLoadFile->trigger();
    QCOMPARE(w.namesText(), QStringLiteral("Ann\r\nBob\r\n"));
    w.setNamesText(QStringLiteral("Cy\r\nDee"));
    w.mnuSaveFile->trigger();
    QCOMPARE(readAll(saved), QByteArray("Cy\r\nDee\r\n"));
    w.mnuLoadFile->trigger();

    const auto &showings = h.chooser->showings;
    QCOMPARE(showings.size(), 3);
    QCOMPARE(showings[0].mode, Mode::Open);
    QCOMPARE(showings[0].title, QStringLiteral("Load preset..."));
    QCOMPARE(showings[0].startPath, QString());
    QCOMPARE(showings[1].mode, Mode::Save);
    QCOMPARE(showings[1].title, QStringLiteral("Save preset as..."));
    QCOMPARE(showings[1].startPath, loaded);
    QCOMPARE(showings[2].startPath, saved);
    QCOMPARE(w.namesText(), QStringLiteral("Cy\r\nDee"));
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestFrmMainPersistence::fileErrors_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<QString>("name");
    QTest::newRow("load a missing file") << false << "missing.txt";
    QTest::newRow("save into a missing folder") << true << "nowhere/names.txt";
}

void TestFrmMainPersistence::fileErrors()
{
    QFETCH(bool, saving);
    QFETCH(QString, name);
    Window h(path(QStringLiteral("Vuzerer4.ini")));
    QVERIFY(h.window.Form_Load());
    frmMain &w = h.window;
    w.setNamesText(QStringLiteral("Ann"));
    const QString chosen = path(name);
    h.chooser->answers.push_back(chosen);
    (saving ? w.mnuSaveFile : w.mnuLoadFile)->trigger();
    QCOMPARE(h.boxes.errors.size(), 1);
    QVERIFY2(h.boxes.errors.first().contains(chosen), qPrintable(h.boxes.errors.first()));
    QCOMPARE(w.namesText(), QStringLiteral("Ann"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestFrmMainPersistence::failedSaveAtShutdown_data()
{
    QTest::addColumn<bool>("byUser");
    QTest::newRow("closed by the user") << true;
    QTest::newRow("closed by a signal") << false;
}

void TestFrmMainPersistence::failedSaveAtShutdown()
{
    QFETCH(bool, byUser);
    // A store whose folder cannot be made: its parent is a plain file.
    QVERIFY(writeFile(path(QStringLiteral("plain")), "x"));
    const QString store = path(QStringLiteral("plain/Velmira/Vuzerer4.ini"));
    Window h(store);
    QVERIFY(h.window.Form_Load());
    frmMain &w = h.window;
    QVERIFY(w.options()->resetNickValue() == 1);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(store)));
    if (byUser) {
        // The window system's close arrives as a spontaneous close event. sendEvent() would
        // clear the flag, so the event goes to the window's handler directly.
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        static_cast<QObject &>(w).event(&close);
    } else {
        QVERIFY(w.close());
    }
    QVERIFY(w.Quitting);
    QCOMPARE(h.boxes.errors.size(), byUser ? 1 : 0);
    if (byUser)
        QVERIFY2(h.boxes.errors.first().contains(store), qPrintable(h.boxes.errors.first()));
    // The shutdown went on: the name was put back and the client released.
    QCOMPARE(h.writesAtRelease, QStringList{QStringLiteral("S1:Original")});
    QVERIFY(!w.messenger());
}

void TestFrmMainPersistence::realDialogTakesTypedName()
{
    const QString start = path(QStringLiteral("earlier.txt"));
    QString typedInto;
    // The dialog runs its own loop; type the name into its file-name field from there.
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!field) {
            dialog->reject();
            return;
        }
        typedInto = dialog->windowTitle();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("list"));
        QTest::keyClick(field, Qt::Key_Return);
    });
    Velmira::QtFileChooser chooser;
    const std::optional<QString> chosen = chooser.choose(
        Velmira::FileChooser::Mode::Save, QStringLiteral("Save preset as..."), start, nullptr);
    QCOMPARE(typedInto, QStringLiteral("Save preset as..."));
    // It starts in the earlier file's folder and adds the default suffix.
    QCOMPARE(chosen, std::optional<QString>(path(QStringLiteral("list.txt"))));
}

QTEST_MAIN(TestFrmMainPersistence)
#include "tst_frmmain_persistence.moc"
