#include "rotationengine.h"

#include "core/restorerecord.h"
#include "messengerops.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace Velmira {

namespace {
const QString LineBreak = QStringLiteral("\r\n");
}

RotationEngine::RotationEngine(QObject *parent) : QObject(parent)
{
    // A precise timer keeps a rotation of hours from drifting; the period is set at Start.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(MinimumPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &RotationEngine::tick);
}

void RotationEngine::setMessenger(Messenger *messenger)
{
    if (m_messenger == messenger)
        return;
    if (m_messenger) {
        disconnect(m_messenger, &Messenger::signedOn, this, &RotationEngine::signedOn);
        disconnect(m_messenger, &Messenger::noticeForUser, this, &RotationEngine::noticeGiven);
    }
    m_messenger = messenger;
    m_originalName.reset();
    m_inRotation = false;
    if (m_messenger) {
        connect(m_messenger, &Messenger::signedOn, this, &RotationEngine::signedOn);
        connect(m_messenger, &Messenger::noticeForUser, this, &RotationEngine::noticeGiven);
    }
}

QStringList RotationEngine::namesToShow(const QString &text)
{
    QStringList elements = text.split(LineBreak, Qt::KeepEmptyParts);
    // The text after the last CR LF is shown only when there is something in it.
    if (elements.last().isEmpty())
        elements.removeLast();
    return elements;
}

std::optional<int> RotationEngine::periodFromText(const QString &intervalText)
{
    const QString text = intervalText.trimmed();
    bool ok = false;
    double value = QLocale::system().toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // Halves go to the even neighbour (the default rounding mode).
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<qint32>::min()) ||
        rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return std::max(int(rounded), MinimumPeriodMs);
}

void RotationEngine::reportClientError(const QString &what, const MessengerError &error)
{
    emit errorOccurred(
        tr("%1: %2\n\nDetails: %3").arg(what, error.userMessage(), error.describe()));
}

void RotationEngine::captureOriginalName()
{
    if (!m_messenger)
        return;
    try {
        m_originalName = MessengerOps::captureDisplayName(*m_messenger);
    } catch (const MessengerError &error) {
        m_originalName.reset();
        reportClientError(tr("Could not read the display name in force"), error);
        return;
    }
    if (m_originalName)
        recoverFromRecord();
}

void RotationEngine::signedOn()
{
    if (!m_originalName)
        captureOriginalName();
    else if (m_state == State::Idle)
        recoverFromRecord();
}

void RotationEngine::recoverFromRecord()
{
    if (m_recordPath.isEmpty() || !m_messenger)
        return;
    const Loaded<std::optional<RestoreRecord>> loaded = RestoreRecord::read(m_recordPath);
    if (!loaded.result.ok) {
        emit errorOccurred(loaded.result.message);
        return;
    }
    try {
        if (!loaded.value || loaded.value->identity != m_messenger->identity()) {
            if (m_state == State::Running)
                writeRecord();
            return;
        }
        const RestoreRecord &record = *loaded.value;
        const QString shown = MessengerOps::primaryService(*m_messenger)->friendlyName();
        const bool ours = shown != record.original && record.names.contains(shown);
        if (ours || shown == record.original)
            m_originalName = record.original;
        if (m_state == State::Running) {
            // The rotation goes on: only the original it will put back changes.
            writeRecord();
            return;
        }
        // What the client keeps for a rotation goes; the user's name comes back when the client
        // still shows a name the rotation wrote.
        m_messenger->endRotation();
        if (ours) {
            m_messenger->restoreName(record.original);
            emit noticeGiven(tr("Velmira ended during a rotation last time: your display name "
                                "\"%1\" in %2 has been put back.")
                                 .arg(record.original, m_messenger->clientName()));
        }
        removeRecord();
    } catch (const MessengerError &error) {
        reportClientError(tr("Could not put back the display name of the last rotation"), error);
    }
}

void RotationEngine::writeRecord()
{
    if (m_recordPath.isEmpty() || !m_messenger || !m_originalName)
        return;
    try {
        const Result written =
            RestoreRecord{m_messenger->identity(), *m_originalName, m_shownNames}.write(
                m_recordPath);
        if (!written.ok)
            emit errorOccurred(tr("Your display name may not come back if Velmira ends "
                                  "unexpectedly. %1")
                                   .arg(written.message));
    } catch (const MessengerError &error) {
        reportClientError(tr("Could not record the display name to put back"), error);
    }
}

