#include "autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace Velmira::Autostart {

QString entryPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart/velmira.desktop"));
}

bool isOn()
{
    return QFileInfo::exists(entryPath());
}

Result set(bool on)
{
    const QString path = entryPath();
    const auto failed = [&path](const QString &reason) {
        return Result::failure(
            QCoreApplication::translate("Velmira::Autostart", "Could not change %1: %2")
                .arg(path, reason));
    };
    if (!on) {
        QFile entry(path);
        if (entry.exists() && !entry.remove())
            return failed(entry.errorString());
        return Result::success();
    }
    if (!QDir().mkpath(QFileInfo(path).path()))
        return failed(
            QCoreApplication::translate("Velmira::Autostart", "its folder cannot be made"));
    QSaveFile entry(path);
    const QByteArray text = "[Desktop Entry]\nType=Application\nName=Velmira\n"
                            "Exec=velmira --in-tray\nIcon=velmira\nTerminal=false\n"
                            "X-GNOME-Autostart-enabled=true\n";
    if (!entry.open(QIODevice::WriteOnly) || entry.write(text) != text.size() || !entry.commit())
        return failed(entry.errorString());
    return Result::success();
}

} // namespace Velmira::Autostart
