#pragma once

#include <QDBusConnection>
#include <QObject>

namespace Velmira {

class AppController;

// Velmira's remote control on the session bus (docs/remote-control.md): one Velmira per session
// holds the well-known name; a second one hands its request to the first and ends.
namespace Remote {
inline const QString ServiceName = QStringLiteral("org.velmira.Velmira");
inline const QString ObjectPath = QStringLiteral("/org/velmira/Velmira");
inline const QString Interface = QStringLiteral("org.velmira.Velmira1");

enum class Claim
{
    Taken,            // this process holds the name now
    RunningElsewhere, // another Velmira holds it
    NoBus             // there is no session bus: nothing to share
};
Claim claim(const QDBusConnection &bus);
// Asks the Velmira holding the name to run `method` (Start, Stop, Toggle, Show, Quit); false,
// with the reason in `error`, when it did not answer.
bool ask(const QDBusConnection &bus, const QString &method, QString *error);
} // namespace Remote

// The object served at Remote::ObjectPath: what the window's buttons and the tray menu do, for
// scripts, keyboard shortcuts and the launcher's actions.
class RemoteControl : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.velmira.Velmira1")
    Q_PROPERTY(bool Running READ isRunning)
    Q_PROPERTY(QString DisplayName READ displayName)
    Q_PROPERTY(bool Shown READ isShown)
public:
    explicit RemoteControl(AppController &controller, QObject *parent = nullptr);
    // Serves this object on `bus`; false when the path is taken.
    bool serve(QDBusConnection bus);

    bool isRunning() const;
    QString displayName() const;
    bool isShown() const;

public slots:
    // Whether the rotation runs now.
    bool Start();
    void Stop();
    bool Toggle();
    void Show();
    // Closes Velmira the normal way, after the answer has gone out.
    void Quit();

private:
    AppController &m_controller;
};

} // namespace Velmira
