#include "settingsstore.h"

#include "fileerror.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QSaveFile>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace Velmira {

namespace {

constexpr QLatin1String Section("Settings");
constexpr QLatin1String KeyInterval("Interval");
constexpr QLatin1String KeyResetNick("ResetNick");
constexpr QLatin1String KeySaveLast("SaveLast");
constexpr QLatin1String KeyMin("Min");
constexpr QLatin1String KeyWidth("Width");
constexpr QLatin1String KeyHeight("Height");
constexpr QLatin1String NoPreset("no preset");

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

// The text of a value as it stands on its line. QSettings splits a hand-edited value at its
// unquoted commas and trims the pieces, which loses the text; when the value holds no quotes or
// escapes, the line gives it back exactly, else the pieces are joined.
QString listValueText(QByteArrayView rawValue, const QStringList &pieces)
{
    if (rawValue.contains('"') || rawValue.contains('\\'))
        return pieces.join(u',');
    return QString::fromUtf8(rawValue);
}

// Writes the pieces one after another, without joining them first.
bool writeBytes(const QString &path, std::initializer_list<QByteArrayView> pieces)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArrayView piece : pieces) {
        if (file.write(piece.data(), piece.size()) != piece.size())
            return false;
    }
    return file.flush();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The entries of an INI file, each read from its own line alone, so one damaged line (an open
// quote, a trailing backslash, binary bytes) costs that entry only and not the lines after it.
struct ReadableEntries
{
    QList<std::pair<QString, QString>> entries; // full key ("Settings/Min") and text, in file order
    // False when the file holds anything a rewrite would not give back as it stands: lines that
    // are no entries, entries read differently than written, duplicates, a parse error.
    bool exact = true;
};

// Whether QSettings writes `value`, a value as it stands on its line, back as it stands, told
// without writing it: every byte is one QSettings writes unchanged where it stands, or an escaped
// CR or LF. Such a value reads as plainText() gives it. A quick answer for the long values of a
// names text; false means "ask QSettings".
bool plainlyWritten(QByteArrayView value)
{
    // Where QSettings writes each printable ASCII c unchanged, asked once: "c" as the first,
    // a middle ("acb") and the last byte of a value.
    enum Place : unsigned char
    {
        First = 1,
        Middle = 2,
        Last = 4
    };
    static const std::array<unsigned char, 128> unchanged = [] {
        std::array<unsigned char, 128> table{};
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("probe.ini"));
        const std::array<std::pair<Place, const char *>, 3> shapes{
            {{First, "%1b"}, {Middle, "a%1b"}, {Last, "a%1"}}};
        {
            QSettings probe(path, QSettings::IniFormat);
            for (int c = 0x20; c < 0x7f; ++c) {
                for (const auto &[place, shape] : shapes)
                    probe.setValue(QStringLiteral("k%1_%2").arg(c).arg(place),
                                   QString::fromLatin1(shape).arg(QChar(c)));
            }
            probe.setValue(QStringLiteral("cr"), QStringLiteral("\r\n"));
        }
        const QByteArray written = readBytes(path);
        for (int c = 0x20; c < 0x7f; ++c) {
            for (const auto &[place, shape] : shapes) {
                const QByteArray line =
                    "\nk" + QByteArray::number(c) + '_' + QByteArray::number(place) + '=' +
                    QByteArray(shape).replace("%1", QByteArray(1, char(c))) + '\n';
                if (written.contains(line))
                    table[c] |= place;
            }
        }
        if (written.contains("\ncr=\\r\\n\n"))
            table['\\'] = First | Middle;
        return table;
    }();
    if (value.startsWith('@')) // the mark of a value that is no text
        return false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        const unsigned char place = i == 0 ? First : i + 1 == value.size() ? Last : Middle;
        if (c >= unchanged.size() || !(unchanged[c] & place))
            return false;
        if (c == '\\' && (++i == value.size() || (value[i] != 'r' && value[i] != 'n')))
            return false;
    }
    return true;
}

// The text of a value for which plainlyWritten() holds.
QString plainText(QByteArrayView value)
{
    QString text;
    text.reserve(value.size());
    qsizetype start = 0;
    for (qsizetype i = value.indexOf('\\'); i >= 0; i = value.indexOf('\\', start)) {
        text.append(QLatin1String(value.sliced(start, i - start)));
        text.append(value[i + 1] == 'r' ? u'\r' : u'\n');
        start = i + 2;
    }
    return text.append(QLatin1String(value.sliced(start)));
}

