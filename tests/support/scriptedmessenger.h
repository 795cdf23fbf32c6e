#pragma once

#include "core/messenger.h"

#include <QHash>
#include <QList>
#include <QStringList>

// A Messenger client for tests: states per reading, chosen calls failing with chosen codes,
// confirmations, refusals, sign-ons and leaving raised by hand, and a log of every call in order:
// "LocalState", "LocalFriendlyName", "SetFriendlyName(<name>)", "EndRotation(<original>)" or
// "EndRotation()" when nothing is put back.
class ScriptedMessenger : public Velmira::Messenger
{
    Q_OBJECT
public:
    using Velmira::Messenger::Messenger;

    qint32 localState() override;
    QString localFriendlyName() override;
    void setFriendlyName(const QString &name) override;
    void endRotation(const std::optional<QString> &original) override;
    bool emptyNameIsAName() const override { return emptyIsName; }
    std::optional<QString> checkName(const QString &name) const override;
    bool confirmsChanges() const override { return confirms; }
    bool reportsSignOn() const override { return tellsSignOn; }
    bool readsNameInForce() const override { return readsName; }
    int sendIntervalMs() const override { return sendInterval; }
    std::optional<QString> refusalAtStart() override { return refusal; }
    QString warningAtStart() override { return warning; }

    QString displayName = QStringLiteral("Original");
    bool emptyIsName = false;
    bool confirms = false;
    bool tellsSignOn = false;
    bool readsName = true;
    int sendInterval = 0;
    std::optional<QString> refusal;
    QString warning;
    // Names checkName() refuses.
    QStringList refused;
    // Readings of LocalState, consumed in order; once used up, every reading gives `state`.
    QList<qint32> stateReadings;
    qint32 state = Velmira::MessengerStateSignedIn;
    // Whether writes raise the change-result event (queued, as a separate client would).
    bool raiseEvents = true;

    // Makes the next `times` calls of `call` (a log name without argument, e.g.
    // "SetFriendlyName") fail with `code`; times < 0 fails every call from now on.
    void failCall(const QString &call, qint32 code, int times = -1);

    QStringList log;
    // Only the names written, in order.
    QStringList writes() const;

private:
    void maybeFail(const QString &call);

    QHash<QString, QPair<qint32, int>> m_failures;
};
