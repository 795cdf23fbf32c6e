#include "messageboxes.h"

#include <QMessageBox>

namespace Velmira {

void QtMessageBoxes::error(QWidget *parent, const QString &text)
{
    // A hidden parent (the main window in the tray) would leave the box without a place on the
    // screen; such a box stands on its own.
    QWidget *owner = parent && parent->isVisible() ? parent : nullptr;
    QMessageBox::critical(owner, QStringLiteral("Velmira"), text);
}

} // namespace Velmira
