#include "window/x11/X11DialogTool.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

#include "window/x11/X11DialogWindow.h"
#include "window/x11/X11ErrorTrap.h"

extern char** environ;

namespace platform::x11 {

namespace {

// How long a program that closed its output may take to end before it is killed.
constexpr int kExitGraceMs = 5000;

long long NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Everything the child needs, prepared before fork: between fork and exec only
// async-signal-safe calls are allowed (the host may run other threads).
struct ChildArguments {
    std::vector<std::string> storage;
    std::vector<char*> argv;

    ChildArguments(const std::string& program, const std::vector<std::string>& arguments) {
        storage.push_back(program);
        storage.insert(storage.end(), arguments.begin(), arguments.end());
        for (std::string& s : storage) argv.push_back(&s[0]);
        argv.push_back(nullptr);
    }
};

// In the child: standard input and error on /dev/null, output on outFd (or /dev/null when -1),
// every other descriptor but keepFd closed, default signal handling, then exec. On failure the
// errno is written to errorFd and the child ends.
[[noreturn]] void ExecChild(const ChildArguments& child, int outFd, int errorFd) {
    int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, 0);
        dup2(outFd >= 0 ? outFd : devNull, 1);
        dup2(devNull, 2);
    }
    long limit = sysconf(_SC_OPEN_MAX);
    if (limit < 0 || limit > 65536) limit = 65536;
    for (int fd = 3; fd < limit; ++fd) {
        if (fd != errorFd) close(fd);
    }
    signal(SIGPIPE, SIG_DFL);
    signal(SIGCHLD, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execve(child.argv[0], child.argv.data(), environ);
    int error = errno;
    ssize_t ignored = write(errorFd, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

// Reads the errno an exec failure wrote into the pipe; true when the exec succeeded (the pipe
// closed on exec without data).
bool ExecSucceeded(int errorFd) {
    int error = 0;
    for (;;) {
        ssize_t n = read(errorFd, &error, sizeof error);
        if (n < 0 && errno == EINTR) continue;
        return n == 0;
    }
}

void DrainEvents(Display* display, const WaitingEditor& editor) {
    if (!display) return;
    for (;;) {
        XEvent event;
        {
            X11ErrorTrap trap(display);
            if (XPending(display) == 0) return;
            XNextEvent(display, &event);
        }
        ForwardWhileModal(event, editor);
    }
}

void Wait(Display* display, int fd, int timeoutMs) {
    if (display) {
        WaitForInput(display, fd, timeoutMs);
        return;
    }
    pollfd one{fd, POLLIN, 0};
    poll(&one, fd >= 0 ? 1 : 0, timeoutMs);
}

} // namespace

std::string FindProgram(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return std::string();
    const char* path = std::getenv("PATH");
    if (!path) return std::string();
    std::string folders(path);
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(start, end - start);
        start = end + 1;
        if (folder.empty() || folder[0] != '/') continue; // relative entries are not trusted
        std::string candidate = folder + "/" + name;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::string();
}

ToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments,
                   Display* display, const WaitingEditor& editor) {
    ToolResult result;
    if (editor.Cancelled()) return result;
    ChildArguments child(program, arguments);
    int out[2], error[2];
    if (pipe2(out, O_CLOEXEC) != 0) return result;
    if (pipe2(error, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return result;
    }
    if (display) {
        X11ErrorTrap trap(display);
        XFlush(display);
    }
    pid_t pid = fork();
    if (pid == 0) ExecChild(child, out[1], error[1]);
    close(out[1]);
    close(error[1]);
    if (pid < 0) {
        close(out[0]);
        close(error[0]);
        return result;
    }
    bool started = ExecSucceeded(error[0]);
    close(error[0]);

    // Read the output until the program closes it, keeping the editor alive meanwhile. When the
    // editor closes, the program goes at once: something it started may keep the output open.
    fcntl(out[0], F_SETFL, fcntl(out[0], F_GETFL) | O_NONBLOCK);
    bool open = started;
    while (open) {
        if (editor.Cancelled()) {
            kill(pid, SIGKILL);
            break;
        }
        DrainEvents(display, editor);
        Wait(display, out[0], 100);
        char buffer[4096];
        for (;;) {
            ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n > 0) {
                std::size_t room = kMaxToolOutput - result.output.size();
                std::size_t take =
                    static_cast<std::size_t>(n) < room ? static_cast<std::size_t>(n) : room;
                result.output.append(buffer, take);
                if (take < static_cast<std::size_t>(n)) result.overflow = true;
                continue;
            }
            if (n == 0 || (errno != EINTR && errno != EAGAIN)) open = false;
            if (n < 0 && errno == EINTR) continue;
            break;
        }
    }
    close(out[0]);

    // Collect its exit status; one that lingers after closing its output is killed.
    long long deadline = NowMs() + kExitGraceMs;
    bool killed = false;
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (!started) {
                result.outcome = ToolResult::Outcome::NotStarted;
            } else if (WIFEXITED(status)) {
                result.outcome = ToolResult::Outcome::Exited;
                result.exitCode = WEXITSTATUS(status);
            } else {
                result.outcome = ToolResult::Outcome::Killed;
            }
            break;
        }
        if (done < 0 && errno != EINTR) {
            result.outcome = started ? ToolResult::Outcome::Lost : ToolResult::Outcome::NotStarted;
            break;
        }
        if (!killed && (NowMs() > deadline || editor.Cancelled())) {
            kill(pid, SIGKILL);
            killed = true;
        }
        DrainEvents(display, editor);
        Wait(display, -1, 20);
    }
    // An answer given just as the editor closed counts for nothing either.
    if (started && editor.Cancelled()) result.outcome = ToolResult::Outcome::Killed;
    return result;
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
    ChildArguments child(program, arguments);
    int error[2];
    if (pipe2(error, O_CLOEXEC) != 0) return false;
    pid_t pid = fork();
    if (pid == 0) {
        // The intermediate child starts the program and ends at once, so the program is
        // adopted by init and never becomes our zombie.
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) ExecChild(child, -1, error[1]);
        if (grandchild < 0) {
            int code = errno;
            ssize_t ignored = write(error[1], &code, sizeof code);
            (void)ignored;
        }
        _exit(0);
    }
    close(error[1]);
    if (pid < 0) {
        close(error[0]);
        return false;
    }
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, 0) >= 0 || errno != EINTR) break;
    }
    bool started = ExecSucceeded(error[0]);
    close(error[0]);
    return started;
}

} // namespace platform::x11
