#include "systray.h"

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
        connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activated);
        if (m_menu)
            m_icon->setContextMenu(m_menu.get());
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
}

void QtTrayIcon::setToolTip(const QString &tip)
{
    if (m_icon)
        m_icon->setToolTip(tip);
}

void QtTrayIcon::setMenu(const QList<QAction *> &actions)
{
    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    m_menu->addActions(actions);
    if (m_icon)
        m_icon->setContextMenu(m_menu.get());
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

SysTray::SysTray(QObject *parent) : QObject(parent)
{
    setBackend(std::make_unique<QtTrayIcon>());
}

SysTray::~SysTray() = default;

void SysTray::AddTrayIcon(const QIcon &icon, const QString &tip)
{
    m_backend->showIcon(icon, tip.isEmpty() ? m_tip : tip);
}

void SysTray::setToolTip(const QString &tip)
{
    m_tip = tip;
    m_backend->setToolTip(tip);
}

void SysTray::setMenu(const QList<QAction *> &actions)
{
    m_actions = actions;
    m_backend->setMenu(actions);
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
    m_backend->setMenu(m_actions);
    connect(m_backend.get(), &TrayIcon::activated, this, &SysTray::activated);
}

} // namespace Velmira
