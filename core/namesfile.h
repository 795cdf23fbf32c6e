#pragma once

#include "result.h"

#include <QString>

namespace Velmira::NamesFile {

// Name-list files: the names text as plain text, lines separated by CR LF.
//
// A text whose characters all fit Windows-1252 is written in it, one byte per character; any
// other text as UTF-8 after a byte-order mark, so no name is lost. The text is followed by CR LF
// unless it is empty or already ends with CR LF, so a save and a load give back the same text.
// Loading decodes a file that starts with the UTF-8 byte-order mark as UTF-8 (without the mark),
// a file without the mark that is valid UTF-8 and holds bytes beyond ASCII as UTF-8 too, and any
// other file as Windows-1252; nothing else is changed, bare LF line ends included.

// Files larger than this are refused on load: the names box is no place for them.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

// The file's text, or a failure naming the path and the reason (missing, a folder, no
// permission, too large, unreadable). A file of zero bytes gives the empty text.
Loaded<QString> load(const QString &path);

// Replaces the file's content whole or not at all: a failed save leaves the old file as it was.
Result save(const QString &path, const QString &text);

// The bytes save() writes for `text`.
QByteArray encode(const QString &text);

} // namespace Velmira::NamesFile
