#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace Velmira {

namespace {

const QString Section = QStringLiteral("Settings");
const QString KeyInterval = QStringLiteral("Interval");
const QString KeyResetNick = QStringLiteral("ResetNick");
const QString KeySaveLast = QStringLiteral("SaveLast");
const QString KeyMin = QStringLiteral("Min");
const QString KeyWidth = QStringLiteral("Width");
const QString KeyHeight = QStringLiteral("Height");
const QString NoPreset = QStringLiteral("no preset");

QString tr(const char *text)
{
    return QCoreApplication::translate("Velmira::SettingsStore", text);
}

QString presetKey(int number)
{
    return QStringLiteral("Save%1").arg(number);
}

// Numbers in the store are read the locale-aware way first, then the C way, so a file written
// under another locale still reads. Group separators are refused: "4.770" is not 4770.
std::optional<double> parseNumber(const QString &text)
{
    for (QLocale locale : {QLocale::system(), QLocale::c()}) {
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double value = locale.toDouble(text, &ok);
        if (ok)
            return value;
    }
    return std::nullopt;
}

std::optional<double> parseTwips(const QString &text)
{
    const auto value = parseNumber(text);
    if (!value || !std::isfinite(*value) || std::fabs(*value) > std::numeric_limits<float>::max())
        return std::nullopt;
    const float twips = static_cast<float>(*value);
    if (!(twips > 0))
        return std::nullopt;
    return twips;
}

std::optional<int> parseResetNick(const QString &text)
{
    const auto value = parseNumber(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    const double rounded = std::nearbyint(*value); // halves to even
    if (rounded != 0 && rounded != 1 && rounded != 2)
        return std::nullopt;
    return static_cast<int>(rounded);
}

// The text of `key` in the section as it stands in the INI file. QSettings splits a hand-edited
// value at its unquoted commas and trims the pieces, which loses the text; when the value holds
// no quotes or escapes, its line gives it back exactly, else the pieces are joined.
QString listValueText(const QByteArray &ini, const QString &key, const QStringList &pieces)
{
    std::optional<QString> found;
    bool inSection = false;
    for (qsizetype start = 0; start < ini.size();) {
        qsizetype end = ini.indexOf('\n', start);
        if (end < 0)
            end = ini.size();
        const QByteArrayView line = QByteArrayView(ini).sliced(start, end - start).trimmed();
        start = end + 1;
        if (line.startsWith('[')) {
            inSection = line == QByteArray('[' + Section.toUtf8() + ']');
            continue;
        }
        const auto equals = line.indexOf('=');
        if (!inSection || equals < 0 || line.first(equals).trimmed() != key.toUtf8())
            continue;
        const QByteArrayView value = line.sliced(equals + 1).trimmed();
        found = (value.contains('"') || value.contains('\\')) ? std::optional<QString>{}
                                                              : QString::fromUtf8(value);
    }
    return found.value_or(pieces.join(u','));
}

// Writes `ini` into `dir` for QSettings to work on, and gives the file's path. QSettings works on
// private copies only: it caches files by name across instances and would miss a rewrite of the
// same size within its clock's resolution, and its own writer waits without limit for a lock.
std::optional<QString> scratchCopy(const QTemporaryDir &dir, const QByteArray &ini)
{
    QFile copy(dir.filePath(QStringLiteral("settings.ini")));
    if (!dir.isValid() || !copy.open(QIODevice::WriteOnly) || copy.write(ini) != ini.size() ||
        !copy.flush()) {
        return std::nullopt;
    }
    return copy.fileName();
}

// The settings file's bytes, empty when there is none yet; nullopt, with the reason, when it
// exists but cannot be read.
std::optional<QByteArray> readCurrent(const QString &path, QString *reason)
{
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

QString noScratchReason()
{
    return tr("cannot write a temporary copy in \"%1\".").arg(QDir::tempPath());
}

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmira"),
                              QStringLiteral("Vuzerer4"))
                        .fileName())
{}

SettingsStore::SettingsStore(const QString &filePath) : m_filePath(filePath) {}

Loaded<QList<std::optional<QString>>> SettingsStore::readValues(const QStringList &keys) const
{
    const auto failure = [this](const QString &reason) {
        return Loaded<QList<std::optional<QString>>>{
            {},
            Result::failure(
                tr("Could not read the settings from \"%1\": %2").arg(m_filePath, reason))};
    };
    QList<std::optional<QString>> values(keys.size());
    QString reason;
    const std::optional<QByteArray> current = readCurrent(m_filePath, &reason);
    if (!current)
        return failure(reason);
    const QByteArray &ini = *current;
    if (ini.isEmpty())
        return {values, Result::success()};

    const QTemporaryDir scratch;
    const auto copy = scratchCopy(scratch, ini);
    if (!copy)
        return failure(noScratchReason());
    QSettings settings(*copy, QSettings::IniFormat);
    settings.beginGroup(Section);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (!settings.contains(keys[i]))
            continue;
        const QVariant value = settings.value(keys[i]);
        values[i] = value.typeId() == QMetaType::QStringList
                        ? listValueText(ini, keys[i], value.toStringList())
                        : value.toString();
    }
    return {values, Result::success()};
}

