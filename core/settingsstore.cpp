#include "settingsstore.h"

#include "fileerror.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace Velmira {

namespace {

constexpr QByteArrayView Section("Settings");
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

// A length in twips: positive and finite as a single-precision value.
std::optional<double> parseTwips(const QString &text)
{
    const auto value = parseNumber(text);
    const bool fits = value && std::fabs(*value) <= std::numeric_limits<float>::max();
    const float twips = fits ? static_cast<float>(*value) : 0;
    return twips > 0 ? std::optional<double>(twips) : std::nullopt;
}

// 0, 1 or 2 after rounding, halves to even.
std::optional<int> parseResetNick(const QString &text)
{
    const auto value = parseNumber(text);
    const double rounded = value ? std::nearbyint(*value) : -1;
    if (rounded == 0 || rounded == 1 || rounded == 2)
        return static_cast<int>(rounded);
    return std::nullopt;
}

// A value as the INI format of QSettings writes a text: UTF-8, a leading '@' doubled (a text
// with a null character framed in "@String()" instead), control characters, quotes and
// backslashes escaped (a hex digit right after a "\x" or "\0" escape is escaped too), quoted
// when it holds ';', ',' or '=' or begins or ends with a space.
// `Text` is a QStringView or a QByteArrayView of UTF-8; a long text is converted piece by piece.
template <typename Text> void encodeValue(Text text, QByteArray &out)
{
    const bool framed = text.contains('\0');
    const bool quoted = text.contains(';') || text.contains(',') || text.contains('=') ||
                        (!framed && (text.startsWith(' ') || text.endsWith(' ')));
    out.reserve(out.size() + text.size() * 3 + 16); // room only: untouched pages cost nothing
    out.append(quoted ? "\"" : "").append(framed ? "@String(" : text.startsWith('@') ? "@" : "");
    static constexpr char Named[] = "\a\b\f\n\r\t\v\"\\", Letters[] = "abfnrtv\"\\";
    bool afterHex = false;
    for (qsizetype start = 0, size = 0; start < text.size(); start += size) {
        size = std::min<qsizetype>(text.size() - start, 1 << 16);
        QByteArray utf8;
        QByteArrayView view;
        if constexpr (std::is_same_v<Text, QStringView>) {
            size += text[start + size - 1].isHighSurrogate() && start + size < text.size();
            view = utf8 = text.sliced(start, size).toUtf8();
        } else {
            view = text.sliced(start, size);
        }
        for (qsizetype i = 0; i < view.size();) {
            qsizetype end = i; // a run that is written as it stands
            while (end < view.size() && static_cast<unsigned char>(view[end]) >= 0x20 &&
                   view[end] != '"' && view[end] != '\\' &&
                   !(afterHex && std::isxdigit(static_cast<unsigned char>(view[end]))))
                ++end, afterHex = false;
            out += view.sliced(i, end - i);
            if ((i = end) == view.size())
                break;
            const auto u = static_cast<unsigned char>(view[i++]);
            if (const char *named = u ? std::strchr(Named, u) : nullptr) {
                out.append('\\').append(Letters[named - Named]);
                afterHex = false;
            } else {
                static constexpr char Hex[] = "0123456789abcdef";
                out.append('\\').append(u ? 'x' : '0');
                if (u >= 16)
                    out.append(Hex[u >> 4]);
                if (u)
                    out.append(Hex[u & 15]);
                afterHex = true;
            }
        }
    }
    out.append(framed ? ")" : "").append(quoted ? "\"" : "");
}

// The text of a value as QSettings reads it, in UTF-8, except that unquoted commas stay in the
// text where QSettings would split it into a list. An unquoted ';' begins a comment.
QByteArray decodeBytes(QByteArrayView raw)
{
    QByteArray out; // UTF-8
    out.reserve(raw.size());
    qsizetype i = 0, kept = 0; // spaces before `kept` are the text's own
    bool inQuotes = false, quoted = false;
    const auto skipSpaces = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
    };
    const auto number = [&](int base, const char *digits) { // "\x..." and "\0..." as one unit
        char16_t unit = 0;
        for (; i < raw.size() && raw[i] && std::strchr(digits, raw[i]); ++i) {
            const char digit = raw[i] | 0x20; // lower case
            unit = char16_t(unit * base + (digit <= '9' ? digit - '0' : digit - 'a' + 10));
        }
        if (unit < 0x80)
            out += char(unit);
        else
            out += QString(QChar(unit)).toUtf8();
    };
    skipSpaces();
    while (i < raw.size()) {
        const char c = raw[i++];
        if (c == '"') {
            quoted = true;
            if (!(inQuotes = !inQuotes))
                skipSpaces();
        } else if (c == ';' && !inQuotes) {
            break;
        } else if (c != '\\') {
            qsizetype end = i; // a run of plain bytes
            while (end < raw.size() && raw[end] != '"' && raw[end] != ';' && raw[end] != '\\')
                ++end;
            out += raw.sliced(i - 1, end - i + 1);
            i = end;
        } else if (i < raw.size()) {
            static constexpr char Letters[] = "abfnrtv\"?'\\", Named[] = "\a\b\f\n\r\t\v\"?'\\";
            const char e = raw[i++];
            if (const char *letter = e ? std::strchr(Letters, e) : nullptr)
                out += Named[letter - Letters];
            else if (e == 'x' && i < raw.size() &&
                     std::isxdigit(static_cast<unsigned char>(raw[i])))
                number(16, "0123456789abcdefABCDEF");
            else if (e >= '0' && e <= '7')
                --i, number(8, "01234567");
            kept = out.size();
        }
    }
    if (!quoted) {
        while (out.size() > kept && (out.endsWith(' ') || out.endsWith('\t')))
            out.chop(1);
    }
    if (out.startsWith("@@"))
        return out.sliced(1);
    if (out.startsWith("@String(") && out.endsWith(')'))
        return out.sliced(8).chopped(1);
    return out == "@Invalid()" ? QByteArray() : out;
}

