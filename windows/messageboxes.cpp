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

void QtMessageBoxes::information(QWidget *parent, const QString &text)
{
    // Not modal: a notice given during the start-up must not hold the start-up up.
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Velmira"), text,
                                QMessageBox::Ok, parent && parent->isVisible() ? parent : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace Velmira
