#include "StopSignals.h"

#include <atomic>

#include "export/ReplacingFile.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#include <unistd.h>
#endif

namespace {

std::atomic<int> stopStatus{130};

#if defined(_WIN32)
// Runs on a thread of its own: the export notices StopRequested between
// batches of rows and drops its temporary file, which Windows would not let
// this thread remove while it is open.
BOOL WINAPI onConsoleEvent(DWORD type) {
    stopStatus = type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT ? 130 : 143;
    StopRequested = true;
    for (int i = 0; i < 40 && ReplacingFile::active(); ++i) Sleep(100);
    if (const char* temporary = ReplacingFile::active()) DeleteFileA(temporary);
    ExitProcess(static_cast<UINT>(stopStatus.load()));
}
#else
extern "C" void onSignal(int signal) {
    // Only async-signal-safe calls here.
    if (const char* temporary = ReplacingFile::active()) unlink(temporary);
    _exit(128 + signal);
}
#endif

}  // namespace

void installStopHandlers() {
#if defined(_WIN32)
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        sigaction(signal, nullptr, &old);
        if (old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
#endif
}

int stoppedStatus() { return stopStatus; }
