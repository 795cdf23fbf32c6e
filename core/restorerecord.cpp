#include "restorerecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace Velmira {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Velmira::RestoreRecord", text);
}
} // namespace

QString RestoreRecord::pathBeside(const QString &settingsFile)
{
    return QFileInfo(settingsFile).dir().filePath(QStringLiteral("rotation-restore.json"));
}

Loaded<std::optional<RestoreRecord>> RestoreRecord::read(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {{}, Result::failure(tr("Could not read %1: %2").arg(path, file.errorString()))};
    QJsonParseError error{};
    const QJsonObject object = QJsonDocument::fromJson(file.readAll(), &error).object();
    if (error.error != QJsonParseError::NoError || !object.value(u"identity").isString() ||
        !object.value(u"original").isString() || !object.value(u"names").isArray())
        return {{},
                Result::failure(tr("Could not read %1: it is not a restore record.").arg(path))};
    RestoreRecord record{object.value(u"identity").toString(),
                         object.value(u"original").toString(),
                         {},
                         object.value(u"clientQuit").toBool()};
    for (const QJsonValue &name : object.value(u"names").toArray())
        record.names << name.toString();
    return {record, Result::success()};
}

Result RestoreRecord::write(const QString &path) const
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    QJsonObject object{{QStringLiteral("identity"), identity},
                       {QStringLiteral("original"), original},
                       {QStringLiteral("names"), QJsonArray::fromStringList(names)}};
    if (clientQuit)
        object.insert(QStringLiteral("clientQuit"), true);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(object).toJson()) < 0 ||
        !file.commit())
        return Result::failure(tr("Could not write %1: %2").arg(path, file.errorString()));
    return Result::success();
}

Result RestoreRecord::remove(const QString &path)
{
    QFile file(path);
    if (file.exists() && !file.remove())
        return Result::failure(tr("Could not remove %1: %2").arg(path, file.errorString()));
    return Result::success();
}

} // namespace Velmira
