#include "systray.h"

#include <QSystemTrayIcon>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Velmira {

QtTrayIcon::~QtTrayIcon()
{
    delete m_icon;
}

bool QtTrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::showIcon(const QIcon &icon, const QString &tip)
{
    if (!m_icon) {
        m_icon = new QSystemTrayIcon;
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    switch (reason) {
                    case QSystemTrayIcon::Trigger:
                        emit mouseMessage(TrayLeftUp);
                        break;
                    case QSystemTrayIcon::DoubleClick:
                        emit mouseMessage(TrayLeftDouble);
                        break;
                    case QSystemTrayIcon::Context:
                        emit mouseMessage(TrayRightUp);
                        break;
                    case QSystemTrayIcon::MiddleClick:
                        emit mouseMessage(TrayMiddleUp);
                        break;
                    case QSystemTrayIcon::Unknown:
                        emit mouseMessage(TrayMouseMove);
                        break;
                    }
                });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
}

void QtTrayIcon::hideIcon()
{
    if (m_icon)
        m_icon->hide();
}

bool QtTrayIcon::isShown() const
{
    return m_icon && m_icon->isVisible();
}

QString GetTrayMessage(double x, double twipsPerPixel)
{
    if (!(twipsPerPixel > 0) || !std::isfinite(x))
        return {};
    // Halves go to the even neighbour (the default rounding mode).
    const double number = std::nearbyint(x / twipsPerPixel);
    switch (int(std::clamp(number, -1.0, 1e6))) {
    case TrayLeftDown:
        return QStringLiteral("LEFTDOWN");
    case TrayLeftUp:
        return QStringLiteral("LEFTUP");
    case TrayLeftDouble:
        return QStringLiteral("LEFTDOUBLE");
    case TrayRightDown:
        return QStringLiteral("RIGHTDOWN");
    case TrayRightUp:
        return QStringLiteral("RIGHTUP");
    case TrayRightDouble:
        return QStringLiteral("RIGHTDOUBLE");
    default:
        return {};
    }
}

SysTray::SysTray(QObject *parent) : QObject(parent)
{
    setBackend(std::make_unique<QtTrayIcon>());
}

SysTray::~SysTray() = default;

void SysTray::AddTrayIcon(const QIcon &icon, QWidget *window, const QString &tip)
{
    Q_UNUSED(window); // the icon's events reach the window through mouseMessage()
    m_backend->showIcon(icon, tip);
}

void SysTray::RemoveTrayIcon()
{
    m_backend->hideIcon();
}

bool SysTray::iconShown() const
{
    return m_backend->isShown();
}

bool SysTray::isAvailable() const
{
    return m_backend->isAvailable();
}

void SysTray::setBackend(std::unique_ptr<TrayIcon> backend)
{
    m_backend = std::move(backend);
    connect(m_backend.get(), &TrayIcon::mouseMessage, this, &SysTray::mouseMessage);
}

} // namespace Velmira
