#pragma once
// Work run off the interface thread beside the button that starts it: while
// it runs, that button is disabled and a progress bar and a Cancel button
// are shown. The work polls cancelled() (or the answer of progress()) and
// stops when asked; what it leaves behind is handed to `done` on the
// interface thread, with the exception that ended it, if any.

#include <QObject>
#include <atomic>
#include <exception>
#include <functional>

class QProgressBar;
class QPushButton;
class QThread;

class BackgroundRun : public QObject {
    Q_OBJECT

public:
    // The widgets are the window's; they must outlive this object.
    BackgroundRun(QPushButton* startButton, QPushButton* cancelButton, QProgressBar* bar);
    // Asks a run under way to stop and waits for it; its `done` is not called.
    ~BackgroundRun() override;

    // `discarded`: discard() was called meanwhile, so the outcome is not wanted.
    using Done = std::function<void(std::exception_ptr error, bool discarded)>;
    // Starts `work` on a thread of its own with the bar at 0 of `maximum`
    // (0: busy until the first progress). Only when !running().
    void start(std::function<void()> work, Done done, int maximum = 0);
    bool running() const { return m_thread != nullptr; }
    void cancel();
    // Cancels, and the run under way ends as discarded.
    void discard();
    // Runs `next` once after the run under way has ended and its `done` was
    // called; while one is waiting, later ones are dropped.
    void whenEnded(std::function<void()> next);

    // From the working thread: shows `value` of `maximum` on the bar; false
    // when the run is to stop.
    bool progress(int value, int maximum);
    bool cancelled() const { return m_cancel; }

private:
    void ended();

    QPushButton* m_startButton;
    QPushButton* m_cancelButton;
    QProgressBar* m_bar;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    std::atomic<long long> m_shown{-1}; // value and maximum last sent to the bar
    bool m_discarded = false;
    std::exception_ptr m_error;
    Done m_done;
    std::function<void()> m_next;
};
