#include "rotationengine.h"

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
    m_messenger = messenger;
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

void RotationEngine::captureOriginalName()
{
    if (!m_messenger)
        return;
    try {
        m_originalName = MessengerOps::captureDisplayName(*m_messenger);
    } catch (const MessengerError &error) {
        m_originalName.reset();
        emit errorOccurred(
            tr("Could not read the display name in force: %1").arg(error.describe()));
    }
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
        emit errorOccurred(tr("The rotation stopped: could not set the display name \"%1\": %2")
                               .arg(m_shownNames.at(m_nameIndex), error.describe()));
        return;
    }
    ++m_nameIndex;
}

void RotationEngine::restoreOriginalName(bool restore)
{
    if (!restore || !m_messenger)
        return;
    try {
        if (!MessengerOps::stateTest(*m_messenger))
            return;
        if (!m_originalName || m_originalName->isEmpty())
            return;
        MessengerOps::writeDisplayName(*m_messenger, *m_originalName);
    } catch (const MessengerError &error) {
        emit errorOccurred(tr("Could not put back the display name \"%1\": %2")
                               .arg(m_originalName.value_or(QString()), error.describe()));
    }
}

void RotationEngine::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

} // namespace Velmira