// The settings file as lines: for each entry its section, key and value as they stand; a line
// that is neither an entry, a section's header nor blank (a comment, damage) with no key. The
// views point into the file's bytes, which it keeps.
struct IniLines
{
    struct Line
    {
        QByteArrayView section, key, value;
    };
    QByteArray bytes;
    QList<Line> lines;

    explicit IniLines(QByteArray file) : bytes(std::move(file))
    {
        QByteArrayView rest(bytes);
        if (rest.startsWith("\xEF\xBB\xBF")) // the byte-order mark some editors write
            rest = rest.sliced(3);
        QByteArrayView section("General");
        while (!rest.isEmpty()) {
            const qsizetype end = rest.indexOf('\n');
            const QByteArrayView text = rest.first(end < 0 ? rest.size() : end).trimmed();
            rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
            const qsizetype equals = text.indexOf('=');
            if (text.startsWith('[') && text.endsWith(']'))
                section = text.sliced(1, text.size() - 2).trimmed();
            else if (equals > 0)
                lines.append(
                    {section, text.first(equals).trimmed(), text.sliced(equals + 1).trimmed()});
            else if (!text.isEmpty())
                lines.append({section, {}, {}});
        }
    }

    // The text of the key's last entry in the section "Settings"; nullopt when it has none.
    std::optional<QString> value(QByteArrayView key) const
    {
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            if (line->section == Section && line->key == key)
                return QString::fromUtf8(decodeBytes(line->value));
        }
        return std::nullopt;
    }

    // The whole file with `entries` set in the section "Settings", every other entry kept, in
    // the form QSettings writes. `exact` tells whether nothing is lost but spaces and line ends:
    // false when the file holds lines that are no entries, values that read differently than
    // written, a key twice, or no entry although it is not blank.
    QByteArray rewritten(const QList<std::pair<QString, QString>> &entries, bool *exact) const
    {
        QHash<QByteArray, qsizetype> last; // section and key → the line of its last entry
        QList<QByteArrayView> sections;
        const auto id = [](const Line &line) {
            return line.section.toByteArray() + '\n' + line.key.toByteArray();
        };
        *exact = !lines.isEmpty() || bytes.trimmed().isEmpty() || bytes == "\xEF\xBB\xBF";
        for (qsizetype i = 0; i < lines.size(); ++i) {
            *exact = *exact && !lines[i].key.isEmpty() && !last.contains(id(lines[i]));
            last[id(lines[i])] = i;
            if (!lines[i].key.isEmpty() && !sections.contains(lines[i].section))
                sections.append(lines[i].section);
        }
        if (!sections.contains(Section))
            sections.append(Section);

        QByteArray out;
        out.reserve(bytes.size() + 4096);
        // Whether a value reads back as it stands; a replaced one is first compared with its
        // new text, the usual case, which spares decoding it.
        const auto readExactly = [](QByteArrayView value) {
            const QByteArray text = decodeBytes(value);
            QByteArray again;
            encodeValue(QByteArrayView(text), again);
            return again == value && text.isValidUtf8();
        };
        QHash<QByteArray, std::optional<QByteArrayView>> replaced; // key → its last value
        for (const auto &entry : entries)
            replaced.insert(entry.first.toUtf8(), std::nullopt);
        for (const QByteArrayView section : sections) {
            out.append(out.isEmpty() ? "[" : "\n[").append(section).append("]\n");
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const Line &line = lines[i];
                if (line.key.isEmpty() || line.section != section || last[id(line)] != i)
                    continue;
                if (line.section == Section && replaced.contains(line.key.toByteArray())) {
                    replaced[line.key.toByteArray()] = line.value;
                    continue;
                }
                const bool exactLine = readExactly(line.value);
                *exact = *exact && exactLine;
                out.append(line.key).append('=');
                if (exactLine)
                    out.append(line.value).append('\n');
                else
                    encodeValue(QStringView(QString::fromUtf8(decodeBytes(line.value))), out),
                        out.append('\n');
            }
            for (const auto &[key, text] : entries) {
                if (section != Section)
                    continue;
                const qsizetype start = out.append(key.toUtf8()).append('=').size();
                encodeValue(QStringView(text), out);
                const std::optional<QByteArrayView> old = replaced.value(key.toUtf8());
                *exact = *exact &&
                         (!old || QByteArrayView(out).sliced(start) == *old || readExactly(*old));
                out.append('\n');
            }
        }
        return out;
    }
};

