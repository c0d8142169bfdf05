#pragma once
// The fatigue window: the cycles of the last count evaluated on an S-N curve
// (a preset or own values), with the load measure, the mean-stress
// correction, the damage-equivalent loads, the duration of the sequence and
// the factors of a code check, which the engine applies as tessivo-count's
// options of the same names do. Every change of a choice updates the results
// at once: the check (passes or fails, utilisation, design damage), the
// table of cycles with allowed cycles, damage and share, the totals (D,
// life), the table of damage-equivalent loads, the log-log plot of the curve
// with the counted spectrum and the counts beside rainflow. The tab
// "Lifetime" counts a design life over many recordings with the main
// window's counting parameters and these choices (lifetime_panel.h). The
// table exports as CSV, the settings and totals (and the lifetime) as a
// summary CSV, the plots as PNG or SVG. The choices are kept in the settings
// store when the window closes.
//
// Errors of a command go to reportError with their full stop; the save
// dialog runs through runModal, so tests answer it.

#include "fatigue/fatigue_choices.h"
#include "document/lifetime_count.h"
#include "fatigue/other_counts_chart.h"
#include "fatigue/sn_curve_chart.h"
#include "charts/chart_window.h"

#include "engine/fatigue/fatigue_analysis.h"

#include <QChar>
#include <QWidget>
#include <functional>
#include <vector>

class ChartView;
class CountDocument;
struct FatigueInputs;
class FatigueRowsModel;
class LifetimePanel;
class QComboBox;
class QDialog;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class QTabWidget;

struct FatigueWindowSeams {
    std::function<bool(QDialog&)> runModal;          // default: exec()
    std::function<void(const QString&)> reportError; // default: a message box
    QString storePath;                               // the per-user store
    QChar decimalSeparator = u'.';
    // The counting parameters of a lifetime's recordings, taken when it is
    // counted; default: the observed document's request.
    std::function<tessivo::CountRequest()> countRequest;
};

class FatigueWindow : public ChartWindow {
    Q_OBJECT

public:
    // A top-level window owned by `owner`; reads the stored choices.
    FatigueWindow(QWidget* owner, FatigueWindowSeams seams);
    ~FatigueWindow() override;

    // Evaluates the document's last count now and after each count.
    void observe(CountDocument* document);
    // The cycles, names and times of one count. The duration typed for one
    // sequence is not carried to another: a new source brings its own (from
    // its time column) or none.
    void setInputs(const FatigueInputs& inputs);

    // The counted cycles in the loads as read and scaled; classEdges when
    // they were counted in load bins. `source` names them in the title.
    void setCycles(std::vector<tessivo::fatigue::FatigueCycle> cycles, bool classEdges, const QString& source);

    FatigueChoices choices() const;
    void setChoices(const FatigueChoices& choices);
    // The results of the current choices; empty when a choice is bad (the
    // window then shows why in lbStatus).
    const std::optional<tessivo::fatigue::FatigueResult>& result() const { return m_result; }

    // The table of cycles as CSV; exportCsv adds the settings and totals,
    // which summaryCsv holds alone.
    QByteArray rowsCsv() const;
    QByteArray exportCsv() const;
    QByteArray summaryCsv() const;
    // The settings and results as "label<TAB>value" lines for the printed
    // and saved report, headed "Fatigue"; empty without a result.
    QStringList reportLines() const;
    // Throw AppError on failure.
    void saveCsv(const QString& fileName) const;
    void saveSummary(const QString& fileName) const;
    void storeChoices() const;
    // The count beside rainflow on show in the tab "Other counts".
    const OtherCountData& otherCount() const { return m_otherCount; }

