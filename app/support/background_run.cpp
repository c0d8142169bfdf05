#include "support/background_run.h"

#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <utility>

BackgroundRun::BackgroundRun(QPushButton* startButton, QPushButton* cancelButton, QProgressBar* bar)
    : m_startButton(startButton)
    , m_cancelButton(cancelButton)
    , m_bar(bar)
{
    connect(m_cancelButton, &QPushButton::clicked, this, &BackgroundRun::cancel);
}

BackgroundRun::~BackgroundRun()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

void BackgroundRun::start(std::function<void()> work, Done done, int maximum)
{
    if (m_thread)
        return;
    m_cancel = false;
    m_shown = -1;
    m_discarded = false;
    m_error = nullptr;
    m_done = std::move(done);
    m_thread = QThread::create([this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            m_error = std::current_exception();
        }
    });
    connect(m_thread, &QThread::finished, this, &BackgroundRun::ended, Qt::QueuedConnection);
    m_bar->setRange(0, maximum);
    m_bar->setValue(0);
    m_bar->show();
    m_cancelButton->show();
    m_startButton->setEnabled(false);
    m_thread->start();
}

void BackgroundRun::cancel()
{
    if (m_thread)
        m_cancel = true;
}

void BackgroundRun::discard()
{
    if (m_thread) {
        m_discarded = true;
        m_cancel = true;
    }
}

void BackgroundRun::whenEnded(std::function<void()> next)
{
    if (m_thread && !m_next)
        m_next = std::move(next);
}

bool BackgroundRun::progress(int value, int maximum)
{
    // Only changes cross to the interface thread; a fine-grained count reports far more often.
    const long long shown = (static_cast<long long>(maximum) << 32) | static_cast<unsigned int>(value);
    if (m_shown.exchange(shown) != shown) {
        QMetaObject::invokeMethod(
            m_bar,
            [bar = m_bar, value, maximum] {
                bar->setMaximum(maximum);
                bar->setValue(value);
            },
            Qt::QueuedConnection);
    }
    return !m_cancel;
}

void BackgroundRun::ended()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_bar->hide();
    m_cancelButton->hide();
    m_startButton->setEnabled(true);
    const Done done = std::exchange(m_done, nullptr);
    const std::function<void()> next = std::exchange(m_next, nullptr);
    done(std::exchange(m_error, nullptr), m_discarded);
    if (next)
        next();
}
