// Linked into every test: a test that crashes prints where, then dies of the same signal. Where a
// sanitizer already watches a signal, it is left to the sanitizer, whose report says more.
#include <csignal>
#include <execinfo.h>
#include <initializer_list>
#include <unistd.h>

namespace {

void printTrace(int signal)
{
    static const char heading[] = "\n*** the test crashed; the stack, innermost first (addr2line -e <test> -f -C <offset>):\n";
    (void)!write(STDERR_FILENO, heading, sizeof heading - 1);
    void *frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), STDERR_FILENO);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

const bool installed = [] {
    void *warmUp[1];
    backtrace(warmUp, 1);  // loads the unwinder now: not safe to load inside the handler
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        struct sigaction current = {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(signal, printTrace);
    }
    return true;
}();

} // namespace
