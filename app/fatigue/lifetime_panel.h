#pragma once
// The fatigue window's tab "Lifetime": a design life over many recordings,
// as tessivo-count --design-life with --lifetime gives it. The weights table
// (a line of names, then file,hours_per_year; paths from its folder), the
// design life in years, the column of recordings that are tables and the
// duration of recordings without a time column are typed or chosen here;
// Count counts each recording off the interface thread, with a bar and a
// Cancel button, and shows the lifetime's damage, design damage,
// utilisation, check, N_eq and damage-equivalent loads, and a row per
// recording (file, hours per year, duration, repetitions over the life,
// cycles, damage of one pass). What it counts with comes from the window
// (`setup`); the window forgets the result when those choices change.

#include "document/lifetime_count.h"

#include <QChar>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class BackgroundRun;
class QDialog;
class QFileDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

struct LifetimePanelSeams {
    std::function<bool(QDialog&)> runModal;          // the weights table's dialog; default: exec()
    std::function<void(const QString&)> reportError; // what stopped a count, with its full stop
    // What a count is made of now; throws (fatigue::FatigueError) naming a bad choice.
    std::function<LifetimeCountInput()> setup;
    QChar decimalSeparator = u'.';
};

class LifetimePanel : public QWidget {
    Q_OBJECT

public:
    LifetimePanel(QWidget* parent, LifetimePanelSeams seams);
    ~LifetimePanel() override;

    // Starts counting (a bad choice is reported and nothing starts); a count
    // under way is cancelled first.
    void count();
    void cancel();
    bool counting() const;
    // The last complete count; empty before one or after forget().
    const std::optional<tessivo::LifetimeResult>& result() const { return m_result; }
    // Drops the result (and a count under way, which then shows nothing),
    // saying why where the results stood.
    void forget(const QString& why);

    // The lifetime as "name,value" lines (numbers to double precision with a
    // decimal point), a blank line, then the recordings as a table with a
    // line of names; empty without a result.
    QByteArray summaryCsv() const;

    QLineEdit* edWeights = nullptr;
    QPushButton* btWeights = nullptr;
    QLineEdit* edDesignLife = nullptr;
    QLineEdit* edLifetimeColumn = nullptr;
    QLineEdit* edRecordingDuration = nullptr;
    QPushButton* btLifetimeCount = nullptr;
    QPushButton* btLifetimeCancel = nullptr;
    QProgressBar* pbLifetime = nullptr;
    QLabel* lbLifetime = nullptr;
    QTableWidget* twLifetimeDel = nullptr;
    QTableWidget* twRecordings = nullptr;
    QFileDialog* dlgWeights = nullptr;

signals:
    // A count has ended: the result is shown, or the error was reported, or it was cancelled.
    void counted();

private:
    struct Job;
    QWidget* createInputs();
    QWidget* createResults();
    void chooseWeights();
    void countStopped(Job& job, std::exception_ptr error, bool forgotten);
    void showResult();
    QString shown(long double v, int digits = 6) const;

    LifetimePanelSeams m_seams;
    std::unique_ptr<BackgroundRun> m_run;
    std::optional<tessivo::LifetimeResult> m_result;
    tessivo::FatigueRequest m_fatigue; // of m_result
    std::string m_weights;             // of m_result
};
