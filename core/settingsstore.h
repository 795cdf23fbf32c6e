#pragma once

#include "result.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace Velmira {

// The six settings kept between runs, as the controls hold them.
struct Settings
{
    QString interval = QStringLiteral("1"); // int3rval: milliseconds as decimal text
    int resetNick = 1;                      // chkResetNick: 0, 1 or 2
    QString names = QCoreApplication::translate("Velmira::Settings",
                                                "put each name on a new line..."); // txtNames
    bool minimizeToTray = false; // chkMin: index 1 when true, index 0 when false
    double widthTwips = 4770;    // the main window's outer size
    double heightTwips = 4440;

    bool operator==(const Settings &) const = default;
};

struct LoadedSettings
{
    Settings settings;
    // One line per entry that could not be used and fell back to its default, and one when the
    // store could not be read at all. For stderr; the load itself always succeeds.
    QStringList warnings;
};

// The per-user settings store: application "Vuzerer4", section "Settings", as an INI file
// (~/.config/Velmira/Vuzerer4.ini, under $XDG_CONFIG_HOME when set). Holds the six settings and
// the three presets.
//
// Every write replaces the file whole or not at all, so a crash or a kill in the middle leaves
// the previous settings readable. Writers take the file's ".lock" (the lock the INI reader and
// writer of Qt also use) with a time limit: a writer that finds another live process holding
// it gives up with a failure instead of waiting for ever. A lock left by a dead process is
// cleared.
class SettingsStore
{
public:
    static constexpr int PresetCount = 3;
    static constexpr int DefaultLockTimeoutMs = 3000;

    // The user's own store.
    SettingsStore();
    // A store in the given INI file (for tests and tools).
    explicit SettingsStore(const QString &filePath);

    QString filePath() const { return m_filePath; }
    void setLockTimeout(int milliseconds) { m_lockTimeoutMs = milliseconds; }

    // All six settings, each one its default when absent or unusable ("ResetNick" not 0, 1 or
    // 2; a "Width" or "Height" that is not a number, not finite or not positive). An entry that
    // exists with an empty value gives the empty text.
    LoadedSettings load() const;
    // Writes all six, changed or not; every other entry of the store stays as it was.
    Result save(const Settings &settings);

    // Preset `number` (1 to PresetCount): its text, "no preset" when never saved.
    Loaded<QString> loadPreset(int number) const;
    Result savePreset(int number, const QString &text);

    // The six writes of save(), in their order (key, text): "Interval", "ResetNick",
    // "SaveLast", "Width", "Height", "Min".
    static QList<std::pair<QString, QString>> entries(const Settings &settings);

    // The slider position for an interval text: milliseconds / 1000, rounded to the nearest
    // integer, halves to even. Nullopt when the text is not a number or the result does not fit
    // a 32-bit integer. The result may lie outside the slider's range.
    static std::optional<int> sliderSeconds(const QString &intervalText);

    // A length in twips as stored: single precision, locale-aware, a whole number without a
    // decimal part ("4770").
    static QString formatTwips(double twips);

private:
    // The values of `keys` in the section, nullopt for an absent key.
    Loaded<QList<std::optional<QString>>> readValues(const QStringList &keys) const;
    Result write(const QList<std::pair<QString, QString>> &entries);

    QString m_filePath;
    int m_lockTimeoutMs = DefaultLockTimeoutMs;
};

} // namespace Velmira
