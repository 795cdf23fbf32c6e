#include "windows/artwork.h"

namespace Velmira {

QIcon windowIcon()
{
    // Built once: the application, the main window and the tray icon share it.
    static const QIcon icon = [] {
        QIcon icon;
        for (int size : {16, 32, 48})
            icon.addFile(QStringLiteral(":/velmira/art/icon-%1.png").arg(size), QSize(size, size));
        return icon;
    }();
    return icon;
}

QPixmap banner()
{
    return QPixmap(QStringLiteral(":/velmira/art/banner.png"));
}

} // namespace Velmira
