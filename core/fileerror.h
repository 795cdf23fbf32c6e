#pragma once

#include <QString>

#include <cerrno>

class QFileDevice;

namespace Velmira {

// Why a file operation failed, in plain words for the user ("no space left on the device"). The
// system's error number is taken at the call, right after the failing operation: the error text
// of Qt's file classes can be a bare "Unknown error" (a failed commit of QSaveFile, for one).
QString fileErrorText(const QFileDevice &file, int systemError = errno);

} // namespace Velmira
