#include "windows/artwork.h"

namespace Velmira {

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/velmira/art/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap banner()
{
    return QPixmap(QStringLiteral(":/velmira/art/banner.png"));
}

} // namespace Velmira
