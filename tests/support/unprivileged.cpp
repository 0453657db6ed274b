// A child process that gives up root, does a test's work and sends back what
// it found through a pipe.
#include "support/unprivileged.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/process.h"

namespace {

constexpr uid_t nobody = 65534;
constexpr gid_t nogroup = 65534;

void send(int fd, char how, const std::string& text) {
    const std::string all = how + text;
    for (std::size_t at = 0; at < all.size();) {
        const ssize_t n = ::write(fd, all.data() + at, all.size() - at);
        if (n <= 0) break;
        at += std::size_t(n);
    }
}

std::string why(const char* step) { return std::string(step) + ": " + std::strerror(errno); }

} // namespace

ChildRun runUnprivileged(const std::function<std::string(const std::filesystem::path&)>& work) {
    ScratchDir scratch("korvane-unprivileged");
    const bool root = ::geteuid() == 0;
    if (root && ::chown(scratch.path().c_str(), nobody, nogroup) != 0)
        return {ChildRun::skipped, why("cannot give the scratch folder to nobody")};
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {ChildRun::failed, why("pipe")};

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        ::alarm(60);
        const int out = pipeEnds[1];
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(nogroup) != 0 ||
                     ::setuid(nobody) != 0 || ::setuid(0) == 0)) {
            send(out, 's', why("cannot drop root privileges to uid/gid 65534"));
            ::_exit(0);
        }
        if (::access(scratch.path().c_str(), R_OK | W_OK | X_OK) != 0) {
            send(out, 's', why(("cannot use " + scratch.path().string() + " as nobody").c_str()));
            ::_exit(0);
        }
        try {
            send(out, 'd', work(scratch.path()));
        } catch (const std::exception& e) {
            send(out, 'f', std::string("the work threw: ") + e.what());
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    if (pid < 0) {
        ::close(pipeEnds[0]);
        return {ChildRun::failed, why("fork")};
    }
    std::string got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        got.append(buffer, std::size_t(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    const bool exited = ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                        WEXITSTATUS(status) == 0;
    if (!exited || got.empty())
        return {ChildRun::failed, "the child process did not finish (status " +
                                      std::to_string(status) + ")"};
    const ChildRun::How how = got[0] == 'd'   ? ChildRun::done
                              : got[0] == 's' ? ChildRun::skipped
                                              : ChildRun::failed;
    return {how, got.substr(1)};
}
