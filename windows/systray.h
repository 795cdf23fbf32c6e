#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>

class QSystemTrayIcon;
class QWidget;

namespace Velmira {

// Mouse message numbers that a notification-area icon reports (the values the tray table uses).
inline constexpr int TrayMouseMove = 512;
inline constexpr int TrayLeftDown = 513;
inline constexpr int TrayLeftUp = 514;
inline constexpr int TrayLeftDouble = 515;
inline constexpr int TrayRightDown = 516;
inline constexpr int TrayRightUp = 517;
inline constexpr int TrayRightDouble = 518;
inline constexpr int TrayMiddleUp = 520;

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

signals:
    // A mouse event over the icon, as its mouse message number (TrayLeftUp, ...).
    void mouseMessage(int number);
};

// The real icon, over QSystemTrayIcon (created on first use, so start-up does not pay for it).
// Qt reports a left click as an activation; it arrives here as a left-button release, a double
// click as TrayLeftDouble, the context request as TrayRightUp.
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

private:
    QSystemTrayIcon *m_icon = nullptr;
};

// The twips-to-message-number table: the mouse message carried as an X coordinate in twips
// (the message number in pixels), turned back into its name; "" for any other number.
QString GetTrayMessage(double x, double twipsPerPixel = 15.0);

// The program's one tray icon (identifier 1), owned by the main window.
class SysTray : public QObject
{
    Q_OBJECT
public:
    explicit SysTray(QObject *parent = nullptr);
    ~SysTray() override;

    // Shows `icon` for `window` in the notification area. An empty tip shows no tooltip.
    void AddTrayIcon(const QIcon &icon, QWidget *window, const QString &tip);
    void RemoveTrayIcon();
    bool iconShown() const;
    bool isAvailable() const;

    // Replaces the platform's icon (tests hand in a fake). Takes ownership.
    void setBackend(std::unique_ptr<TrayIcon> backend);
    TrayIcon &backend() const { return *m_backend; }

signals:
    // Every mouse event over the icon, as its message number.
    void mouseMessage(int number);

private:
    std::unique_ptr<TrayIcon> m_backend;
};

} // namespace Velmira
