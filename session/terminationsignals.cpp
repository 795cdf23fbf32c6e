#include "terminationsignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Velmira {

namespace {

constexpr std::array<int, 3> Handled = {SIGTERM, SIGINT, SIGHUP};
int g_fds[2] = {-1, -1};
// One bit per signal number received so far.
volatile sig_atomic_t g_received = 0;
struct sigaction g_previous[Handled.size()];

void onSignal(int number)
{
    // Only async-signal-safe work here; the other handled signals are blocked meanwhile. The
    // same signal a second time (Ctrl+C pressed again) ends the process at once, the way the
    // signal does by default: the first one's shutdown is not waited for. A different one (a
    // session manager's SIGHUP after its SIGTERM) is the same request to close once more.
    const sig_atomic_t bit = sig_atomic_t(1) << number;
    if (g_received & bit) {
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
    g_received = g_received | bit;
    const unsigned char byte = static_cast<unsigned char>(number);
    const int savedErrno = errno;
    [[maybe_unused]] const ssize_t written = ::write(g_fds[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (g_fds[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0)
        return;
    ::fcntl(g_fds[0], F_SETFL, ::fcntl(g_fds[0], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int number : Handled)
        sigaddset(&action.sa_mask, number);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < Handled.size(); ++i) {
        if (::sigaction(Handled[i], &action, &g_previous[i]) != 0)
            qWarning("Signal %d will end the program without saving: %s", Handled[i],
                     std::strerror(errno));
    }
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < Handled.size(); ++i)
        ::sigaction(Handled[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_fds[0]);
    ::close(g_fds[1]);
    g_fds[0] = g_fds[1] = -1;
    g_received = 0;
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(g_fds[1], &byte, 1) == 1)
        emit terminationRequested(int(byte));
}

} // namespace Velmira
