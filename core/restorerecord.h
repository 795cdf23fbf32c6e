#pragma once

#include "result.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace Velmira {

// What a rotation needs to put the user's own name back after Velmira ended without its reset
// (killed, a power cut, the client quitting mid-rotation): the client and account, the original
// name, and the names the rotation writes. Kept in a small file next to the settings, written
// atomically before the first write of a rotation and removed by a clean Stop or close.
struct RestoreRecord
{
    QString identity; // Messenger::identity() of the client written to
    QString original;
    QStringList names;
    // The rotation ended because its client quit (else Velmira itself ended during it).
    bool clientQuit = false;

    bool operator==(const RestoreRecord &) const = default;

    // The record's file in the folder of the settings file `settingsFile`.
    static QString pathBeside(const QString &settingsFile);
    // The record in `path`: nullopt when there is none; a failure names the path and reason.
    static Loaded<std::optional<RestoreRecord>> read(const QString &path);
    // Creates the record's folder when there is none yet (a first run).
    Result write(const QString &path) const;
    static Result remove(const QString &path);
};

} // namespace Velmira
