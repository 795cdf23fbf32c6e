#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTextStream>

// The reference client: serves org.velmira.Messenger1 for one account whose display name and
// local state it keeps in memory. Chosen calls can be made to fail or to hang, so that a caller's
// handling of both can be tried. Prints one line per call it receives.
class ReferenceClient : public QDBusVirtualObject
{
    Q_OBJECT
public:
    static const QString ServicesPath;
    static const QString PrimaryPath;

    ReferenceClient(QTextStream &out, QObject *parent = nullptr);

    QString displayName;
    // Readings LocalState gives, in order; the last one repeats.
    QList<qint32> stateReadings{2};
    // The result code the change-result event carries.
    qint32 eventResult = 0;
    bool raiseEvents = true;
    // Method name -> number of calls still to fail (-1: all of them).
    QHash<QString, int> failures;
    // Methods answered only after LateAnswerMs, long past any caller's time-out: a caller that
    // waited for ever would get the answer, one that gives up in time gets none.
    QStringList hangs;
    static constexpr int LateAnswerMs = 15000;
    // Quit after this many writes have been answered (0: never).
    int quitAfterWrites = 0;

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;
    QString introspect(const QString &path) const override;

private:
    void answer(const QDBusMessage &message, const QDBusConnection &connection,
                const QVariantList &results);
    bool shouldFail(const QString &method);

    QTextStream &m_out;
    int m_writes = 0;
};
