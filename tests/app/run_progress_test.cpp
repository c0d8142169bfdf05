// Long counts: their progress, the window painting meanwhile, and a cancel
// that leaves the last report as it was.
#include "command_fixture.h"
#include "main_window/run_progress.h"
#include "spectrum/spectrum_plot_window.h"

#include <QApplication>
#include <QProgressDialog>

namespace {

constexpr int kLongLength = 200000;
constexpr int kStepValues = 65536; // the engine reports every 2^16 values

class RunProgressTest : public CommandTest {
protected:
    // A long random walk: far more values than one progress step.
    QString longSequence()
    {
        QByteArray values;
        values.reserve(kLongLength * 6);
        std::uint32_t state = 12345;
        int load = 0;
        for (int i = 0; i < kLongLength; ++i) {
            state = state * 1664525u + 1013904223u;
            load += static_cast<int>(state >> 24) - 128;
            values += QByteArray::number(load) + '\n';
        }
        return writeFile(QStringLiteral("long.txt"), values);
    }
};

TEST_F(RunProgressTest, LongCountReportsTheValuesReadAndKeepsTheWindowResponsive)
{
    auto window = startWindow();
    open(*window, longSequence());
    QStringList labels;
    int stepOfQueuedCall = 0;
    onProgress = [&](QProgressDialog& dialog) {
        labels << dialog.labelText();
        EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
        if (labels.size() == 1)
            QMetaObject::invokeMethod(
                window.get(), [&] { stepOfQueuedCall = int(labels.size()) + 1; }, Qt::QueuedConnection);
    };
    window->btExecute->click();
    QStringList expected;
    for (int done = kStepValues; done <= kLongLength; done += kStepValues)
        expected << countingProgressText(done, kLongLength);
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(stepOfQueuedCall, 2); // let through during the count, not after it
    EXPECT_TRUE(report(*window).contains(QStringLiteral("Sequence length: \t200000")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(window->findChildren<QProgressDialog*>().size(), 0);
}

TEST_F(RunProgressTest, DialogAppearsOnceTheCountHasTakenHalfASecond)
{
    auto window = startWindow();
    open(*window, longSequence());
    QList<bool> visible;
    onProgress = [&](QProgressDialog& dialog) {
        visible << dialog.isVisible();
        if (visible.size() == 1)
            progressClockMs += 600;
    };
    window->btExecute->click();
    ASSERT_EQ(visible.size(), 3);
    EXPECT_FALSE(visible[0]); // not before half a second
    EXPECT_TRUE(visible[1]);
    EXPECT_FALSE(window->findChild<QProgressDialog*>()); // gone with the count
}

TEST(RunProgress, QuickStepsShowNoDialog)
{
    QWidget window;
    RunProgress progress(&window);
    EXPECT_TRUE(progress.update(1, 10));
    const QProgressDialog* dialog = window.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->value(), 100);
    EXPECT_EQ(dialog->labelText(), countingProgressText(1, 10));
}

TEST_F(RunProgressTest, CancelledCountLeavesTheLastReportAndIsReadyForTheNext)
{
    auto window = startWindow();
    const QString file = longSequence();
    open(*window, file);
    window->btExecute->click();
    const QString counted = report(*window);
    const std::int32_t cycles = window->CycleCount();
    const tessivo::TCycle first = window->CycleTable()[1];
    const auto plotSteps = window->PlotData().steps.size();
    ASSERT_TRUE(counted.contains(QStringLiteral("Load cycles")));
    ASSERT_TRUE(window->btSpectrumPlot->isEnabled());
    const QStringList notices = notifier.informations;

    int steps = 0;
    onProgress = [&](QProgressDialog& dialog) {
        ++steps;
        dialog.cancel(); // as the Cancel button does
    };
    Parameters normalized;
    normalized.normalize = true;
    setParameters(*window, normalized);
    window->btExecute->click();

    EXPECT_EQ(steps, 1);
    EXPECT_EQ(report(*window), counted);
    EXPECT_EQ(window->CycleCount(), cycles);
    EXPECT_EQ(window->CycleTable()[1].Range, first.Range);
    EXPECT_EQ(window->CycleTable()[1].Count, first.Count);
    EXPECT_EQ(window->PlotData().steps.size(), plotSteps);
    EXPECT_FALSE(window->PlotData().normalized);
    EXPECT_TRUE(window->btSpectrumPlot->isEnabled());
    EXPECT_EQ(notifier.informations, notices); // cancelled before the notice
    EXPECT_TRUE(notifier.errors.isEmpty() && notifier.generalErrors.isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(window->CommandRunning());

    onProgress = nullptr;
    window->btExecute->click();
    EXPECT_EQ(report(*window), expectedReport(file, normalized, 32));
    EXPECT_TRUE(window->PlotData().normalized);
}

TEST_F(RunProgressTest, CloseAskedForDuringACountFollowsTheCancel)
{
    auto window = startWindow();
    open(*window, longSequence());
    onProgress = [&](QProgressDialog& dialog) {
        window->close();
        dialog.cancel();
    };
    window->btExecute->click();
    EXPECT_TRUE(window->isVisible());
    QTRY_VERIFY(!window->isVisible());
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
}

} // namespace
