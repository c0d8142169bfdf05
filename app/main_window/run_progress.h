#pragma once
// The progress of a count in a dialog that appears once the count has taken
// half a second: the values read so far and the stage, with a Cancel button.
// Each step lets pending messages through, so the window keeps painting; the
// dialog is window-modal, so the user cannot start anything else meanwhile.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// "Counting the load cycles ...\n<done> of <total> values read"
QString countingProgressText(std::int64_t done, std::int64_t total);
// "Reading the table ...\n<percent> % read"
QString readingProgressText(std::int64_t done, std::int64_t total);

class RunProgress {
public:
    // Milliseconds from any fixed point; tests pass a clock of their own.
    using Clock = std::function<std::int64_t()>;

    // observer, when set, sees the dialog after each step (tests cancel
    // through it as a user would); clock, when set, replaces the steady clock.
    RunProgress(QWidget* window, std::function<void(QProgressDialog&)> observer = {}, Clock clock = {});
    ~RunProgress();
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    // done of total values read; false once the user has cancelled.
    bool update(std::int64_t done, std::int64_t total);
    // The reading of a table instead of a count: the dialog's title and text.
    void showReading();
    // update without letting messages through, for a step that arrives as
    // a message itself (the reading off the interface thread).
    bool step(std::int64_t done, std::int64_t total);
    // Takes the dialog away, before a message box or the report.
    void close();

private:
    void showStep(std::int64_t done, std::int64_t total);
    std::unique_ptr<QProgressDialog> m_dialog;
    std::function<void(QProgressDialog&)> m_observer;
    Clock m_clock;
    std::int64_t m_start = 0;
    QString (*m_text)(std::int64_t, std::int64_t) = countingProgressText;
};