// The file's entries as QSettings reads them, line by line in `dir`; nullopt when `dir` cannot
// be written. With `checkExact` false, ReadableEntries::exact may be left true although it is
// not. Entries of `replaced` (full keys) may be left out. QSettings works on private
// copies only: it caches files by name across instances and would miss a rewrite of the same
// size within its clock's resolution, and its own writer waits without limit for a lock.
std::optional<ReadableEntries> readEntries(const QTemporaryDir &dir, const QByteArray &ini,
                                           bool checkExact, const QStringList &replaced = {})
{
    ReadableEntries read;
    QByteArray header;
    QSet<QString> seen;
    int n = 0;
    for (QByteArrayView rest(ini); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = rest.first(end < 0 ? rest.size() : end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith('[')) {
            header = line.toByteArray();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) {
            read.exact = false;
            continue;
        }
        const QByteArrayView key = line.first(equals).trimmed();
        const QByteArrayView rawValue = line.sliced(equals + 1).trimmed();
        const QByteArray section = header.isEmpty() ? QByteArray("[General]") : header;
        const bool plain =
            section == "[Settings]" && plainlyWritten(key) && plainlyWritten(rawValue);
        const QString plainKey = Section + u'/' + QString::fromLatin1(key);
        if (plain) {
            // Read without QSettings (a names text can be megabytes to parse), and not at all
            // when it is about to be replaced.
            if (!replaced.contains(plainKey))
                read.entries.append({plainKey, plainText(rawValue)});
            read.exact = read.exact && !seen.contains(plainKey);
            seen.insert(plainKey);
            continue;
        }
        const QString path = dir.filePath(QStringLiteral("line%1.ini").arg(n++));
        if (!dir.isValid() || !writeBytes(path, {section, "\n", line, "\n"}))
            return std::nullopt;
        const QSettings settings(path, QSettings::IniFormat);
        const QStringList keys = settings.allKeys();
        const QVariant value = keys.size() == 1 ? settings.value(keys.first()) : QVariant();
        QFile::remove(path);
        if (keys.size() != 1) {
            read.exact = false;
            continue;
        }
        read.entries.append({keys.first(), value.typeId() == QMetaType::QStringList
                                               ? listValueText(rawValue, value.toStringList())
                                               : value.toString()});
        if (!checkExact || !read.exact)
            continue;
        if (settings.status() != QSettings::NoError || seen.contains(keys.first())) {
            read.exact = false;
            continue;
        }
        seen.insert(keys.first());
        // Read exactly when QSettings writes the value back as the line stands.
        const QString canonPath = dir.filePath(QStringLiteral("canon.ini"));
        {
            QSettings canon(canonPath, QSettings::IniFormat);
            canon.setValue(keys.first(), value);
        }
        read.exact = readBytes(canonPath).trimmed() ==
                     section + '\n' + key.toByteArray() + '=' + rawValue.toByteArray();
        QFile::remove(canonPath);
    }
    return read;
}

// Where the copy of an unreadable settings file goes: beside it, named after the time.
QString keptCopyPath(const QString &filePath, const QByteArray &bytes)
{
    const QString base = filePath + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = base;
    for (int n = 2; QFileInfo::exists(path) && readBytes(path) != bytes; ++n)
        path = base + QStringLiteral("-%1").arg(n);
    return path;
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
    // Sized to the file: readAll() would take up to twice the room of a long file.
    QByteArray bytes(file.size(), Qt::Uninitialized);
    bytes.resize(std::max<qint64>(file.read(bytes.data(), bytes.size()), 0));
    bytes += file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

QString noScratchReason()
{
    return QCoreApplication::translate("Velmira::SettingsStore",
                                       "cannot write a temporary copy in \"%1\".")
        .arg(QDir::tempPath());
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
    const std::optional<ReadableEntries> read = readEntries(scratch, ini, false);
    if (!read)
        return failure(noScratchReason());
    for (const auto &[key, text] : read->entries) {
        const qsizetype i = keys.indexOf(key.sliced(key.indexOf(u'/') + 1));
        if (i >= 0 && key == Section + u'/' + keys[i])
            values[i] = text;
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

    // Under the lock: take the current file, let QSettings rebuild it from the entries it can
    // read, with the new ones applied, and put the result in place in one rename. A file that
    // does not read back exactly is first kept as it is, beside it. Names texts run to megabytes:
    // what is no longer needed is let go at once.
    QString reason;
    std::optional<QByteArray> current = readCurrent(m_filePath, &reason);
    if (!current)
        return failure(reason);
    const QTemporaryDir scratch;
    QStringList replaced;
    for (const auto &entry : entries)
        replaced << Section + u'/' + entry.first;
    std::optional<ReadableEntries> read = readEntries(scratch, *current, true, replaced);
    if (!read)
        return failure(noScratchReason());
    QString keptCopy;
    if (!read->exact) {
        keptCopy = keptCopyPath(m_filePath, *current);
        QSaveFile copy(keptCopy);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(*current) != current->size() ||
            !copy.commit()) {
            return failure(tr("it holds lines Velmira cannot read back, and no copy of it could "
                              "be kept in \"%1\": %2. It was left as it is.")
                               .arg(keptCopy, fileErrorText(copy)));
        }
    }
    current.reset();
    const QString rebuilt = scratch.filePath(QStringLiteral("settings.ini"));
    {
        QSettings settings(rebuilt, QSettings::IniFormat);
        for (auto &[key, value] : read->entries) {
            if (!replaced.contains(key))
                settings.setValue(key, value);
            value.clear();
        }
        read.reset();
        settings.beginGroup(Section);
        for (const auto &[key, value] : entries)
            settings.setValue(key, value);
        settings.endGroup();
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return failure(noScratchReason());
    }

    // Copied over in pieces, not held whole.
    QFile result(rebuilt);
    QSaveFile out(m_filePath);
    if (!result.open(QIODevice::ReadOnly))
        return failure(noScratchReason());
    if (!out.open(QIODevice::WriteOnly))
        return failure(fileErrorText(out));
    bool copied = true;
    while (copied && !result.atEnd()) {
        const QByteArray piece = result.read(1 << 20);
        copied = !piece.isEmpty() && out.write(piece) == piece.size();
    }
    // A short write (a full disk) must not be committed: QSaveFile would put the torn file in
    // place.
    if (!copied || !out.commit()) {
        const QString reason = fileErrorText(out);
        out.cancelWriting();
        return failure(reason);
    }
    if (keptCopy.isEmpty())
        return Result::success();
    return Result::success(tr("The settings file \"%1\" held lines Velmira could not read back "
                              "exactly. It was kept as it was in \"%2\"; the entries that could "
                              "be read are used.")
                               .arg(m_filePath, keptCopy));
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
