#include "rotationsession.h"

#include "restorerecord.h"

#include <utility>

namespace Velmira {

RotationSession::RotationSession(Messenger &client, QStringList names,
                                 std::optional<QString> original, QString recordPath,
                                 QObject *parent)
    : QObject(parent), m_client(&client), m_names(std::move(names)),
      // Starting at the end makes the first tick wrap to the first name.
      m_index(qint32(m_names.size())), m_original(std::move(original)),
      m_recordPath(std::move(recordPath))
{
    connect(&client, &Messenger::changeConfirmed, this, &RotationSession::onConfirmed);
    connect(&client, &Messenger::changeRefused, this, &RotationSession::onRefused);
}

RotationSession::RotationSession(Messenger &client, const RestoreRecord &record, QString recordPath,
                                 QObject *parent)
    : RotationSession(client, record.names, record.original, std::move(recordPath), parent)
{}

void RotationSession::begin()
{
    // Only a client that says when its account signs on can be waited for.
    m_online = !m_client->reportsSignOn() || passesStateTest(*m_client);
    if (m_original)
        writeRecord();
}

void RotationSession::tick()
{
    if (!m_client)
        return;
    for (qsizetype passed = 0;; ++passed) {
        if (passed == m_names.size())
            return; // every name refused, or none
        if (m_index == qint32(m_names.size()))
            m_index = 0;
        if (!m_refused.contains(m_names.at(m_index)))
            break;
        ++m_index;
    }
    const QString &name = m_names.at(m_index);
    if (!m_online) {
        m_held = name;
        ++m_index;
        return;
    }
    if (m_unconfirmed && !m_confirmBy.hasExpired()) {
        if (!std::exchange(m_toldUnconfirmed, true))
            emit noticeGiven(tr("The name \"%1\" is not yet confirmed by %2: Velmira skips names "
                                "until it is, so that no changes queue up and arrive after the "
                                "rotation.")
                                 .arg(*m_unconfirmed, m_client->clientName()));
        ++m_index;
        return;
    }
    // A failed write leaves the index where it is.
    if (write(name))
        ++m_index;
}

bool RotationSession::write(const QString &name)
{
    Messenger &client = *m_client;
    try {
        client.setFriendlyName(name);
    } catch (const MessengerError &error) {
        m_client = nullptr; // nothing more is asked of the client in this rotation
        if (error.isGone()) {
            emit clientGone();
        } else {
            emit errorOccurred(tr("The rotation stopped: could not set the display name \"%1\": %2")
                                   .arg(name, error.report()));
            emit writeFailed();
        }
        return false;
    }
    m_held.reset();
    if (client.confirmsChanges()) {
        m_unconfirmed = name;
        m_confirmBy.setRemainingTime(m_patienceMs);
    }
    return true;
}

void RotationSession::adoptOriginal(const QString &original)
{
    m_original = original;
    writeRecord();
}

void RotationSession::signedOn()
{
    m_online = true;
    if (m_held && m_client)
        (void)write(*m_held);
}

void RotationSession::onConfirmed()
{
    m_unconfirmed.reset();
}

void RotationSession::onRefused(const QString &name, const QString &reason)
{
    m_unconfirmed.reset();
    if (m_refused.contains(name) || !m_names.contains(name))
        return;
    m_refused.insert(name);
    emit noticeGiven(
        tr("The name \"%1\" was refused by %2: %3. It is left out for the rest of this rotation.")
            .arg(name, m_client->clientName(), reason));
}

bool RotationSession::finish(bool restore)
{
    if (!m_client)
        return false;
    Messenger &client = *m_client;
    const bool wanted = m_original && (!m_original->isEmpty() || client.emptyNameIsAName());
    bool done = !restore;
    bool putBack = false;
    try {
        std::optional<QString> original;
        if (restore && passesStateTest(client)) {
            done = true;
            if (wanted)
                original = m_original;
        }
        client.endRotation(original);
        putBack = original.has_value();
    } catch (const MessengerError &error) {
        if (error.isGone()) {
            emit clientGone();
            abandon(true);
            return false;
        }
        done = false;
        emit errorOccurred(tr("Could not put back the display name \"%1\": %2")
                               .arg(m_original.value_or(QString()), error.report()));
    }
    m_client = nullptr;
    // Kept when the name could not be put back: the account's next sign-on, or the next start,
    // puts it back.
    if (done && !m_recordPath.isEmpty()) {
        const Loaded<std::optional<RestoreRecord>> record = RestoreRecord::read(m_recordPath);
        if (m_identity.isEmpty()) {
            try {
                m_identity = client.identity();
            } catch (const MessengerError &) {
            }
        }
        // Another client's record stays for that client.
        if (record.result.ok && record.value && record.value->identity == m_identity) {
            const Result removed = RestoreRecord::remove(m_recordPath);
            if (!removed.ok)
                emit errorOccurred(removed.message);
        }
    }
    return putBack;
}

void RotationSession::abandon(bool clientQuit)
{
    if (clientQuit && m_original && !m_recordPath.isEmpty()) {
        const Loaded<std::optional<RestoreRecord>> record = RestoreRecord::read(m_recordPath);
        if (record.result.ok && record.value) {
            RestoreRecord marked = *record.value;
            marked.clientQuit = true;
            (void)marked.write(m_recordPath);
        }
    }
    m_client = nullptr;
}

void RotationSession::writeRecord()
{
    if (m_recordPath.isEmpty() || !m_original || !m_client)
        return;
    try {
        if (m_identity.isEmpty())
            m_identity = m_client->identity();
        const Result written = RestoreRecord{m_identity, *m_original, m_names}.write(m_recordPath);
        if (!written.ok)
            emit errorOccurred(tr("Your display name may not come back if Velmira ends "
                                  "unexpectedly. %1")
                                   .arg(written.message));
    } catch (const MessengerError &error) {
        if (error.isGone())
            emit clientGone();
        else
            emit errorOccurred(
                tr("Could not record the display name to put back: %1").arg(error.report()));
    }
}

} // namespace Velmira
