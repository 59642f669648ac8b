#include "shell/StopSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// A signal handler may only write to a descriptor: it needs one that outlives every object.
int g_pipe[2] = {-1, -1};

extern "C" void onStopSignal(int signal)
{
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}
} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    for (const int end : g_pipe) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, O_NONBLOCK);
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(g_pipe[0], &byte, 1) == 1)
            Q_EMIT received(byte);
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

StopSignals::~StopSignals()
{
    if (!m_notifier)
        return;
    // From here on the signals end the program as they would without us.
    for (const int signal : kSignals)
        ::signal(signal, SIG_DFL);
    delete m_notifier;
    for (int& end : g_pipe) {
        ::close(end);
        end = -1;
    }
}
