#pragma once

#include "../under_sanitizer.h"

// Runs part of a test in a forked child, for what must not touch the test process itself: an
// address-space or file-size limit, another user's rights, a call that might never return.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zub::test {

// What `body` returned in the child, or how the child died.
inline std::string runInChild(const std::function<std::string()>& body,
                              unsigned timeoutSeconds = 20) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid < 0) return "fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        // A call that never returns ends the child instead of the whole test run.
        ::alarm(timeoutSeconds);
        std::string report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = std::string("exception: ") + e.what();
        }
        for (std::size_t done = 0; done < report.size();) {
            const ssize_t n = ::write(fds[1], report.data() + done, report.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        // Straight out: the parent's atexit handlers and leak check are not the child's to run.
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return report + "[killed by signal " + std::to_string(WTERMSIG(status)) + "]";
    return report;
}

// The user that permission checks run as. Root may write anything, so as root they run as
// "nobody"; anyone else runs them as themselves.
struct TestUser {
    uid_t uid;
    gid_t gid;
    bool switchNeeded;
};

inline TestUser unprivilegedUser() {
    if (::geteuid() != 0) return {::geteuid(), ::getegid(), false};
    const passwd* nobody = ::getpwnam("nobody");
    return nobody ? TestUser{nobody->pw_uid, nobody->pw_gid, true} : TestUser{65534, 65534, true};
}

// Runs `body` in a child as unprivilegedUser().
inline std::string runUnprivileged(const std::function<std::string()>& body) {
    const TestUser user = unprivilegedUser();
    return runInChild([&] {
        if (user.switchNeeded &&
            (::setgroups(0, nullptr) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0))
            return std::string("cannot become the unprivileged user");
        return body();
    });
}

// Bytes of address space the process uses now.
inline rlim_t addressSpaceInUse() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    return 0;
}

} // namespace zub::test
