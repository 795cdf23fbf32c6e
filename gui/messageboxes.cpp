#include "messageboxes.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDebug>
#include <QMessageBox>
#include <QVariantMap>

namespace Velmira {

void MessageBoxes::notice(const QString &text)
{
    qWarning().noquote() << text;
}

void QtMessageBoxes::error(QWidget *parent, const QString &text)
{
    // A hidden parent (the main window in the tray) would leave the box without a place on the
    // screen; such a box stands on its own.
    QWidget *owner = parent && parent->isVisible() ? parent : nullptr;
    QMessageBox::critical(owner, QStringLiteral("Velmira"), text);
}

namespace {
// A box that does not wait: the main window can still be used, and closed, while it shows. It
// comes up without taking the keyboard: a report that arrives by itself (a tick's, a client's)
// must not catch the keys the user meant for the window, such as the close key.
void showBox(QMessageBox::Icon icon, QWidget *parent, const QString &text)
{
    auto *box = new QMessageBox(icon, QStringLiteral("Velmira"), text, QMessageBox::Ok,
                                parent && parent->isVisible() ? parent : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setModal(false);
    box->show();
}
} // namespace

void QtMessageBoxes::warn(QWidget *parent, const QString &text)
{
    showBox(QMessageBox::Critical, parent, text);
}

void QtMessageBoxes::information(QWidget *parent, const QString &text)
{
    showBox(QMessageBox::Information, parent, text);
}

void QtMessageBoxes::notice(const QString &text)
{
    MessageBoxes::notice(text);
    // Without a bus address the D-Bus library would try to launch a bus: no notification then.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app name, replaces id, icon, summary, body, actions, hints, expiry (-1: the server's).
    notify << QStringLiteral("Velmira") << 0u << QStringLiteral("velmira")
           << QStringLiteral("Velmira") << text << QStringList() << QVariantMap() << -1;
    // A bus without a notification service answers with an error, which nobody waits for.
    bus.send(notify);
}

} // namespace Velmira
