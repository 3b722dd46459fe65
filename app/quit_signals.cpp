#include "app/quit_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include "app/TMainwin.h"

namespace {

int signalPipe[2] = {-1, -1};

// Only a write is safe here; the event loop does the rest.
void onSignal(int) {
    const char b = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &b, 1);
}

}  // namespace

void InstallQuitSignals() {
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char b;
        [[maybe_unused]] auto n = ::read(signalPipe[0], &b, 1);
        if (TMainwin* w = Mainwin()) w->Beenden1Click();
        else ::_exit(0);  // before the window exists there is nothing to keep
    });
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &sa, nullptr);
}
