#pragma once

#include "persistence/settingsstore.h"
#include "windows/messageboxes.h"
#include "windows/systray.h"

#include <QStringList>
#include <QTemporaryDir>

// Keeps every error the windows report instead of showing a box.
class CapturingMessageBoxes : public Velmira::MessageBoxes
{
public:
    void error(QWidget *, const QString &text) override { errors << text; }
    QStringList errors;
};

// A notification area for tests: available or not, and mouse events sent by hand.
class FakeTrayIcon : public Velmira::TrayIcon
{
    Q_OBJECT
public:
    explicit FakeTrayIcon(bool available) : m_available(available) {}

    bool isAvailable() const override { return m_available; }
    void showIcon(const QIcon &, const QString &tip) override
    {
        m_shown = true;
        lastTip = tip;
        ++adds;
    }
    void hideIcon() override { m_shown = false; }
    bool isShown() const override { return m_shown; }

    void send(int number) { emit mouseMessage(number); }

    QString lastTip;
    int adds = 0;

private:
    bool m_available;
    bool m_shown = false;
};

// A settings store in a fresh temporary folder: no test reads or writes the user's own settings.
struct TemporarySettings
{
    TemporarySettings() : store(dir.filePath(QStringLiteral("Vuzerer4.ini"))) {}
    QTemporaryDir dir;
    Velmira::SettingsStore store;
};
