#include "fileerror.h"

#include <QCoreApplication>
#include <QFileDevice>

#include <cstring>

namespace Velmira {

namespace {

const char *plainWords(int systemError)
{
    switch (systemError) {
    case ENOSPC:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "no space left on the device");
    case EDQUOT:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "the disk quota is used up");
    case EACCES:
    case EPERM:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "no permission to write there");
    case EROFS:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "the device is read-only");
    case EIO:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "the device reported an input/output error");
    case EFBIG:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "the file is too large for the device");
    case ENAMETOOLONG:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "the name is too long");
    case ENOENT:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "the folder does not exist");
    case ENOTDIR:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "a part of the path is not a folder");
    case EISDIR:
        return QT_TRANSLATE_NOOP("Velmira::FileError", "there is a folder of that name");
    default:
        return nullptr;
    }
}

} // namespace

QString fileErrorText(const QFileDevice &file, int systemError)
{
    // The error number can be left over from an earlier call; it is used only where Qt's text is
    // empty, a bare "Unknown error", or the system's own wording of that same number.
    const QString text = file.errorString();
    const QString system =
        systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError)) : QString();
    const bool fromSystem =
        text.isEmpty() || text == QLatin1String("Unknown error") || text == system;
    if (!fromSystem)
        return text;
    if (const char *words = plainWords(systemError))
        return QCoreApplication::translate("Velmira::FileError", words);
    return !system.isEmpty()
               ? system
               : QCoreApplication::translate("Velmira::FileError", "the system gave no reason");
}

} // namespace Velmira
