// Helper for tst_settingsstore: a second process using the same settings file.
//   velmira_settings_writer save-loop <file>  saves ever new settings until killed, printing
//                                             "saving N" before and "saved N" after each save
//   velmira_settings_writer hold-lock <file>  holds the file's lock until killed, after
//                                             printing "locked"
#include "persistence/settingsstore.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QThread>

#include <cstdio>

namespace {

// The names text of save number n: large, so that a save takes a while.
QString namesFor(int n)
{
    return QString(2'000'000, QChar(u'a' + n % 26)) + QStringLiteral("\r\nend %1").arg(n);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    if (mode == u"save-loop") {
        Velmira::SettingsStore store(file);
        for (int n = 0;; ++n) {
            Velmira::Settings settings;
            settings.interval = QString::number(n);
            settings.names = namesFor(n);
            std::printf("saving %d\n", n);
            std::fflush(stdout);
            if (!store.save(settings).ok)
                return 1;
            std::printf("saved %d\n", n);
            std::fflush(stdout);
        }
    }
    if (mode == u"hold-lock") {
        QLockFile lock(file + QStringLiteral(".lock"));
        if (!lock.tryLock(0))
            return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
    return 2;
}
