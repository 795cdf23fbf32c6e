#pragma once

#include "messenger.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <optional>

namespace Velmira {

struct RestoreRecord;

// One rotation of the display name through one client, from its Start (or its recovery from a
// restore record) to its end. It owns, whatever the client:
// - the names and which comes next;
// - the original name and the restore record that lets a later run put it back;
// - the name held while the account is offline, written when it signs on;
// - the change that waits for the client's confirmation: a tick meanwhile sends nothing;
// - the names the client refused, each told once and not sent again.
// finish() puts the original back and ends the client's rotation in one call; abandon() ends it
// without asking the client anything (the client has gone, or its writes fail).
class RotationSession : public QObject
{
    Q_OBJECT
public:
    // An unconfirmed change is waited for this long; then the next tick sends again.
    static constexpr int DefaultConfirmationPatienceMs = 30000;

    RotationSession(Messenger &client, QStringList names, std::optional<QString> original,
                    QString recordPath, QObject *parent = nullptr);
    // The rotation a restore record describes, ended by finish().
    RotationSession(Messenger &client, const RestoreRecord &record, QString recordPath,
                    QObject *parent = nullptr);

    // Before the first tick: records the original (when known) and learns whether the account
    // is signed in. Throws MessengerError when the client cannot say.
    void begin();
    // Writes the next name, or holds it while the account is offline, or sends nothing while
    // the last change is unconfirmed. Names the client refused are passed over.
    void tick();
    // The original captured after the rotation began (the account was offline at Start).
    void adoptOriginal(const QString &original);
    // The account signed on: the held name is written now.
    void signedOn();
    void signedOff() { m_online = false; }
    // Puts the original back when `restore` is true and the client's state allows (an empty
    // original only to a client whose names may be empty), ends the client's rotation, and
    // removes the restore record unless a wanted reset could not be done. Returns whether the
    // original was put back.
    bool finish(bool restore);
    // Nothing more is asked of the client; the restore record stays, marked when the client quit,
    // so that the name comes back when the two meet again.
    void abandon(bool clientQuit);

    const QStringList &names() const { return m_names; }
    qint32 nameIndex() const { return m_index; }
    const std::optional<QString> &original() const { return m_original; }
    void setConfirmationPatience(int milliseconds) { m_patienceMs = milliseconds; }

signals:
    // In words for the user.
    void errorOccurred(const QString &message);
    void noticeGiven(const QString &message);
    // A write failed (already reported): the rotation cannot go on.
    void writeFailed();
    // A call found the client gone.
    void clientGone();

private:
    // False when the write failed, which ends the rotation.
    bool write(const QString &name);
    void onConfirmed();
    void onRefused(const QString &name, const QString &reason);
    void writeRecord();

    QPointer<Messenger> m_client;
    QStringList m_names;
    qint32 m_index;
    std::optional<QString> m_original;
    QString m_recordPath;
    QString m_identity; // the client's, once asked
    bool m_online = true;
    std::optional<QString> m_held;
    std::optional<QString> m_unconfirmed;
    QDeadlineTimer m_confirmBy;
    int m_patienceMs = DefaultConfirmationPatienceMs;
    bool m_toldUnconfirmed = false;
    QSet<QString> m_refused;
};

} // namespace Velmira
