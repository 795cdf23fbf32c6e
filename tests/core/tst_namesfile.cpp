#include "core/cp1252.h"
#include "core/namesfile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace NamesFile = Velmira::NamesFile;
namespace Cp1252 = Velmira::Cp1252;

class TestNamesFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    static void writeBytes(const QString &path, const QByteArray &bytes)
    {
        QVERIFY(TestFiles::write(path, bytes));
    }

private slots:
    // Every byte decodes to the character the system's converter gives it and encodes back to
    // itself; the five bytes it leaves undefined are in load()'s table.
    void cp1252EveryByteSurvives()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QString text = Cp1252::decode(all);
        QCOMPARE(Cp1252::encode(text), std::optional<QByteArray>(all));
        QStringDecoder reference("windows-1252");
        if (!reference.isValid())
            QSKIP("this Qt has no Windows-1252 converter to compare with");
        QCOMPARE(text, reference.decode(all));
    }

    void saveAndLoad_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("two names") << "Ann\r\nBob" << QByteArray("Ann\r\nBob\r\n");
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("ends with CR LF") << "Ann\r\n" << QByteArray("Ann\r\n");
        QTest::newRow("only CR LF") << "\r\n" << QByteArray("\r\n");
        QTest::newRow("bare LF kept") << "a\nb\r" << QByteArray("a\nb\r\r\n");
        QTest::newRow("Windows-1252") << QString::fromUtf8("Zoë €5 “q”")
                                      << QByteArray("Zo\xEB \x80"
                                                    "5 \x93q\x94\r\n");
        QTest::newRow("unicode as UTF-8")
            << QString::fromUtf8("Zoë\r\nЖанна 😀")
            << "\xEF\xBB\xBF" + QString::fromUtf8("Zoë\r\nЖанна 😀\r\n").toUtf8();
    }
    // The bytes written over a longer file, which must leave no trace; the load gives back the
    // text with its final CR LF.
    void saveAndLoad()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        writeBytes(path("names.txt"), QByteArray(1000, 'x'));
        const auto saved = NamesFile::save(path("names.txt"), text);
        QVERIFY2(saved.ok, qPrintable(saved.message));
        QCOMPARE(TestFiles::read(path("names.txt")), bytes);
        const auto read = NamesFile::load(path("names.txt"));
        QVERIFY(read.result.ok);
        QCOMPARE(read.value, text.isEmpty() || text.endsWith("\r\n") ? text : text + "\r\n");
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("bare LF") << QByteArray("Ann\nBob\n") << "Ann\nBob\n";
        QTest::newRow("undefined bytes") << QByteArray("\x81\x8D\x8F\x90\x9D")
                                         << QString::fromUtf8("\u0081\u008D\u008F\u0090\u009D");
        QTest::newRow("BOM only") << QByteArray("\xEF\xBB\xBF") << "";
        QTest::newRow("BOM, not UTF-8") << QByteArray("\xEF\xBB\xBF\xE9") << "ï»¿é";
        // Without a mark: valid UTF-8 holding non-ASCII bytes is UTF-8, anything else 1252.
        QTest::newRow("UTF-8, no BOM")
            << QByteArray("Bj\xC3\xB6rn\r\n\xF0\x9F\x98\x80") << QString::fromUtf8("Björn\r\n😀");
        QTest::newRow("1252 accent") << QByteArray("Bj\xF6rn") << QString::fromUtf8("Björn");
        QTest::newRow("UTF-8 cut short") << QByteArray("Bj\xC3") << QString::fromUtf8("BjÃ");
        QTest::newRow("UTF-8 then 1252") << QByteArray("\xC3\xB6\xF6") << QString::fromUtf8("Ã¶ö");
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << QString::fromUtf8("À¯");
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << QString::fromUtf8("í\u00A0€");
    }
    void load()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        writeBytes(path("other.txt"), bytes);
        const auto read = NamesFile::load(path("other.txt"));
        QVERIFY(read.result.ok);
        QCOMPARE(read.value, text);
    }

    void loadErrors_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"missing.txt", "folder", "large.txt", "secret.txt"})
            QTest::newRow(name) << name;
    }
    void loadErrors()
    {
        QFETCH(QString, name);
        QVERIFY(QDir(m_dir.path()).mkpath("folder"));
        QFile large(path("large.txt"));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(NamesFile::MaxFileSize + 1)); // sparse: costs no disk
        writeBytes(path("secret.txt"), "names");
        QVERIFY(QFile::setPermissions(path("secret.txt"), QFile::WriteOwner));
        if (name == "secret.txt" && geteuid() == 0)
            QSKIP("root reads files without permission");

        const auto read = NamesFile::load(path(name));
        QVERIFY(!read.result.ok);
        QVERIFY2(read.result.message.contains(path(name)), qPrintable(read.result.message));
    }

    // A save that fails part way (here: the file size limit of the process) leaves the old file.
    void failedSaveKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("names.txt"));
        writeBytes(file, "old names\r\n");
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const auto result = NamesFile::save(file, QString(100'000, u'n'));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!result.ok);
        QVERIFY(result.message.contains(file));
        QCOMPARE(TestFiles::read(file), QByteArray("old names\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"names.txt"});

        const auto intoFolder = NamesFile::save(dir.path(), "x");
        QVERIFY(!intoFolder.ok);
        QVERIFY(intoFolder.message.contains(dir.path()));
    }
};

QTEST_GUILESS_MAIN(TestNamesFile)
#include "tst_namesfile.moc"
