#include "persistence/settingsstore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Velmira::Settings;
using Velmira::SettingsStore;

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    // A settings file holding `lines` in its [Settings] section, as a user might edit it.
    void writeIni(const QByteArray &lines)
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Settings]\n" + lines + "\n");
    }
    QByteArray fileBytes()
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString valueOf(const Settings &settings, const QString &key)
    {
        for (const auto &[k, v] : SettingsStore::entries(settings)) {
            if (k == key)
                return v;
        }
        return {};
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Vuzerer4.ini"));
        QFile::remove(m_path);
    }

    void firstStartGivesDefaults()
    {
        const auto loaded = SettingsStore(m_path).load();
        const Settings expected{"1", 1, "put each name on a new line...", false, 4770, 4440};
        QCOMPARE(loaded.settings, expected);
        QVERIFY(loaded.warnings.isEmpty());
        QVERIFY(!QFile::exists(m_path));
    }

    void roundTrip_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::newRow("lines") << Settings{"2500", 0, "Ann\r\nBob\r\n\r\nCy", true, 6000, 5000};
        QTest::newRow("empty names") << Settings{"", 2, "", false, 4770.5, 4440.25};
        QTest::newRow("awkward text") << Settings{
            " 7000 ", 1, "  lead, \"q\" = ; # \\ \\\\ \r\n\r\r\n\n\t @Variant(x) @@ \x7f trail  ",
            false,    1, 1e6};
        QTest::newRow("unicode") << Settings{
            "1000", 1, QString::fromUtf8("Zoë\r\nЖанна\r\n😀 名前\r\n€"), true, 4770, 4440};
    }
    void roundTrip()
    {
        QFETCH(Settings, settings);
        QVERIFY(SettingsStore(m_path).save(settings).ok);
        const auto loaded = SettingsStore(m_path).load();
        QCOMPARE(loaded.settings, settings);
        QVERIFY(loaded.warnings.isEmpty());
        // The file is a genuine INI file that Qt reads the same way.
        QSettings ini(m_path, QSettings::IniFormat);
        QCOMPARE(ini.value("Settings/SaveLast").toString(), settings.names);
    }

    // Each row stores one entry as a user may have edited it, beside valid values of the others,
    // and expects that entry's text after the load and whether it fell back to its default.
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
            << "SaveLast" << QByteArray("\"Ann\", Bob") << "Ann,Bob" << false;
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
        const Settings others{"3000", 0, "Ann\r\nBob", true, 6000, 5000};
        QByteArray lines;
        for (const auto &[k, v] : SettingsStore::entries(others)) {
            lines += (k + u'=').toUtf8() + (k == key ? stored : v.toUtf8()) + '\n';
        }
        lines.replace("\r\n", "\\r\\n");
        writeIni(lines);

        const auto loaded = SettingsStore(m_path).load();
        for (const auto &[k, v] : SettingsStore::entries(others)) {
            QCOMPARE(valueOf(loaded.settings, k), k == key ? expected : v);
        }
        QCOMPARE(loaded.warnings.size(), warns ? 1 : 0);
        if (warns)
            QVERIFY(loaded.warnings.first().contains(key));
    }

    void saveWritesAllSixInOrderAndKeepsTheRest()
    {
        QStringList keys;
        for (const auto &entry : SettingsStore::entries(Settings{}))
            keys << entry.first;
        QCOMPARE(keys,
                 QStringList({"Interval", "ResetNick", "SaveLast", "Width", "Height", "Min"}));

        writeIni("Save1=kept\nMin=1\nnot a setting\n[Other]\nkey=also kept");
        QVERIFY(SettingsStore(m_path).save(Settings{}).ok);
        QSettings ini(m_path, QSettings::IniFormat);
        for (const auto &[key, value] : SettingsStore::entries(Settings{}))
            QCOMPARE(ini.value("Settings/" + key).toString(), value);
        QCOMPARE(ini.value("Settings/Save1").toString(), QStringLiteral("kept"));
        QCOMPARE(ini.value("Other/key").toString(), QStringLiteral("also kept"));
        QVERIFY(fileBytes().contains("\nWidth=4770\n"));
    }

    void unreadableStore()
    {
        QVERIFY(QDir().mkpath(m_path)); // a folder where the file should be
        const auto loaded = SettingsStore(m_path).load();
        QCOMPARE(loaded.settings, Settings{});
        QCOMPARE(loaded.warnings.size(), 1);
        const auto saved = SettingsStore(m_path).save(Settings{});
        QVERIFY(!saved.ok);
        QVERIFY(saved.message.contains(m_path));
        QVERIFY(QDir().rmdir(m_path));
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

    void presets()
    {
        SettingsStore store(m_path);
        for (int n = 1; n <= SettingsStore::PresetCount; ++n)
            QCOMPARE(store.loadPreset(n).value, QStringLiteral("no preset"));
        QVERIFY(store.savePreset(1, "").ok);
        QVERIFY(store.savePreset(3, "first").ok);
        QVERIFY(store.savePreset(3, "Ann\r\nBob\r\n").ok);
        QVERIFY(store.savePreset(2, "two").ok);
        QVERIFY(store.save(Settings{}).ok);
        QCOMPARE(store.loadPreset(1).value, QStringLiteral(""));
        QCOMPARE(store.loadPreset(2).value, QStringLiteral("two"));
        QCOMPARE(store.loadPreset(3).value, QStringLiteral("Ann\r\nBob\r\n"));
        QCOMPARE(store.load().settings, Settings{});
    }

    // A second copy of the program killed while it writes the file leaves the settings of one
    // of its earlier saves, complete, and its lock does not block the next save.
    void killedWriterLeavesReadableSettings()
    {
        for (int round = 0; round < 3; ++round) {
            QProcess writer;
            writer.start(SETTINGS_WRITER, {"save-loop", m_path});
            QVERIFY(writer.waitForStarted());
            do {
                QVERIFY(writer.waitForReadyRead(30000));
            } while (!writer.readAll().contains("saved 1"));

            // Kill as soon as the file is being written: a temporary file beside it, or the
            // file itself changing.
            const QFileInfo before(m_path);
            QDeadlineTimer guard(60000);
            while (!guard.hasExpired()) {
                const QFileInfo now(m_path);
                QStringList beside = QDir(m_dir.path()).entryList({"Vuzerer4.ini.*"});
                beside.removeAll("Vuzerer4.ini.lock");
                const bool writing = !beside.isEmpty();
                if (writing || now.size() != before.size() ||
                    now.lastModified() != before.lastModified()) {
                    break;
                }
            }
            writer.kill();
            QVERIFY(writer.waitForFinished());

            const auto loaded = SettingsStore(m_path).load();
            QVERIFY(loaded.warnings.isEmpty());
            bool isNumber = false;
            const int n = loaded.settings.interval.toInt(&isNumber);
            QVERIFY(isNumber);
            QCOMPARE(loaded.settings.names.size(), 2'000'000 + 6 + loaded.settings.interval.size());
            QVERIFY(loaded.settings.names.endsWith(QStringLiteral("\r\nend %1").arg(n)));
            QCOMPARE(loaded.settings.names[0], QChar(u'a' + n % 26));
            QVERIFY(SettingsStore(m_path).savePreset(1, "after").ok);
        }
    }

    // Another live process holding the lock makes the save fail after the time limit instead of
    // hanging; once that process is gone the save goes through.
    void lockHeldByLiveProcess()
    {
        QVERIFY(SettingsStore(m_path).save(Settings{}).ok);
        const QByteArray before = fileBytes();
        QProcess holder;
        holder.start(SETTINGS_WRITER, {"hold-lock", m_path});
        QVERIFY(holder.waitForStarted());
        QVERIFY(holder.waitForReadyRead(30000));
        QCOMPARE(holder.readLine(), "locked\n");

        SettingsStore store(m_path);
        store.setLockTimeout(100);
        const auto blocked = store.save(Settings{"9000", 0, "x", true, 1, 1});
        QVERIFY(!blocked.ok);
        QVERIFY(blocked.message.contains(m_path));
        QCOMPARE(fileBytes(), before);

        holder.kill();
        QVERIFY(holder.waitForFinished());
        QVERIFY(store.save(Settings{"9000", 0, "x", true, 1, 1}).ok);
        QCOMPARE(store.load().settings.interval, QStringLiteral("9000"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
