#include "signal_pipe.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

namespace {
int g_fds[2] = {-1, -1};

void onSignal(int signo) {
    const unsigned char b = static_cast<unsigned char>(signo);
    [[maybe_unused]] ssize_t n = ::write(g_fds[0], &b, 1);
}
}  // namespace

SignalPipe::SignalPipe(QObject* parent) : QObject(parent) {}

bool SignalPipe::watch(const QList<int>& signals_) {
    if (g_fds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0)
        return false;
    ::fcntl(g_fds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(g_fds[1], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalPipe::drain);
    for (int s : signals_) {
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        if (::sigaction(s, &sa, nullptr) != 0) return false;
    }
    return true;
}

void SignalPipe::drain() {
    unsigned char b;
    while (::read(g_fds[1], &b, 1) == 1) emit raised(b);
}
