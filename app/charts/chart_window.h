#pragma once
// What every window of charts offers: Save PNG..., Save SVG... and Copy of
// the chart on show, each at kChartExportSize with a line above the chart
// that says what it shows. The derived window says which chart that is and
// what its file is called.
//
// Errors of a command (a file that cannot be written) go to reportError with
// their full stop; the save dialog runs through runModal, so tests answer it.

#include "charts/chart_view.h"

#include <QWidget>
#include <functional>

class QDialog;
class QFileDialog;
class QHBoxLayout;
class QMimeData;
class QPushButton;

struct ChartWindowSeams {
    std::function<bool(QDialog&)> runModal;          // default: exec()
    std::function<void(const QString&)> reportError; // default: a message box
};

class ChartWindow : public QWidget {
    Q_OBJECT

public:
    ChartWindow(QWidget* owner, ChartWindowSeams seams);

    // The chart on show. The saves throw AppError on failure.
    void savePng(const QString& fileName) const;
    void saveSvg(const QString& fileName) const;
    void copyImage() const;

    QPushButton* btSavePng = nullptr;
    QPushButton* btSaveSvg = nullptr;
    QPushButton* btCopy = nullptr;

protected:
    // The chart on show, as the exports paint it.
    virtual ChartPainter shownChart() const = 0;
    // The line above the exported chart (also the SVG's title); may be empty.
    virtual QString exportHeading() const = 0;
    // The name the save dialog proposes, without the suffix.
    virtual QString exportBaseName() const = 0;
    // What Copy puts on the clipboard; the picture unless a window adds more.
    virtual QMimeData* copiedData() const;

    // The three buttons, added to `buttons`, and the save dialog.
    void addChartButtons(QHBoxLayout* buttons, QFileDialog* saveDialog);
    // The chart on show with the heading above it.
    ChartPainter exportedChart() const;
    void guarded(const std::function<void()>& body);
    // Asks for a file name with this filter, proposing baseName (default:
    // exportBaseName()); empty when the user cancelled.
    QString chooseFile(const QString& filter, const QString& suffix, const QString& baseName = {});

private:
    void saveAs(const QString& filter, const QString& suffix, void (ChartWindow::*save)(const QString&) const);

    ChartWindowSeams m_chartSeams;
    QFileDialog* m_saveDialog = nullptr;
};
