#pragma once

#include "core/messenger.h"

#include <QHash>
#include <QList>
#include <QStringList>

// A Messenger client for tests: states per reading, chosen calls failing with chosen codes, a
// primary service that can be swapped between calls, and a log of every call in order.
//
// Log entries: "LocalFriendlyName", "LocalState", "Services", "PrimaryService",
// "<service>.SetFriendlyName(<name>)", "<service>.FriendlyName", "BeginRotation", "EndRotation".
// Services are named "S1", "S2", ...
class ScriptedMessenger : public Velmira::Messenger
{
    Q_OBJECT
public:
    explicit ScriptedMessenger(QObject *parent = nullptr);

    QString localFriendlyName() override;
    qint32 localState() override;
    std::shared_ptr<Velmira::MessengerServices> services() override;
    bool emptyNameIsAName() const override { return emptyIsName; }
    std::optional<QString> checkName(const QString &name) const override;
    void beginRotation() override { log << QStringLiteral("BeginRotation"); }
    void endRotation() override { log << QStringLiteral("EndRotation"); }

    bool emptyIsName = false;
    // Names checkName() refuses.
    QStringList refused;

    // Readings of LocalState, consumed in order; once used up, every reading gives `state`.
    QList<qint32> stateReadings;
    qint32 state = 0;

    // Makes the next `times` calls of `call` (a log name without service prefix or argument,
    // e.g. "SetFriendlyName") fail with `code`; times < 0 fails every call from now on.
    void failCall(const QString &call, qint32 code, int times = -1);

    // Replaces the primary service by a new one ("S2", "S3", ...) holding `displayName`.
    void swapPrimaryService(const QString &displayName);
    // Display name held by a service ("S1" is the first).
    QString displayName(const QString &serviceId = {}) const;
    void setDisplayName(const QString &name) { m_names[m_primaryId] = name; }

    // Whether writes raise the change-result event (queued, as a separate client would).
    bool raiseEvents = true;
    qint32 eventResult = 0;

    QStringList log;
    // Only the names written, in order ("S1:Ann").
    QStringList writes() const;

private:
    friend class ScriptedService;
    friend class ScriptedServices;
    void maybeFail(const QString &call);

    QHash<QString, QPair<qint32, int>> m_failures;
    QHash<QString, QString> m_names;
    QString m_primaryId;
    int m_serviceCount = 0;
};
