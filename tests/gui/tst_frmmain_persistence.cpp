// The main window's settings, presets and name-list files, through a real INI file and real
// files in a temporary folder; only the file dialog's answers are scripted.
#include "windowfakes.h"

#include "gui/frmoptions.h"

#include "testfiles.h"
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QTimer>

using Velmira::Settings;

namespace {

using TestFiles::read;
using TestFiles::write;

// The window's six settings as its controls hold them.
Settings shown(frmMain &w)
{
    return {w.intervalText(), w.options()->resetNickValue(),
            w.namesText(),    w.options()->minToTray(),
            w.twipsWidth(),   w.twipsHeight()};
}

} // namespace

// Each test has a fresh temporary folder; path() is the settings store in it.
class TestFrmMainPersistence : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name = QStringLiteral("Vuzerer4.ini")) const
    {
        return m_dir->filePath(name);
    }

    // A window loaded from the store shows `expected`, the slider at `slider`, and reports nothing.
    void checkLoaded(const Settings &expected, int slider)
    {
        Harness h(path());
        QVERIFY(h.window.Form_Load());
        QCOMPARE(shown(h.window), expected);
        QCOMPARE(h.window.options()->Slider1->value(), slider);
        QVERIFY(h.boxes.errors.isEmpty());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void roundTrip_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<int>("slider");
        QTest::newRow("several lines, tray")
            << Settings{"7000", 0, "Ann\r\n\r\n Bob = ; # \"x\" \\ \r\nZoë 😀\r\n", true, 6000, 5010}
            << 7;
        QTest::newRow("emptied names box, greyed reset")
            << Settings{"2500", 2, "", false, 4770, 4440} << 2;
    }

    void roundTrip()
    {
        QFETCH(Settings, settings);
        QFETCH(int, slider);
        {
            Harness first(path());
            QVERIFY(first.window.Form_Load());
            frmMain &w = first.window;
            w.setIntervalText(settings.interval);
            w.options()->setResetNickValue(settings.resetNick);
            w.setNamesText(settings.names);
            w.options()->setMinToTray(settings.minimizeToTray);
            w.setTwipsWidth(settings.widthTwips);
            w.setTwipsHeight(settings.heightTwips);
            QVERIFY(!QFile::exists(path())); // nothing is written before the unload
            QVERIFY(w.close());
            QVERIFY(first.boxes.errors.isEmpty());
        }
        // Only the six settings; no presets appear.
        QSettings ini(path(), QSettings::IniFormat);
        QCOMPARE(ini.childGroups(), QStringList{"Settings"});
        QCOMPARE(ini.allKeys().size(), 6);
        checkLoaded(settings, slider);
    }

    void handEditedStore_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("warnings"); // the keys whose values are refused
        QTest::addColumn<Settings>("expected");
        QTest::addColumn<int>("slider");
        const QString names = Settings{}.names;
        QTest::newRow("interval above the slider")
            << QByteArray("Interval=25000") << QStringList()
            << Settings{"25000", 1, names, false, 4770, 4440} << 10;
        QTest::newRow("interval not a number")
            << QByteArray("Interval=soon\nMin=01") << QStringList{"Interval"}
            << Settings{"soon", 1, names, false, 4770, 4440} << 1;
        // A stored size larger than the screen's free area is cut to it.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("larger than the screen")
            << QByteArray("Width=1000000\nHeight=2000000") << QStringList()
            << Settings{"1", 1, names, false, area.width() * 15.0, area.height() * 15.0} << 1;
    }

    void handEditedStore()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, warnings);
        QFETCH(Settings, expected);
        QFETCH(int, slider);
        QVERIFY(write(path(), "[Settings]\n" + ini + '\n'));
        for (const QString &key : warnings)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u'"' + key + u'"'));
        checkLoaded(expected, slider);
    }

    void presets()
    {
        Harness h(path());
        QVERIFY(h.window.Form_Load());
        frmMain &w = h.window;
        const QString two = QStringLiteral("Ann\r\nBob\r\n");
        for (const QString &text : {QStringLiteral("first"), two}) {
            w.setNamesText(text);
            QVERIFY(trigger(w, "mnuSave2"));
        }
        w.setNamesText(QString());
        QVERIFY(trigger(w, "mnuSave3"));
        w.setNamesText("typed");
        QVERIFY(trigger(w, "mnuLoad2"));
        QCOMPARE(w.namesText(), two);
        QVERIFY(trigger(w, "mnuLoad3"));
        QCOMPARE(w.namesText(), QString());
        QVERIFY(trigger(w, "mnuLoad1")); // never saved
        QCOMPARE(w.namesText(), QStringLiteral("no preset"));
        QVERIFY(h.boxes.errors.isEmpty());

        // The presets outlive the run; the last names text is kept apart from them.
        QVERIFY(w.close());
        Harness next(path());
        QVERIFY(next.window.Form_Load());
        QCOMPARE(next.window.namesText(), QStringLiteral("no preset"));
        QVERIFY(trigger(next.window, "mnuLoad2"));
        QCOMPARE(next.window.namesText(), two);
    }

    void nameListFiles()
    {
        Harness h(path());
        QVERIFY(h.window.Form_Load());
        frmMain &w = h.window;
        const QString loaded = path("loaded.txt"), saved = path("saved.txt");
        QVERIFY(write(loaded, "Ann\r\nBob\r\n"));
        w.setNamesText("typed");
        // Cancel touches nothing, before and after a file was chosen.
        h.chooser->answers = {"", "", loaded, saved, "", ""};
        QVERIFY(trigger(w, "mnuLoadFile"));
        QVERIFY(trigger(w, "mnuSaveFile"));
        QCOMPARE(w.namesText(), QStringLiteral("typed"));
        QCOMPARE(w.CD.FileName, QString());
        QVERIFY(trigger(w, "mnuLoadFile"));
        QCOMPARE(w.namesText(), QStringLiteral("Ann\r\nBob\r\n"));
        w.setNamesText("Cy\r\nDee");
        QVERIFY(trigger(w, "mnuSaveFile"));
        QCOMPARE(read(saved), QByteArray("Cy\r\nDee\r\n"));
        w.setNamesText("Eve");
        QVERIFY(trigger(w, "mnuSaveFile"));
        QVERIFY(trigger(w, "mnuLoadFile"));
        QCOMPARE(w.namesText(), QStringLiteral("Eve"));
        QCOMPARE(read(saved), QByteArray("Cy\r\nDee\r\n"));
        QCOMPARE(read(loaded), QByteArray("Ann\r\nBob\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 (QStringList{"loaded.txt", "saved.txt"}));
        QCOMPARE(w.CD.FileName, saved);
        // Each dialog starts at the path chosen last.
        const QString open = QStringLiteral("Open|Load preset...|"),
                      save = QStringLiteral("Save|Save preset as...|");
        QCOMPARE(h.chooser->showings,
                 (QStringList{open, save, open, save + loaded, save + saved, open + saved}));
        QVERIFY(h.boxes.errors.isEmpty());
    }

    // A store or a file that can't be used is reported with its path; the names stay.
    void errorsReported_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("store");  // relative to the folder
        QTest::addColumn<QString>("chosen"); // the file dialog's answer
        const QString ini = QStringLiteral("Vuzerer4.ini");
        QTest::newRow("preset from a store that is a folder") << "mnuLoad1" << ini << QString();
        QTest::newRow("preset into a store under a plain file") << "mnuSave1"
                                                                << "plain/" + ini << QString();
        QTest::newRow("missing file") << "mnuLoadFile" << ini << "missing.txt";
        QTest::newRow("file into a missing folder") << "mnuSaveFile" << ini << "nowhere/names.txt";
    }
    void errorsReported()
    {
        QFETCH(QString, action);
        QFETCH(QString, store);
        QFETCH(QString, chosen);
        QVERIFY(write(path("plain"), "x"));
        if (action == "mnuLoad1") {
            QVERIFY(QDir(m_dir->path()).mkdir(store));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Vuzerer4\\.ini"));
        }
        Harness h(path(store));
        QVERIFY(h.window.Form_Load());
        h.window.setNamesText("Ann\r\nBob");
        if (!chosen.isEmpty())
            h.chooser->answers << path(chosen);
        const QStringList before =
            QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QAction *item = h.window.findChild<QAction *>(action);
        QVERIFY(item);
        item->trigger();
        const QString failed = path(chosen.isEmpty() ? store : chosen);
        QCOMPARE(h.boxes.errors.size(), 1);
        QVERIFY2(h.boxes.errors.first().contains(failed), qPrintable(h.boxes.errors.first()));
        QCOMPARE(h.window.namesText(), QStringLiteral("Ann\r\nBob"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    // The program's own close (a signal, the session's end) is told on stderr only; the case of the
    // user's close, with a message box, runs on the real desktop.
    void failedSaveAtShutdownGoesOn()
    {
        QVERIFY(write(path("plain"), "x"));
        const QString store = path("plain/Velmira/Vuzerer4.ini");
        Harness h(store);
        QVERIFY(h.window.Form_Load());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(store)));
        QVERIFY(h.window.close());
        QVERIFY(h.boxes.errors.isEmpty());
        // The shutdown went on: the name was put back and the client released.
        QCOMPARE(h.events.last(), QStringLiteral("released after EndRotation(Original)"));
        QVERIFY(!h.window.messenger());
    }

    void realDialogTakesTypedName()
    {
        QString title;
        // The dialog runs its own loop; type the name into its file-name field from there.
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            auto *field = dialog ? dialog->findChild<QLineEdit *>("fileNameEdit") : nullptr;
            if (!field)
                return dialog ? dialog->reject() : void();
            title = dialog->windowTitle();
            field->selectAll();
            QTest::keyClicks(field, "list");
            QTest::keyClick(field, Qt::Key_Return);
        });
        Velmira::QtFileChooser chooser;
        const std::optional<QString> chosen = chooser.choose(
            Velmira::FileChooser::Mode::Save, "Save preset as...", path("earlier.txt"), nullptr);
        QCOMPARE(title, QStringLiteral("Save preset as..."));
        // It starts in the earlier file's folder and adds the default suffix.
        QCOMPARE(chosen, std::optional<QString>(path("list.txt")));
    }
};

QTEST_MAIN(TestFrmMainPersistence)
#include "tst_frmmain_persistence.moc"