// Where the copy of an unreadable settings file goes: beside it, named after the time.
QString keptCopyPath(const QString &filePath, const QByteArray &bytes)
{
    const QString base = filePath + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const auto other = [&](const QString &path) {
        QFile file(path);
        return file.exists() && !(file.open(QIODevice::ReadOnly) && file.readAll() == bytes);
    };
    QString path = base;
    for (int n = 2; other(path); ++n)
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

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                    QStringLiteral("/Velmira/Vuzerer4.ini"))
{}

SettingsStore::SettingsStore(const QString &filePath) : m_filePath(filePath) {}

Loaded<QList<std::optional<QString>>> SettingsStore::readValues(const QStringList &keys) const
{
    QString reason;
    std::optional<QByteArray> current = readCurrent(m_filePath, &reason);
    if (!current) {
        return {{},
                Result::failure(
                    tr("Could not read the settings from \"%1\": %2").arg(m_filePath, reason))};
    }
    const IniLines file(std::move(*current));
    QList<std::optional<QString>> values;
    for (const QString &key : keys)
        values.append(file.value(key.toUtf8()));
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
        const QString lockPath = m_filePath + QStringLiteral(".lock");
        if (lock.error() == QLockFile::LockFailedError)
            return failure(tr("the file is in use by another program (another copy of Velmira?)."));
        return failure(lock.error() == QLockFile::PermissionError
                           ? tr("no permission to create the lock file \"%1\".").arg(lockPath)
                           : tr("cannot create the lock file \"%1\".").arg(lockPath));
    }

    // Under the lock: take the current file, rebuild it with the new entries and put the result
    // in place in one rename. A file that does not read back exactly is first kept as it is,
    // beside it.
    QString reason;
    std::optional<QByteArray> current = readCurrent(m_filePath, &reason);
    if (!current)
        return failure(reason);
    QByteArray rewritten;
    QString keptCopy;
    {
        const IniLines file(std::move(*current));
        bool exact = true;
        rewritten = file.rewritten(entries, &exact);
        if (!exact) {
            keptCopy = keptCopyPath(m_filePath, file.bytes);
            QSaveFile copy(keptCopy);
            if (!copy.open(QIODevice::WriteOnly) || copy.write(file.bytes) != file.bytes.size() ||
                !copy.commit()) {
                return failure(tr("it holds lines Velmira cannot read back, and no copy of it "
                                  "could be kept in \"%1\": %2. It was left as it is.")
                                   .arg(keptCopy, fileErrorText(copy)));
            }
        }
    }
    QSaveFile out(m_filePath);
    // A short write (a full disk) must not be committed: QSaveFile would put the torn file in
    // place.
    if (!out.open(QIODevice::WriteOnly) || out.write(rewritten) != rewritten.size() ||
        !out.commit()) {
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
    for (const auto &[value, key, twips] : {std::tuple(values[4], KeyWidth, &s.widthTwips),
                                            std::tuple(values[5], KeyHeight, &s.heightTwips)}) {
        if (value && parseTwips(*value))
            *twips = *parseTwips(*value);
        else if (value)
            warn(key, *value, tr("not a positive number"), formatTwips(*twips));
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
