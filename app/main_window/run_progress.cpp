#include "main_window/run_progress.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProgressDialog>
#include <algorithm>
#include <chrono>
#include <limits>

namespace {
constexpr int kShowAfterMs = 500;
constexpr int kSteps = 1000; // the bar in thousandths: a count may exceed an int's range of values
} // namespace

QString countingProgressText(std::int64_t done, std::int64_t total)
{
    const QLocale locale;
    return QStringLiteral("Counting the load cycles ...\n%1 of %2 values read")
        .arg(locale.toString(static_cast<qlonglong>(done)), locale.toString(static_cast<qlonglong>(total)));
}

QString readingProgressText(std::int64_t done, std::int64_t total)
{
    const int percent = total > 0 ? static_cast<int>(std::min<std::int64_t>(done * 100 / total, 100)) : 0;
    return QStringLiteral("Reading the table ...\n%1 % read").arg(percent);
}

RunProgress::RunProgress(QWidget* window, std::function<void(QProgressDialog&)> observer, Clock clock)
    : m_dialog(std::make_unique<QProgressDialog>(window))
    , m_observer(std::move(observer))
    , m_clock(clock ? std::move(clock) : Clock([] {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }))
{
    m_dialog->setObjectName(QStringLiteral("dlgProgress"));
    m_dialog->setWindowTitle(QStringLiteral("Execute"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumWidth(320);
    m_dialog->setLabelText(QStringLiteral("Counting the load cycles ..."));
    m_dialog->setRange(0, kSteps);
    // The dialog's own delayed show also guesses the time left and waits for
    // a timer; showing it here, by the clock alone, makes the half second the
    // only rule.
    m_dialog->setMinimumDuration(std::numeric_limits<int>::max());
    m_dialog->setValue(0);
    m_start = m_clock();
}

RunProgress::~RunProgress() = default;

void RunProgress::showReading()
{
    m_text = readingProgressText;
    m_dialog->setWindowTitle(QStringLiteral("Import"));
    m_dialog->setLabelText(readingProgressText(0, 0));
}

void RunProgress::showStep(std::int64_t done, std::int64_t total)
{
    m_dialog->setLabelText(m_text(done, total));
    const auto share = total > 0 ? std::min<std::int64_t>(done * kSteps / total, kSteps) : 0;
    m_dialog->setValue(static_cast<int>(share));
    if (!m_dialog->isVisible() && m_clock() - m_start >= kShowAfterMs)
        m_dialog->show();
}

bool RunProgress::step(std::int64_t done, std::int64_t total)
{
    if (m_dialog->wasCanceled())
        return false;
    showStep(done, total);
    if (m_observer)
        m_observer(*m_dialog);
    return !m_dialog->wasCanceled();
}

bool RunProgress::update(std::int64_t done, std::int64_t total)
{
    if (m_dialog->wasCanceled())
        return false;
    showStep(done, total);
    QCoreApplication::processEvents();
    if (m_observer)
        m_observer(*m_dialog);
    return !m_dialog->wasCanceled();
}

void RunProgress::close()
{
    m_dialog->reset(); // stops the clock, so the dialog cannot appear after the count
    m_dialog->hide();
}
