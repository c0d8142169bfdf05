#include "x_session.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(15);

pid_t spawn(const char* const argv[], int stdoutFd)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(stdoutFd >= 0 ? stdoutFd : null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    return pid;
}

void stop(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    pid = -1;
}

} // namespace

std::string runX(const std::string& command, int* exitCode)
{
    std::string out;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) {
        if (exitCode)
            *exitCode = -1;
        return out;
    }
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    if (exitCode)
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

XSession::XSession()
{
    if (const char* old = std::getenv("DISPLAY")) {
        m_hadDisplay = true;
        m_oldDisplay = old;
    }
    startServer();
    if (ok())
        startWindowManager();
}

XSession::~XSession()
{
    stop(m_windowManager);
    stop(m_server);
    if (m_hadDisplay)
        setenv("DISPLAY", m_oldDisplay.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

// Xvfb writes the number of the display it took to the descriptor given
// with -displayfd once it accepts connections.
void XSession::startServer()
{
    int fds[2];
    if (pipe(fds) != 0) {
        m_error = "no pipe for Xvfb";
        return;
    }
    const std::string fd = std::to_string(fds[1]);
    const char* const argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                                "1280x1024x24", "-nolisten",  "tcp",      nullptr};
    // The child inherits the write end under its own number.
    m_server = fork();
    if (m_server == 0) {
        close(fds[0]);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd reader{fds[0], POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline && poll(&reader, 1, 100) >= 0) {
        if (!(reader.revents & (POLLIN | POLLHUP)))
            continue;
        char c = 0;
        const ssize_t got = read(fds[0], &c, 1);
        if (got <= 0 || c == '\n')
            break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) {
        m_error = "Xvfb did not start (is the xvfb package installed?)";
        stop(m_server);
        return;
    }
    m_display = ":" + number;
    setenv("DISPLAY", m_display.c_str(), 1);
}

bool XSession::windowManagerUp() const
{
    int code = 0;
    const std::string out = runX("xprop -root _NET_SUPPORTING_WM_CHECK", &code);
    return code == 0 && out.find("window id") != std::string::npos;
}

void XSession::startWindowManager()
{
    const char* const argv[] = {"openbox", "--sm-disable", nullptr};
    m_windowManager = spawn(argv, -1);
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (windowManagerUp())
            return;
        int status = 0;
        if (waitpid(m_windowManager, &status, WNOHANG) == m_windowManager) {
            m_windowManager = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_error = "openbox did not come up (are openbox and x11-utils installed?)";
    stop(m_windowManager);
    stop(m_server);
}
