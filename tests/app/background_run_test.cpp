// Work off the interface thread behind a bar and a Cancel button: the
// outcome and the error reach the interface thread, Cancel and a discard
// stop the work, one follow-up runs after the end, and a run under way
// stops with its owner.
#include "support/background_run.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {

constexpr int kTimeout = 30000;

struct Outcome {
    bool ended = false;
    bool discarded = false;
    std::exception_ptr error;
    Qt::HANDLE thread = nullptr;
};

class BackgroundRunTest : public testing::Test {
protected:
    QWidget window;
    QPushButton* start = new QPushButton(&window);
    QPushButton* cancel = new QPushButton(&window);
    QProgressBar* bar = new QProgressBar(&window);
    std::unique_ptr<BackgroundRun> run = std::make_unique<BackgroundRun>(start, cancel, bar);
    Outcome outcome;

    BackgroundRun::Done recordOutcome()
    {
        return [this](std::exception_ptr error, bool discarded) {
            outcome = {true, discarded, error, QThread::currentThreadId()};
        };
    }

    // Work that runs until it is asked to stop, reporting as it goes.
    std::function<void()> untilCancelled(std::atomic<bool>& started)
    {
        return [runner = run.get(), &started] {
            started = true;
            while (runner->progress(1, 2))
                std::this_thread::yield();
            throw std::runtime_error("stopped");
        };
    }
};

TEST_F(BackgroundRunTest, TheOutcomeReachesTheInterfaceThreadAndTheWidgetsReturn)
{
    std::atomic<bool> release{false};
    int value = 0;
    run->start(
        [&] {
            while (!release)
                std::this_thread::yield();
            value = 42;
        },
        recordOutcome(), 10);
    EXPECT_TRUE(run->running());
    EXPECT_FALSE(start->isEnabled());
    EXPECT_FALSE(cancel->isHidden());
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->maximum(), 10);
    EXPECT_EQ(bar->value(), 0);
    release = true;
    QTRY_VERIFY_WITH_TIMEOUT(outcome.ended, kTimeout);
    EXPECT_EQ(value, 42);
    EXPECT_FALSE(outcome.error);
    EXPECT_FALSE(outcome.discarded);
    EXPECT_EQ(outcome.thread, QThread::currentThreadId());
    EXPECT_FALSE(run->running());
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(cancel->isHidden());
    EXPECT_TRUE(bar->isHidden());
}

TEST_F(BackgroundRunTest, TheProgressReachesTheBarAndCancelStopsTheWork)
{
    std::atomic<bool> started{false};
    run->start(untilCancelled(started), recordOutcome());
    EXPECT_EQ(bar->maximum(), 0); // busy until the first report
    QTRY_COMPARE_WITH_TIMEOUT(bar->maximum(), 2, kTimeout);
    EXPECT_EQ(bar->value(), 1);
    cancel->click();
    QTRY_VERIFY_WITH_TIMEOUT(outcome.ended, kTimeout);
    ASSERT_TRUE(outcome.error);
    EXPECT_THROW(std::rethrow_exception(outcome.error), std::runtime_error);
    EXPECT_FALSE(outcome.discarded);
}

TEST_F(BackgroundRunTest, ADiscardedRunEndsAsDiscardedAndTheNextStartsAfterIt)
{
    std::atomic<bool> started{false};
    run->start(untilCancelled(started), recordOutcome());
    int followUps = 0;
    bool endedBeforeFollowUp = false;
    run->whenEnded([&] {
        endedBeforeFollowUp = outcome.ended;
        ++followUps;
    });
    run->whenEnded([&] { followUps += 100; }); // one is waiting already
    run->discard();
    QTRY_COMPARE_WITH_TIMEOUT(followUps, 1, kTimeout);
    EXPECT_TRUE(endedBeforeFollowUp);
    EXPECT_TRUE(outcome.discarded);

    // The next run starts afresh: not cancelled, not discarded.
    outcome = {};
    run->start([&] { EXPECT_FALSE(run->cancelled()); }, recordOutcome());
    QTRY_VERIFY_WITH_TIMEOUT(outcome.ended, kTimeout);
    EXPECT_FALSE(outcome.discarded);
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(followUps, 1);
}

TEST_F(BackgroundRunTest, ARunUnderWayStopsWithItsOwnerWithoutReporting)
{
    std::atomic<bool> started{false};
    run->start(untilCancelled(started), recordOutcome());
    QTRY_VERIFY_WITH_TIMEOUT(started.load(), kTimeout);
    run.reset(); // waits for the work, which sees the cancel
    QCoreApplication::processEvents();
    EXPECT_FALSE(outcome.ended);
}

} // namespace
