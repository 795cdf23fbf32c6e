#include "fileerror.h"

#include <QCoreApplication>
#include <QFileDevice>

#include <cstring>

namespace Velmira {

namespace {

QString plainWords(int systemError)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("Velmira::FileError", text);
    };
    switch (systemError) {
    case ENOSPC:
        return tr("no space left on the device");
    case EDQUOT:
        return tr("the disk quota is used up");
    case EACCES:
    case EPERM:
        return tr("no permission to write there");
    case EROFS:
        return tr("the device is read-only");
    case EIO:
        return tr("the device reported an input/output error");
    case EFBIG:
        return tr("the file is too large for the device");
    case ENAMETOOLONG:
        return tr("the name is too long");
    case ENOENT:
        return tr("the folder does not exist");
    case ENOTDIR:
        return tr("a part of the path is not a folder");
    case EISDIR:
        return tr("there is a folder of that name");
    default:
        return {};
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
    if (const QString words = plainWords(systemError); !words.isEmpty())
        return words;
    return !system.isEmpty()
               ? system
               : QCoreApplication::translate("Velmira::FileError", "the system gave no reason");
}

} // namespace Velmira