    QComboBox* cbCurve = nullptr;
    QLineEdit* edOwnCurve = nullptr;
    QComboBox* cbMeasure = nullptr;
    QComboBox* cbMeanStress = nullptr;
    QLabel* lbMaterial = nullptr;
    QLineEdit* edMaterial = nullptr;
    QLineEdit* edDel = nullptr;
    QLineEdit* edNeq = nullptr;
    QLineEdit* edDelFrequency = nullptr;
    QLineEdit* edDuration = nullptr;
    QLineEdit* edLoadFactor = nullptr; // the stress factor
    QLineEdit* edScf = nullptr;
    QLineEdit* edGammaFf = nullptr;
    QLineEdit* edGammaMf = nullptr;
    QLineEdit* edDff = nullptr;
    QLineEdit* edThickness = nullptr;
    QLineEdit* edThicknessRef = nullptr;      // placeholder: the curve's own t_ref
    QLineEdit* edThicknessExponent = nullptr; // placeholder: the curve's own k
    QLineEdit* edSizeFactor = nullptr;
    QLineEdit* edCompressiveShare = nullptr; // off with a mean-stress correction
    QLabel* lbCheck = nullptr;
    QLabel* lbLoads = nullptr;
    QLabel* lbStatus = nullptr;
    QLabel* lbTotals = nullptr;
    QTableWidget* twDel = nullptr;
    QTabWidget* tabResults = nullptr;
    QTableView* tvRows = nullptr;
    ChartView* vwSnCurve = nullptr;
    QComboBox* cbOtherCount = nullptr;
    ChartView* vwOtherCount = nullptr;
    QWidget* pgOtherCounts = nullptr;
    LifetimePanel* pgLifetime = nullptr;
    QPushButton* btExportCsv = nullptr;
    QPushButton* btSaveSummary = nullptr;
    QPushButton* btClose = nullptr;
    QFileDialog* dlgSave = nullptr;

signals:
    // A row of the table became the current one: `line` is the report's
    // table line (from 1) that the row evaluates.
    void cycleLineSelected(int line);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    QWidget* createChoices();
    QWidget* createDesign();
    QWidget* createTotals();
    QWidget* createOtherCounts();
    void showOtherCount();
    void showCheck();
    // The curve's own thickness reference and exponent as placeholders, the
    // compressive share on only without a mean-stress correction.
    void showDesignHints(const FatigueChoices& choices);
    QStringList designLines() const;
    QWidget* createLifetime();
    LifetimeCountInput lifetimeSetup();
    // Drops a lifetime counted with other choices than these.
    void checkLifetime(const FatigueChoices& choices);
    void connectChoices();
    // The button asks for a CSV file named after the source and `what`, then saves it with `save`.
    void connectCsvSave(QPushButton* button, const QString& what,
                        void (FatigueWindow::*save)(const QString& fileName) const);
    void recompute();
    void showTotals();
    QStringList totalLines() const;
    QStringList settingLines() const;
    QStringList checkLines() const;
    QByteArray summaryLines() const;
    QString numberText(long double v) const;
    ChartPainter shownChart() const override;
    QString exportHeading() const override;
    QString exportBaseName() const override;

    FatigueWindowSeams m_seams;
    std::vector<tessivo::fatigue::FatigueCycle> m_cycles;
    bool m_classEdges = false;
    QString m_source;
    QString m_loadUnit;
    std::optional<tessivo::fatigue::FatigueResult> m_result;
    std::optional<tessivo::fatigue::FatigueSettings> m_settings;
    SnChartData m_chart;
    std::function<std::vector<long double>()> m_values; // of the count, read when first shown
    std::optional<std::vector<long double>> m_valuesRead;
    std::optional<double> m_countDuration; // from the time column
    OtherCountData m_otherCount;
    struct OtherCountKey {
        OtherCount kind;
        double interval;
        const std::vector<long double>* values;
        bool operator==(const OtherCountKey&) const = default;
    };
    std::optional<OtherCountKey> m_otherCountKey; // what m_otherCount was worked out from
    FatigueRowsModel* m_rows = nullptr;
    CountDocument* m_document = nullptr;
    std::optional<FatigueChoices> m_lifetimeChoices; // what the lifetime on show was counted with
    bool m_settingChoices = false;
};
