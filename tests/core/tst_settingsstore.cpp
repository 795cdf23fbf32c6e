#include "core/settingsstore.h"
#include "testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using Velmira::Settings;
using Velmira::SettingsStore;

namespace {
// The names text of save number n of the second copy below: large, so a save takes a while.
QString namesFor(int n)
{
    return QString(2'000'000, QChar(u'a' + n % 26)) + QStringLiteral("\r\nend %1").arg(n);
}

// A second copy of the program on the same file ("save-loop <file>", run as a child): saves ever
// new settings until killed, printing "saved N" after each save.
int saveLoop(const QString &file)
{
    SettingsStore store(file);
    for (int n = 0;; ++n) {
        Settings settings;
        settings.interval = QString::number(n);
        settings.names = namesFor(n);
        if (!store.save(settings).ok)
            return 1;
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
}
} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    void writeFile(const QByteArray &bytes) { QVERIFY(TestFiles::write(m_path, bytes)); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("Vuzerer4.ini"));
    }

    void noUsableStore_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("first start") << false;
        QTest::newRow("a folder in its place") << true;
    }
    void noUsableStore()
    {
        QFETCH(bool, folder);
        if (folder)
            QVERIFY(QDir().mkpath(m_path));
        const auto loaded = SettingsStore(m_path).load();
        QCOMPARE(loaded.settings,
                 (Settings{"1", 1, "put each name on a new line...", false, 4770, 4440}));
        QCOMPARE(loaded.warnings.size(), folder ? 1 : 0);
        QCOMPARE(QFileInfo::exists(m_path), folder); // a load creates nothing
        const auto saved = SettingsStore(m_path).save(Settings{});
        QCOMPARE(saved.ok, !folder);
        QVERIFY(saved.ok || saved.message.contains(m_path));
    }

    void roundTrip_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::newRow("lines") << Settings{"2500", 0, "Ann\r\nBob\r\n\r\nCy", true, 6000, 5000};
        QTest::newRow("empty names") << Settings{"", 2, "", false, 4770.5, 4440.25};
        const QString awkward = "  lead, \"q\" = ; # \\ \\\\ \r\n\r\r\n\n\t @Variant(x) @@ \x7f\x01"
                                "2f" +
                                QString(QChar(0)) + "9 trail  ";
        QTest::newRow("awkward text") << Settings{" 7000 ", 1, awkward, false, 1, 1e6};
        QTest::newRow("unicode") << Settings{
            "1000", 1, QString::fromUtf8("Zoë\r\nЖанна\r\n😀 名前\r\n€"), true, 4770, 4440};
    }
    // Saved and loaded, also through the INI reader and writer of Qt, both ways.
    void roundTrip()
    {
        QFETCH(Settings, settings);
        for (int round = 0; round < 2; ++round) // its own file is never taken for unreadable
            QCOMPARE(SettingsStore(m_path).save(settings).message, QString());
        QCOMPARE(SettingsStore(m_path).load().settings, settings);
        QCOMPARE(QSettings(m_path, QSettings::IniFormat).value("Settings/SaveLast").toString(),
                 settings.names);
        const QString byQt = m_dir->filePath("qt.ini");
        {
            QSettings qt(byQt, QSettings::IniFormat);
            for (const auto &[key, value] : SettingsStore::entries(settings))
                qt.setValue("Settings/" + key, value);
        }
        QCOMPARE(SettingsStore(byQt).load().settings, settings);
        QCOMPARE(SettingsStore(byQt).save(settings).message, QString()); // read exactly
    }

    // One entry as a user may have edited it, beside valid values of the others: that entry's
    // text after the load, and whether it fell back to its default with a warning.
    void handEditedEntry_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("warns");
        QTest::newRow("min 1") << "Min" << QByteArray("1") << "1" << false;
        for (const char *min : {"\" 1\"", "01", "\"1 \"", "true", "2", "1.0", "\"\""})
            QTest::newRow(min) << "Min" << QByteArray(min) << "0" << false;
        QTest::newRow("greyed") << "ResetNick" << QByteArray("2") << "2" << false;
        QTest::newRow("half to even") << "ResetNick" << QByteArray("0.5") << "0" << false;
        for (const char *bad : {"3", "-1", "abc", "\"\"", "70000"})
            QTest::newRow(bad) << "ResetNick" << QByteArray(bad) << "1" << true;
        QTest::newRow("float width") << "Width" << QByteArray("5000.5") << "5000.5" << false;
        for (const char *bad : {"abc", "inf", "nan", "0", "-5", "1e39", "\"\"", "4,770"})
            QTest::newRow(bad) << "Height" << QByteArray(bad) << "4440" << true;
        QTest::newRow("unquoted comma")
            << "SaveLast" << QByteArray("Ann, Bob ,Cy") << "Ann, Bob ,Cy" << false;
        QTest::newRow("comma and quotes")
            << "SaveLast" << QByteArray("\"Ann\", Bob") << "Ann, Bob" << false;
        QTest::newRow("empty") << "SaveLast" << QByteArray("") << "" << false;
        QTest::newRow("interval as stored")
            << "Interval" << QByteArray("1,500") << "1,500" << false;
    }
    void handEditedEntry()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, stored);
        QFETCH(QString, expected);
        QFETCH(bool, warns);
        const auto others = SettingsStore::entries({"3000", 0, "Ann\r\nBob", true, 6000, 5000});
        QByteArray lines;
        for (const auto &[k, v] : others)
            lines += (k + u'=').toUtf8() + (k == key ? stored : v.toUtf8()) + '\n';
        writeFile("[Settings]\n" + lines.replace("\r\n", "\\r\\n"));

        const auto loaded = SettingsStore(m_path).load();
        const auto entries = SettingsStore::entries(loaded.settings);
        for (int i = 0; i < others.size(); ++i)
            QCOMPARE(entries[i].second, others[i].first == key ? expected : others[i].second);
        QCOMPARE(loaded.warnings.filter('"' + key + '"').size(), warns ? 1 : 0);
    }

    // Files as people write them: the entries that can be read are used. A file that the
    // rewrite does not give back as it stands (up to spaces and line ends) is kept whole beside
    // it before its first replacement, with one report naming both files.
    void fileShapes_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<bool>("readable"); // Interval 3000, Min 1, Width 6000, presets, [Other]
        QTest::addColumn<bool>("kept");
        const auto framed = [](const QByteArray &line, const QByteArray &eol = "\n") {
            return QByteArray("[Settings]\nInterval=3000\n" + line +
                              "\nSave1=kept\nMin=1\nWidth=6000\n[Other]\nkey=also kept\n")
                .replace("\n", eol);
        };
        QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + framed("Save2=x") << true << false;
        QTest::newRow("CR LF") << framed("Save2=x", "\r\n") << true << false;
        QTest::newRow("spaces, blank lines")
            << framed("\n  Save2 =  x\t\n", "\n \n") << true << false;
        QTest::newRow("comment ;") << framed("; a comment") << true << true;
        QTest::newRow("comment after a value") << framed("Save2=x ; why") << true << true;
        QTest::newRow("duplicate key, last wins")
            << "Interval=1\n" + framed("Interval=3000") << true << true;
        QTest::newRow("unbalanced quote") << framed("SaveLast=Ann \"the quick") << true << true;
        QTest::newRow("trailing backslash") << framed("SaveLast=Ann\\") << true << true;
        QTest::newRow("binary bytes")
            << framed(QByteArray("SaveLast=A\x01\xff\xfe\0zz", 16)) << true << true;
        QTest::newRow("raw CR") << framed("SaveLast=Ann\rBob") << true << true;
        QTest::newRow("no readable entry")
            << QByteArray("[Settings]\nInterval 3000\n") << false << true;
        QByteArray noise(4096, 0);
        QRandomGenerator(4).fillRange(reinterpret_cast<quint32 *>(noise.data()), 1024);
        QTest::newRow("random file") << noise << false << true;
    }
    void fileShapes()
    {
        QFETCH(QByteArray, original);
        QFETCH(bool, readable);
        QFETCH(bool, kept);
        writeFile(original);
        SettingsStore store(m_path);
        const Settings loaded = store.load().settings;
        QCOMPARE(std::tuple(loaded.interval, loaded.minimizeToTray, loaded.widthTwips),
                 readable ? std::tuple(QString("3000"), true, 6000.0)
                          : std::tuple(Settings{}.interval, false, 4770.0));
        for (int round = 0; round < 2; ++round) {
            const auto saved = store.save(loaded);
            const QStringList copies = QDir(m_dir->path()).entryList({"Vuzerer4.ini.unreadable-*"});
            QCOMPARE(copies.size(), kept ? 1 : 0);
            QCOMPARE(!saved.message.isEmpty(), kept && round == 0); // naming the copy
            QVERIFY(saved.ok && (saved.message.isEmpty() ||
                                 saved.message.contains(m_dir->filePath(copies[0]))));
            if (kept)
                QCOMPARE(TestFiles::read(m_dir->filePath(copies.first())), original);
        }
        QCOMPARE(store.load().settings, loaded);
        if (readable) {
            QCOMPARE(store.loadPreset(1).value, QStringLiteral("kept"));
            QCOMPARE(QSettings(m_path, QSettings::IniFormat).value("Other/key"), "also kept");
        }
    }

    void sliderSeconds_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("seconds"); // -1: not a number
        const QList<std::pair<const char *, int>> rows{
            {"1", 0},    {"500", 0},    {"1500", 2},   {"2500", 2},   {"3500", 4},
            {"5000", 5}, {" 7000 ", 7}, {"10500", 10}, {"11500", 12}, {"abc", -1},
            {"", -1},    {"1e20", -1},  {"nan", -1}};
        for (const auto &[text, seconds] : rows)
            QTest::newRow(text) << QString(text) << seconds;
    }
    void sliderSeconds()
    {
        QFETCH(QString, interval);
        QFETCH(int, seconds);
        QCOMPARE(SettingsStore::sliderSeconds(interval).value_or(-1), seconds);
    }

    // Another copy of the program killed while it writes the file leaves one of its earlier
    // saves, complete, and its lock does not block the next save.
    void killedWriterLeavesReadableSettings()
    {
        for (int round = 0; round < 3; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {"save-loop", m_path});
            QVERIFY(writer.waitForStarted());
            do {
                QVERIFY(writer.waitForReadyRead(30000));
            } while (!writer.readAll().contains("saved 1"));

            // Kill as soon as the file is being written: a temporary file beside it, or the
            // file itself changing.
            const QFileInfo before(m_path);
            for (QDeadlineTimer guard(60000); !guard.hasExpired();) {
                const QFileInfo now(m_path);
                QStringList beside = QDir(m_dir->path()).entryList({"Vuzerer4.ini.*"});
                beside.removeAll("Vuzerer4.ini.lock");
                if (!beside.isEmpty() || now.size() != before.size() ||
                    now.lastModified() != before.lastModified())
                    break;
            }
            writer.kill();
            QVERIFY(writer.waitForFinished());

            const auto loaded = SettingsStore(m_path).load();
            QVERIFY(loaded.warnings.isEmpty());
            bool isNumber = false;
            const int n = loaded.settings.interval.toInt(&isNumber);
            QVERIFY(isNumber);
            QVERIFY(loaded.settings.names == namesFor(n)); // QCOMPARE would print 2 MB
            QVERIFY(SettingsStore(m_path).savePreset(1, "after").ok);
        }
    }

    // A lock held elsewhere makes the save fail after the time limit instead of hanging; once it
    // is let go the save goes through.
    void lockHeldElsewhere()
    {
        QVERIFY(SettingsStore(m_path).save(Settings{}).ok);
        const QByteArray before = TestFiles::read(m_path);
        auto holder = std::make_unique<QLockFile>(m_path + ".lock");
        QVERIFY(holder->tryLock(0));
        SettingsStore store(m_path);
        store.setLockTimeout(100);
        const Settings changed{"9000", 0, "x", true, 1, 1};
        const auto blocked = store.save(changed);
        QVERIFY(!blocked.ok && blocked.message.contains(m_path));
        QCOMPARE(TestFiles::read(m_path), before);
        holder.reset();
        QVERIFY(store.save(changed).ok);
        QCOMPARE(store.load().settings, changed);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == "save-loop")
        return saveLoop(arguments[2]);
    TestSettingsStore test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settingsstore.moc"
