// The fatal signals' handlers: the line is made beforehand, so the handler
// only writes it (async-signal-safe) and hands the signal on to the handler
// that was there before (a sanitizer's, or the default that ends the
// program).
#include "app/fatal_signals.h"

#include <csignal>
#include <cstdio>
#include <algorithm>
#include <cstring>

#if defined(_WIN32)
#include <io.h>
#define writeOut(b, n) _write(2, b, unsigned(n))
#else
#include <unistd.h>
#define writeOut(b, n) (void)!::write(2, b, n)
#endif

namespace {

char line[1024];
std::size_t lineSize = 0;
constexpr int fatal[] = {SIGSEGV, SIGABRT, SIGFPE, SIGILL
#if !defined(_WIN32)
                         , SIGBUS
#endif
};
constexpr int fatalCount = int(sizeof fatal / sizeof fatal[0]);
bool installed = false;

#if defined(_WIN32) || defined(__EMSCRIPTEN__)

void (*before[fatalCount])(int);

void onFatal(int sig) {
    writeOut(line, lineSize);
    for (int i = 0; i < fatalCount; ++i)
        if (fatal[i] == sig) std::signal(sig, before[i] == SIG_ERR ? SIG_DFL : before[i]);
    std::raise(sig);
}

void install() {
    for (int i = 0; i < fatalCount; ++i) before[i] = std::signal(fatal[i], onFatal);
}

void uninstall() {
    for (int i = 0; i < fatalCount; ++i)
        if (before[i] != SIG_ERR) std::signal(fatal[i], before[i]);
}

#else

struct sigaction before[fatalCount];

void onFatal(int sig, siginfo_t* info, void* context) {
    writeOut(line, lineSize);
    for (int i = 0; i < fatalCount; ++i) {
        if (fatal[i] != sig) continue;
        const struct sigaction& b = before[i];
        if ((b.sa_flags & SA_SIGINFO) && b.sa_sigaction) return b.sa_sigaction(sig, info, context);
        if (b.sa_handler != SIG_DFL && b.sa_handler != SIG_IGN) return b.sa_handler(sig);
        // The default: put it back and let the signal end the program.
        sigaction(sig, &b, nullptr);
        raise(sig);
    }
}

void install() {
    struct sigaction a {};
    a.sa_sigaction = onFatal;
    a.sa_flags = SA_SIGINFO | SA_RESETHAND;
    sigemptyset(&a.sa_mask);
    for (int i = 0; i < fatalCount; ++i) sigaction(fatal[i], &a, &before[i]);
}

void uninstall() {
    for (int i = 0; i < fatalCount; ++i) sigaction(fatal[i], &before[i], nullptr);
}

#endif

} // namespace

void fatalSignalsSay(const char* who, const std::string& recordingPath) {
    const int n = std::snprintf(line, sizeof line, "%s: stopped by a fatal signal; the recording "
                                "so far is in %s\n", who, recordingPath.c_str());
    lineSize = n < 0 ? 0 : std::min(std::size_t(n), sizeof line - 1);
    if (!installed) install();
    installed = true;
}

void fatalSignalsOff() {
    if (installed) uninstall();
    installed = false;
}
