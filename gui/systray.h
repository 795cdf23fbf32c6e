#pragma once

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

#include <memory>

namespace Velmira {

// The notification area as the platform offers it: one icon, shown or not.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Whether a notification area is there to hold the icon.
    virtual bool isAvailable() const = 0;
    virtual void showIcon(const QIcon &icon, const QString &tip) = 0;
    virtual void hideIcon() = 0;
    virtual bool isShown() const = 0;
    virtual void setToolTip(const QString &tip) = 0;
    // The icon's context menu: these actions, in this order (not owned).
    virtual void setMenu(const QList<QAction *> &actions) = 0;

signals:
    // The user acted on the icon: a click (Trigger), a double click, the context request...
    void activated(QSystemTrayIcon::ActivationReason reason);
};

// The real icon, over QSystemTrayIcon (created on first use, so start-up does not pay for it).
class QtTrayIcon : public TrayIcon
{
    Q_OBJECT
public:
    using TrayIcon::TrayIcon;
    ~QtTrayIcon() override;

    bool isAvailable() const override;
    void showIcon(const QIcon &icon, const QString &tip) override;
    void hideIcon() override;
    bool isShown() const override;
    void setToolTip(const QString &tip) override;
    void setMenu(const QList<QAction *> &actions) override;

private:
    QSystemTrayIcon *m_icon = nullptr;
    std::unique_ptr<QMenu> m_menu;
};

// The program's one tray icon (identifier 1), owned by the main window.
class SysTray : public QObject
{
    Q_OBJECT
public:
    explicit SysTray(QObject *parent = nullptr);
    ~SysTray() override;

    // Shows `icon` in the notification area. An empty tip keeps the tooltip set last.
    void AddTrayIcon(const QIcon &icon, const QString &tip);
    void RemoveTrayIcon();
    bool iconShown() const;
    bool isAvailable() const;
    void setToolTip(const QString &tip);
    void setMenu(const QList<QAction *> &actions);

    // Replaces the platform's icon (tests hand in a fake). Takes ownership.
    void setBackend(std::unique_ptr<TrayIcon> backend);

signals:
    // Every action on the icon, as the platform reports it.
    void activated(QSystemTrayIcon::ActivationReason reason);

private:
    std::unique_ptr<TrayIcon> m_backend;
    QString m_tip;
    QList<QAction *> m_actions;
};

} // namespace Velmira