Result SettingsStore::write(const QList<std::pair<QString, QString>> &entries)
{
    const auto failure = [this](const QString &reason) {
        return Result::failure(
            tr("Could not save the settings to \"%1\": %2").arg(m_filePath, reason));
    };

    const QFileInfo info(m_filePath);
    if (!QDir().mkpath(info.absolutePath()))
        return failure(tr("cannot create the folder \"%1\".").arg(info.absolutePath()));

    QLockFile lock(m_filePath + QStringLiteral(".lock"));
    if (!lock.tryLock(m_lockTimeoutMs)) {
        switch (lock.error()) {
        case QLockFile::LockFailedError:
            return failure(tr("the file is in use by another program (another copy of Velmira?)."));
        case QLockFile::PermissionError:
            return failure(tr("no permission to create the lock file \"%1\".")
                               .arg(m_filePath + QStringLiteral(".lock")));
        default:
            return failure(tr("cannot create the lock file \"%1\".")
                               .arg(m_filePath + QStringLiteral(".lock")));
        }
    }

    // Under the lock: take the current file, let QSettings apply the entries to a private copy,
    // and put the result in place in one rename.
    QString reason;
    const std::optional<QByteArray> current = readCurrent(m_filePath, &reason);
    if (!current)
        return failure(reason);
    QByteArray ini = *current;

    const QTemporaryDir scratch;
    const auto copy = scratchCopy(scratch, ini);
    if (!copy)
        return failure(noScratchReason());
    {
        QSettings settings(*copy, QSettings::IniFormat);
        settings.beginGroup(Section);
        for (const auto &[key, value] : entries)
            settings.setValue(key, value);
        settings.endGroup();
        settings.sync();
        // A FormatError only says that the old file held lines QSettings could not parse; they
        // are left out of the new file.
        if (settings.status() == QSettings::AccessError)
            return failure(noScratchReason());
    }
    QFile result(*copy);
    if (!result.open(QIODevice::ReadOnly))
        return failure(result.errorString());
    ini = result.readAll();

    QSaveFile out(m_filePath);
    if (!out.open(QIODevice::WriteOnly))
        return failure(out.errorString());
    if (out.write(ini) != ini.size() || !out.commit()) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return failure(reason);
    }
    return Result::success();
}

LoadedSettings SettingsStore::load() const
{
    LoadedSettings loaded;
    Settings &s = loaded.settings;
    const QStringList keys{KeyInterval, KeyResetNick, KeySaveLast, KeyMin, KeyWidth, KeyHeight};
    const auto read = readValues(keys);
    if (!read.result.ok) {
        loaded.warnings << read.result.message + u' ' + tr("Using the default settings.");
        return loaded;
    }
    const auto &values = read.value;
    const auto warn = [&](const QString &key, const QString &value, const QString &why,
                          const QString &fallback) {
        loaded.warnings << tr("Settings \"%1\": \"%2\" is \"%3\", %4; using \"%5\".")
                               .arg(m_filePath, key, value, why, fallback);
    };

    if (values[0])
        s.interval = *values[0];
    if (values[1]) {
        if (const auto resetNick = parseResetNick(*values[1]))
            s.resetNick = *resetNick;
        else
            warn(KeyResetNick, *values[1], tr("not 0, 1 or 2"), QString::number(s.resetNick));
    }
    if (values[2])
        s.names = *values[2];
    if (values[3])
        s.minimizeToTray = *values[3] == u"1";
    const QString notLength = tr("not a positive number");
    if (values[4]) {
        if (const auto width = parseTwips(*values[4]))
            s.widthTwips = *width;
        else
            warn(KeyWidth, *values[4], notLength, formatTwips(s.widthTwips));
    }
    if (values[5]) {
        if (const auto height = parseTwips(*values[5]))
            s.heightTwips = *height;
        else
            warn(KeyHeight, *values[5], notLength, formatTwips(s.heightTwips));
    }
    return loaded;
}

QList<std::pair<QString, QString>> SettingsStore::entries(const Settings &settings)
{
    return {
        {KeyInterval, settings.interval},
        {KeyResetNick, QString::number(settings.resetNick)},
        {KeySaveLast, settings.names},
        {KeyWidth, formatTwips(settings.widthTwips)},
        {KeyHeight, formatTwips(settings.heightTwips)},
        {KeyMin, settings.minimizeToTray ? QStringLiteral("1") : QStringLiteral("0")},
    };
}

Result SettingsStore::save(const Settings &settings)
{
    return write(entries(settings));
}

Loaded<QString> SettingsStore::loadPreset(int number) const
{
    Q_ASSERT(number >= 1 && number <= PresetCount);
    const auto read = readValues({presetKey(number)});
    if (!read.result.ok)
        return {{}, read.result};
    return {read.value.first().value_or(NoPreset), Result::success()};
}

Result SettingsStore::savePreset(int number, const QString &text)
{
    Q_ASSERT(number >= 1 && number <= PresetCount);
    return write({{presetKey(number), text}});
}

std::optional<int> SettingsStore::sliderSeconds(const QString &intervalText)
{
    const auto ms = parseNumber(intervalText);
    if (!ms)
        return std::nullopt;
    const double seconds = std::nearbyint(*ms / 1000.0); // halves to even
    if (!(seconds >= std::numeric_limits<qint32>::min() &&
          seconds <= std::numeric_limits<qint32>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(seconds);
}

QString SettingsStore::formatTwips(double twips)
{
    const double limit = std::numeric_limits<float>::max();
    const float value =
        static_cast<float>(std::isnan(twips) ? 0.0 : std::clamp(twips, -limit, limit));
    // The shortest decimal that gives this float back, in the user's locale.
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(QByteArray(digits, end - digits).toDouble(), 'g',
                           QLocale::FloatingPointShortest);
}

} // namespace Velmira
