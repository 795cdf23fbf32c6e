#include "rotationengine.h"

#include "restorerecord.h"

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

RotationEngine::~RotationEngine() = default;

void RotationEngine::setMessenger(Messenger *messenger)
{
    if (m_messenger == messenger)
        return;
    if (m_state == State::Running)
        abandonRotation(false);
    if (m_messenger)
        disconnect(m_messenger, nullptr, this, nullptr);
    m_messenger = messenger;
    m_clientGone = false;
    m_toldWarning = m_toldSendRate = false;
    m_originalName.reset();
    if (m_messenger) {
        connect(m_messenger, &Messenger::signedOn, this, &RotationEngine::onSignedOn);
        connect(m_messenger, &Messenger::signedOff, this, [this] {
            if (m_session)
                m_session->signedOff();
        });
        connect(m_messenger, &Messenger::gone, this, &RotationEngine::onClientGone);
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
    if (error.isGone()) {
        onClientGone();
        return;
    }
    emit errorOccurred(tr("%1: %2").arg(what, error.report()));
}

void RotationEngine::captureOriginalName()
{
    if (!m_messenger || m_clientGone)
        return;
    Messenger &client = *m_messenger;
    try {
        if (!passesStateTest(client))
            return; // taken when the account signs on
        const QString shown = client.localFriendlyName();
        const bool had = m_originalName.has_value();
        if (!had)
            m_originalName = shown;

        std::optional<RestoreRecord> record;
        if (!m_recordPath.isEmpty()) {
            const Loaded<std::optional<RestoreRecord>> loaded = RestoreRecord::read(m_recordPath);
            if (!loaded.result.ok)
                emit errorOccurred(loaded.result.message);
            else if (loaded.value && loaded.value->identity == client.identity())
                record = loaded.value;
        }
        // The client still shows a name of the recorded rotation: the recorded original is the
        // user's own. A running rotation only learns it. A client that cannot read the name in
        // force may still show one, unless it quit since (it signs on with its own).
        const bool ours = record && (client.readsNameInForce() ? shown != record->original &&
                                                                     record->names.contains(shown)
                                                               : !record->clientQuit);
        if (record && (ours || shown == record->original) && !had)
            m_originalName = record->original;
        if (m_state == State::Running) {
            if (!had && m_session)
                m_session->adoptOriginal(*m_originalName);
            return;
        }
        if (!record)
            return;
        // What the client keeps of that rotation goes, and the user's name comes back.
        RotationSession recovery(client, *record, m_recordPath);
        connect(&recovery, &RotationSession::errorOccurred, this, &RotationEngine::errorOccurred);
        connect(&recovery, &RotationSession::clientGone, this, &RotationEngine::onClientGone);
        if (!recovery.finish(ours) || !ours)
            return;
        emit noticeGiven(record->clientQuit
                             ? tr("The last rotation ended when %2 quit: your display name "
                                  "\"%1\" in %2 has been put back.")
                                   .arg(record->original, client.clientName())
                             : tr("Velmira ended during a rotation last time: your display name "
                                  "\"%1\" in %2 has been put back.")
                                   .arg(record->original, client.clientName()));
    } catch (const MessengerError &error) {
        reportClientError(tr("Could not read the display name in force"), error);
    }
}

void RotationEngine::onSignedOn()
{
    // A running rotation without an original takes it now, before its held name is written; an
    // idle engine puts back what a rotation could not while the account was offline.
    if (m_state == State::Idle || !m_originalName)
        captureOriginalName();
    if (m_session)
        m_session->signedOn();
}

bool RotationEngine::start(const QString &namesText, const QString &intervalText)
{
    if (m_state == State::Running)
        return false;
    const std::optional<int> period = periodFromText(intervalText);
    if (!period) {
        emit errorOccurred(
            tr("Could not start: the interval \"%1\" is not a whole number of milliseconds.")
                .arg(intervalText));
        return false;
    }
    // Split once here: the text taken at Start does not change until the next Start, so each
    // tick only picks.
    QStringList names = namesToShow(namesText);
    if (m_messenger && m_clientGone) {
        emit errorOccurred(
            tr("Could not start: %1 is not running.").arg(m_messenger->clientName()));
        return false;
    }
    int effective = *period;
    if (m_messenger) {
        if (const std::optional<QString> refusal = m_messenger->refusalAtStart()) {
            emit errorOccurred(tr("Could not start: %1").arg(*refusal));
            return false;
        }
        for (qsizetype line = 0; line < names.size(); ++line) {
            if (const std::optional<QString> problem = m_messenger->checkName(names[line])) {
                emit errorOccurred(
                    tr("Could not start: line %1, \"%2\", cannot be a display name in %3: %4")
                        .arg(line + 1)
                        .arg(names[line], m_messenger->clientName(), *problem));
                return false;
            }
        }
        m_session = std::make_unique<RotationSession>(*m_messenger, std::move(names),
                                                      m_originalName, m_recordPath);
        connect(m_session.get(), &RotationSession::errorOccurred, this,
                &RotationEngine::errorOccurred);
        connect(m_session.get(), &RotationSession::noticeGiven, this, &RotationEngine::noticeGiven);
        connect(m_session.get(), &RotationSession::clientGone, this, &RotationEngine::onClientGone);
        connect(m_session.get(), &RotationSession::writeFailed, this,
                [this] { abandonRotation(false); });
        try {
            m_session->begin();
        } catch (const MessengerError &error) {
            m_session.reset();
            reportClientError(tr("Could not start"), error);
            return false;
        }
        const QString warning = m_messenger->warningAtStart();
        if (!warning.isEmpty() && !std::exchange(m_toldWarning, true))
            emit noticeGiven(warning);
        // Names never change faster than the client sends them: no change queues up behind
        // another. The period is then a whole number of seconds.
        const int sendInterval = m_messenger->sendIntervalMs();
        if (sendInterval > effective) {
            effective = (sendInterval + 999) / 1000 * 1000;
            if (!std::exchange(m_toldSendRate, true))
                emit noticeGiven(tr("%1 sends one line every %2 s: names change every %3 s.")
                                     .arg(m_messenger->clientName(),
                                          QLocale().toString(sendInterval / 1000.0),
                                          QLocale().toString(effective / 1000)));
        }
    }
    m_timer.setInterval(effective);
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
    std::unique_ptr<RotationSession> ended = std::move(m_session);
    if (ended && !m_clientGone)
        ended->finish(restore);
}

void RotationEngine::tick()
{
    if (m_state == State::Running && m_session)
        m_session->tick();
}

void RotationEngine::restoreOriginalName(bool restore)
{
    if (m_state == State::Running) {
        stop(restore);
        return;
    }
    if (!m_messenger || m_clientGone)
        return;
    // Idle: a rotation of no names ends what is left of the last one and puts the name back.
    RotationSession reset(*m_messenger, {}, m_originalName, m_recordPath);
    connect(&reset, &RotationSession::errorOccurred, this, &RotationEngine::errorOccurred);
    connect(&reset, &RotationSession::clientGone, this, &RotationEngine::onClientGone);
    reset.finish(restore);
}

void RotationEngine::abandonRotation(bool clientQuit)
{
    m_timer.stop();
    if (std::unique_ptr<RotationSession> ended = std::move(m_session)) {
        ended->abandon(clientQuit);
        // It may be the sender of the signal that brought us here.
        ended.release()->deleteLater();
    }
    setState(State::Idle);
}

void RotationEngine::onClientGone()
{
    if (m_clientGone || !m_messenger)
        return;
    m_clientGone = true;
    const QString client = m_messenger->clientName();
    if (m_state == State::Running) {
        abandonRotation(true);
        emit errorOccurred(tr("The rotation stopped: %1 is no longer running. Your display name "
                              "is put back when it is running again.")
                               .arg(client));
    }
    emit clientLost(client);
}

void RotationEngine::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

} // namespace Velmira
