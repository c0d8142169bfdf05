#pragma once
// A private X server with a real window manager for the tests whose fault
// shows only there (placement under a window manager, the clipboard seen by
// other programs, the dialogs' popups).
//
// XSession starts Xvfb on a display that the server picks itself (so two
// sessions never collide), then openbox on it, waits until the window
// manager has announced itself on the root window, and points DISPLAY at the
// server. The destructor ends both and puts DISPLAY back. ok() is false, with
// error() saying why, when either could not be started within the timeout.

#include <string>
#include <sys/types.h>

class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }
    // ":N" of the running server.
    const std::string& display() const { return m_display; }

private:
    void startServer();
    void startWindowManager();
    bool windowManagerUp() const;

    pid_t m_server = -1;
    pid_t m_windowManager = -1;
    std::string m_display;
    std::string m_oldDisplay;
    bool m_hadDisplay = false;
    std::string m_error;
};

// Runs a command line through the shell with DISPLAY set to the session's,
// returning its standard output; exitCode receives the exit status.
std::string runX(const std::string& command, int* exitCode = nullptr);