void RotationEngine::removeRecord()
{
    if (m_recordPath.isEmpty())
        return;
    const Result removed = RestoreRecord::remove(m_recordPath);
    if (!removed.ok)
        emit errorOccurred(removed.message);
}

bool RotationEngine::start(const QString &namesText, const QString &intervalText)
{
    if (m_state == State::Running)
        return false;

    // Split once here: the text taken at Start does not change until the next Start, so each
    // tick only picks.
    m_shownNames = namesToShow(namesText);
    // Starting at the end makes the first tick wrap to the first name.
    m_nameIndex = qint32(m_shownNames.size());

    const std::optional<int> period = periodFromText(intervalText);
    if (!period) {
        emit errorOccurred(
            tr("Could not start: the interval \"%1\" is not a whole number of milliseconds.")
                .arg(intervalText));
        return false;
    }
    if (m_messenger) {
        for (qsizetype line = 0; line < m_shownNames.size(); ++line) {
            if (const std::optional<QString> problem = m_messenger->checkName(m_shownNames[line])) {
                emit errorOccurred(
                    tr("Could not start: line %1, \"%2\", cannot be a display name "
                       "in %3: %4")
                        .arg(line + 1)
                        .arg(m_shownNames[line], m_messenger->clientName(), *problem));
                return false;
            }
        }
        try {
            m_messenger->beginRotation();
        } catch (const MessengerError &error) {
            reportClientError(tr("Could not start"), error);
            return false;
        }
        m_inRotation = true;
        writeRecord();
    }
    m_timer.setInterval(*period);
    m_timer.start();
    setState(State::Running);
    return true;
}

void RotationEngine::stop(bool restore)
{
    if (m_state != State::Running)
        return;
    m_timer.stop();
    setState(State::Idle);
    restoreOriginalName(restore);
}

void RotationEngine::clientGone()
{
    if (m_state != State::Running)
        return;
    m_timer.stop();
    setState(State::Idle);
    emit errorOccurred(tr("The rotation stopped: %1 is no longer running. Your display name is put "
                          "back when it is running again.")
                           .arg(m_messenger ? m_messenger->clientName() : QString()));
}

void RotationEngine::tick()
{
    if (m_state != State::Running)
        return;
    if (m_nameIndex == qint32(m_shownNames.size()))
        m_nameIndex = 0;
    if (m_shownNames.isEmpty() || !m_messenger)
        return;
    try {
        const std::shared_ptr<MessengerService> service =
            MessengerOps::primaryService(*m_messenger);
        service->setFriendlyName(m_shownNames.at(m_nameIndex));
    } catch (const MessengerError &error) {
        // A client that refuses a write would refuse the next one too: stop, and say so once.
        m_timer.stop();
        setState(State::Idle);
        reportClientError(tr("The rotation stopped: could not set the display name \"%1\"")
                              .arg(m_shownNames.at(m_nameIndex)),
                          error);
        return;
    }
    ++m_nameIndex;
}

void RotationEngine::restoreOriginalName(bool restore)
{
    if (!m_messenger)
        return;
    bool done = !restore;
    try {
        if (restore && MessengerOps::stateTest(*m_messenger)) {
            done = true;
            if (m_originalName && (!m_originalName->isEmpty() || m_messenger->emptyNameIsAName()))
                m_messenger->restoreName(*m_originalName);
        }
    } catch (const MessengerError &error) {
        done = false;
        reportClientError(tr("Could not put back the display name \"%1\"")
                              .arg(m_originalName.value_or(QString())),
                          error);
    }
    if (m_inRotation) {
        m_inRotation = false;
        try {
            m_messenger->endRotation();
        } catch (const MessengerError &error) {
            reportClientError(tr("Could not end the rotation"), error);
        }
    }
    // Kept when the name could not be put back: the next start, or the account's next sign-on,
    // puts it back.
    if (done)
        removeRecord();
}

void RotationEngine::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

} // namespace Velmira
