// The spectrum plots: their data are the report's table and matrix, the
// button follows the report, and the pictures export at their size.
#include "charts/chart_axes.h"
#include "charts/chart_view.h"
#include "command_fixture.h"
#include "spectrum/exceedance_chart.h"
#include "spectrum/from_to_matrix_chart.h"
#include "engine/numbers/load_format.h"
#include "spectrum/spectrum_plot_window.h"
#include "spectrum/rainflow_matrix_chart.h"
#include "spectrum/matrix_text.h"
#include "support/file_dialogs.h"

#include <cmath>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTabWidget>

namespace {

// The report's table of load cycles, line by line: range, count, cumulative.
QList<QStringList> reportedCycles(const QString& report)
{
    const QStringList lines = report.split(u'\n');
    const qsizetype head = lines.indexOf(QStringLiteral("Range\tLoad\tLoad\tCycles\tNumber"));
    QList<QStringList> rows;
    for (qsizetype i = head + 1; head >= 0 && i < lines.size(); ++i)
        rows << lines[i].split(u'\t');
    return rows;
}

void expectDataOfReport(const SpectrumPlotData& data, const QString& report)
{
    const QList<QStringList> rows = reportedCycles(report);
    ASSERT_EQ(data.steps.size(), static_cast<std::size_t>(rows.size()));
    ASSERT_FALSE(rows.isEmpty());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const SpectrumStep& step = data.steps[static_cast<std::size_t>(i)];
        EXPECT_EQ(QString::fromStdString(tessivo::formatLoad(step.range)), rows[i][0]) << i;
        // The report writes counts in halves as "2.5".
        EXPECT_EQ(QString::fromStdString(tessivo::formatHalfCount(std::llround(step.count * 2))), rows[i][3]) << i;
        EXPECT_EQ(QString::fromStdString(tessivo::formatHalfCount(std::llround(step.cumulative * 2))), rows[i][4]) << i;
    }
}

// The share of the picture's pixels that are not white.
double inkedShare(const QImage& image)
{
    qint64 inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixel(x, y) != qRgb(255, 255, 255);
    return static_cast<double>(inked) / (static_cast<double>(image.width()) * image.height());
}

struct PlotCase {
    const char* file;
    Parameters parameters;
    bool matrix; // counted in load classes
    int binCount;
};

TEST_F(CommandTest, PlotDataAreTheReportsTableAndMatrix)
{
    Parameters normalized;
    normalized.normalize = true;
    Parameters bins;
    bins.useBins = true;
    bins.binItem = QStringLiteral("64 x 64 matrix");
    Parameters normalizedBins = bins;
    normalizedBins.normalize = true;
    const PlotCase cases[] = {
        {"worked_example.txt", {}, false, 0},
        {"random_walk.txt", normalized, false, 0},
        {"random_walk.txt", bins, true, 64},
        {"wisperx.txt", normalizedBins, true, 64},
    };
    for (const PlotCase& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.parameters.normalize ? " normalised" : ""));
        auto window = startWindow();
        open(*window, exampleFile(c.file));
        setParameters(*window, c.parameters);
        window->btExecute->click();
        const SpectrumPlotData& data = window->PlotData();
        expectDataOfReport(data, report(*window));
        EXPECT_EQ(data.normalized, c.parameters.normalize);
        EXPECT_EQ(data.hasMatrix(), c.matrix);
        if (!c.matrix)
            continue;
        const tessivo::TRainflowRun& run = window->RainflowRun();
        ASSERT_EQ(data.binCount, c.binCount);
        std::int64_t transitions = 0;
        for (int from = 1; from <= c.binCount; ++from) {
            for (int to = 1; to <= c.binCount; ++to) {
                EXPECT_EQ(data.cell(from, to), run.FromToMatrix[from][to]) << from << ' ' << to;
                transitions += data.cell(from, to);
            }
        }
        EXPECT_GT(transitions, 0);
        const double scale = c.parameters.normalize ? static_cast<double>(run.HighestPeak) : 1.0;
        EXPECT_DOUBLE_EQ(data.highestLoad, static_cast<double>(run.HighestPeak) / scale);
        EXPECT_DOUBLE_EQ(data.lowestLoad, static_cast<double>(run.LowestTrough) / scale);
    }
}

TEST_F(CommandTest, LongSequenceCountedInClassesAnywayHasItsMatrix)
{
    QByteArray values;
    for (int i = 0; i < 40000; ++i)
        values += QByteArray::number((i * 7919) % 1000 - 500) + '\n';
    auto window = startWindow();
    open(*window, writeFile(QStringLiteral("long.txt"), values));
    window->btExecute->click();
    ASSERT_EQ(notifier.informations.size(), 1);
    EXPECT_TRUE(window->PlotData().hasMatrix());
    EXPECT_EQ(window->PlotData().binCount, 32);
    expectDataOfReport(window->PlotData(), report(*window));
}

TEST_F(CommandTest, SpectrumPlotButtonFollowsTheReport)
{
    auto window = startWindow();
    EXPECT_FALSE(window->btSpectrumPlot->isEnabled());
    open(*window, exampleFile("worked_example.txt"));
    EXPECT_FALSE(window->btSpectrumPlot->isEnabled());
    window->btExecute->click();
    EXPECT_TRUE(window->btSpectrumPlot->isEnabled());
    // A failed check or a rejected file leaves the report, and so the plots.
    window->edFilter->setText(QStringLiteral("-1"));
    window->btExecute->click();
    open(*window, writeFile(QStringLiteral("bad.txt"), "x"));
    EXPECT_TRUE(window->btSpectrumPlot->isEnabled());
    window->edFilter->setText(QStringLiteral("0"));
    open(*window, exampleFile("random_walk.txt"));
    EXPECT_FALSE(window->btSpectrumPlot->isEnabled());
    // The button sits beside Execute inside its group.
    const QRect button = window->btSpectrumPlot->geometry();
    EXPECT_EQ(window->btSpectrumPlot->parentWidget(), static_cast<QWidget*>(window->gbExecute));
    EXPECT_GT(button.left(), window->btExecute->geometry().right());
    EXPECT_TRUE(window->gbExecute->contentsRect().contains(button));
    EXPECT_GE(button.width(), window->btSpectrumPlot->sizeHint().width());
}

class PlotWindowTest : public CommandTest {
protected:
    SpectrumPlotWindow* plotOf(TfrmMain& window, const char* file, const Parameters& p = {})
    {
        open(window, exampleFile(file));
        setParameters(window, p);
        window.btExecute->click();
        window.btSpectrumPlot->click();
        return window.plotWindow();
    }
};

TEST_F(PlotWindowTest, WindowShowsTheLastReportsData)
{
    auto window = startWindow();
    SpectrumPlotWindow* plot = plotOf(*window, "random_walk.txt");
    ASSERT_NE(plot, nullptr);
    EXPECT_TRUE(plot->isVisible());
    expectDataOfReport(plot->data(), report(*window));
    EXPECT_FALSE(plot->hasChart(SpectrumPlotWindow::Chart::FromToMatrix));
    EXPECT_EQ(plot->tabCharts->count(), 3); // the spectrum, the load history and the rainflow matrix
    EXPECT_EQ(plot->windowTitle(), QStringLiteral("Spectrum plot - random_walk.txt"));
    EXPECT_TRUE(plot->isWindow());
    EXPECT_FALSE(plot->testAttribute(Qt::WA_QuitOnClose));

    // A later count in classes shows up in the open window, with its matrix.
    Parameters bins;
    bins.useBins = true;
    setParameters(*window, bins);
    window->btExecute->click();
    expectDataOfReport(plot->data(), report(*window));
    EXPECT_TRUE(plot->hasChart(SpectrumPlotWindow::Chart::FromToMatrix));
    EXPECT_EQ(plot->tabCharts->count(), 4);
    window->btSpectrumPlot->click();
    EXPECT_EQ(window->plotWindow(), plot);
}

// The rainflow matrix tab holds every counted cycle of the report on show,
// in both kinds, and each cell tells its count under the pointer.
TEST_F(PlotWindowTest, RainflowMatrixHoldsTheReportsCycles)
{
    auto window = startWindow();
    SpectrumPlotWindow* plot = plotOf(*window, "random_walk.txt");
    ASSERT_NE(plot, nullptr);
    RainflowMatrixTab& tab = *plot->tbRainflowMatrix;
    for (const bool bins : {false, true}) {
        Parameters p;
        p.useBins = bins;
        setParameters(*window, p);
        window->btExecute->click();
        plot->showChart(SpectrumPlotWindow::Chart::RainflowMatrix);
        // A count in load classes has its own from-to matrix: the tab offers range-mean only.
        EXPECT_EQ(tab.cbMatrixKind->count(), bins ? 1 : 2);
        EXPECT_EQ(tab.cbMatrixKind->findText(QStringLiteral("From-to")) >= 0, !bins);
        for (int kind = 0; kind < tab.cbMatrixKind->count(); ++kind) {
            tab.cbMatrixKind->setCurrentIndex(kind);
            const tessivo::fatigue::RainflowMatrix& m = tab.vwRainflowMatrix->matrix();
            long double total = 0.0L;
            for (const long double c : m.counts)
                total += c;
            EXPECT_EQ(total, static_cast<long double>(plot->data().totalCycles())) << bins << kind;
            ASSERT_EQ(m.rows(), 32u);
            // The centre of the fullest cell.
            const auto fullest =
                static_cast<std::size_t>(std::max_element(m.counts.begin(), m.counts.end()) - m.counts.begin());
            tab.vwRainflowMatrix->resize(800, 600);
            const QRectF area = rainflowMatrixArea(QRectF(tab.vwRainflowMatrix->rect()));
            const QPointF centre(area.left() + (fullest % m.columns() + 0.5) * area.width() / m.columns(),
                                 area.bottom() - (fullest / m.columns() + 0.5) * area.height() / m.rows());
            EXPECT_TRUE(tab.vwRainflowMatrix->cellText(centre).startsWith(
                QString::number(static_cast<double>(m.counts[fullest])) + QStringLiteral(" cycles")));
            EXPECT_TRUE(tab.vwRainflowMatrix->cellText(QPointF(1, 1)).isEmpty());
        }
    }
}

TEST_F(PlotWindowTest, ChartsExportAsPngSvgAndClipboardPictures)
{
    auto window = startWindow();
    Parameters bins;
    bins.useBins = true;
    SpectrumPlotWindow* plot = plotOf(*window, "random_walk.txt", bins);
    for (const auto chart : {SpectrumPlotWindow::Chart::LoadSpectrum, SpectrumPlotWindow::Chart::FromToMatrix,
                             SpectrumPlotWindow::Chart::Signal, SpectrumPlotWindow::Chart::RainflowMatrix}) {
        SCOPED_TRACE(static_cast<int>(chart));
        plot->showChart(chart);
        ASSERT_EQ(plot->currentChart(), chart);
        const QString png = dir() + QStringLiteral("/plot");
        QStringList filters;
        answer = [&](QDialog& dialog) {
            auto& files = static_cast<QFileDialog&>(dialog);
            filters = files.nameFilters();
            files.selectFile(png);
            return true;
        };
        plot->btSavePng->click();
        EXPECT_EQ(filters, QStringList{QStringLiteral("PNG image (*.png)")});
        QImage image(png + QStringLiteral(".png"), "PNG");
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), kChartExportSize);
        EXPECT_GT(inkedShare(image), 0.01);

        answer = [&](QDialog& dialog) {
            static_cast<QFileDialog&>(dialog).selectFile(dir() + QStringLiteral("/plot.svg"));
            return true;
        };
        plot->btSaveSvg->click();
        QFile svg(dir() + QStringLiteral("/plot.svg"));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
        const QByteArray content = svg.readAll();
        EXPECT_TRUE(content.contains("<svg"));
        EXPECT_TRUE(content.contains("viewBox=\"0 0 960 640\""));
        EXPECT_TRUE(content.contains("</svg>"));
        // Named after the file and the count; every font with a generic fallback.
        EXPECT_TRUE(content.contains("<title>")
                    && content.contains("random_walk.txt - filter size 0.00, not normalized, "
                                        "32 x 32 load bins, decomposition into cycles"));
        static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
        int families = 0;
        for (auto it = family.globalMatch(QString::fromUtf8(content)); it.hasNext(); ++families)
            EXPECT_TRUE(it.next().captured(1).endsWith(QStringLiteral(", sans-serif")));
        EXPECT_GT(families, 0);

        plot->btCopy->click();
        EXPECT_EQ(QApplication::clipboard()->image().size(), kChartExportSize);
    }
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
}

// With one cycle of the largest range the curve's first step ends at N = 1:
// it must still be a line of its own, clear of the frame's left and top edges.
TEST(LoadSpectrumChart, LargestCycleIsClearOfTheFrame)
{
    SpectrumPlotData data;
    data.steps = {{10.0L, 1, 1}, {4.0L, 5, 6}};
    const QImage image = renderChart([&](QPainter& p, const QRectF& r) { paintLoadSpectrum(p, r, data, u'.'); });
    const QRgb curve = qRgb(0x1f, 0x4e, 0x9a);
    int top = -1;
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height() && top < 0; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == curve) {
                top = y;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    ASSERT_GE(top, 0);
    EXPECT_GE(right - left, 8) << "the largest cycle's step has a visible length";
    // The frame's top edge is the ink row above the curve; the curve is below it.
    int frameTop = -1;
    for (int y = top; y >= 0 && frameTop < 0; --y) {
        const QRgb pixel = image.pixel(left + (right - left) / 2, y);
        const bool grey = qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel); // not the curve's blue
        if (grey && qGray(pixel) < 180)
            frameTop = y;
    }
    EXPECT_GE(top - frameTop, 6) << "headroom above the largest range";
}

TEST_F(PlotWindowTest, FailedSaveIsReportedAndReplacesNothing)
{
    auto window = startWindow();
    SpectrumPlotWindow* plot = plotOf(*window, "worked_example.txt");
    const QString target = dir() + QStringLiteral("/missing/plot.png");
    answer = [&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(target);
        QDir(dir()).rmdir(QStringLiteral("missing")); // gone after the choice
        return true;
    };
    ASSERT_TRUE(QDir(dir()).mkdir(QStringLiteral("missing")));
    plot->btSavePng->click();
    ASSERT_EQ(notifier.generalErrors.size(), 1);
    EXPECT_TRUE(notifier.generalErrors[0].startsWith(QStringLiteral("Cannot create file \"%1\".").arg(target)))
        << notifier.generalErrors[0].toStdString();
    answer = [](QDialog&) { return false; };
    plot->btSaveSvg->click();
    EXPECT_EQ(notifier.generalErrors.size(), 1);
}

struct LinearCase {
    double from, to;
    int maxTicks;
    double min, max, step;
};

TEST(ChartAxes, LinearAxisHasRoundEndsAndSteps)
{
    const LinearCase cases[] = {
        {0.0, 6.0, 8, 0.0, 6.0, 1.0},       {0.0, 1.0, 8, 0.0, 1.0, 0.2},   {0.0, 0.667, 8, 0.0, 0.7, 0.1},
        {0.0, 1234.5, 8, 0.0, 1400.0, 200}, {-5.0, 20.0, 6, -5.0, 20.0, 5}, {-0.25, 1.0, 6, -0.5, 1.0, 0.5},
        {0.0, 0.0, 8, 0.0, 1.0, 0.2},       {3.0, 3.0, 4, 3.0, 4.0, 0.5},
    };
    for (const LinearCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to);
        const LinearAxis axis = linearAxis(c.from, c.to, c.maxTicks);
        EXPECT_NEAR(axis.min, c.min, 1e-12);
        EXPECT_NEAR(axis.max, c.max, 1e-9);
        EXPECT_NEAR(axis.step, c.step, 1e-12);
        ASSERT_FALSE(axis.ticks.empty());
        EXPECT_NEAR(axis.ticks.front(), axis.min, 1e-12);
        EXPECT_NEAR(axis.ticks.back(), axis.max, 1e-9);
        EXPECT_LE(static_cast<int>(axis.ticks.size()) - 1, c.maxTicks);
    }
}

TEST(ChartAxes, TickLabelsAndDecades)
{
    EXPECT_EQ(linearTickLabel(0.30000000000000004, 0.1, u'.'), QStringLiteral("0.3"));
    EXPECT_EQ(linearTickLabel(1200.0, 200.0, u','), QStringLiteral("1200"));
    EXPECT_EQ(linearTickLabel(0.25, 0.05, u','), QStringLiteral("0,25"));
    EXPECT_EQ(linearTickLabel(-1e-17, 0.2, u'.'), QStringLiteral("0.0"));
    EXPECT_EQ(linearTickLabel(-0.4, 0.2, u'.'), QStringLiteral("-0.4"));
    const std::pair<double, int> decades[] = {{0.0, 1},  {1.0, 1},    {3.0, 1},   {10.0, 1},
                                              {11.0, 2}, {1000.0, 3}, {1001.0, 4}};
    for (const auto& [largest, last] : decades) {
        EXPECT_EQ(logAxis(largest).firstDecade, 0) << largest;
        EXPECT_EQ(logAxis(largest).lastDecade, last) << largest;
    }
}

TEST(ChartAxes, HeatColoursRunFromVioletToYellow)
{
    EXPECT_EQ(heatColour(0, 50), QColor(Qt::white));
    EXPECT_EQ(heatColour(1, 50), QColor(0x44, 0x01, 0x54));
    EXPECT_EQ(heatColour(50, 50), QColor(0xfd, 0xe7, 0x25));
    EXPECT_EQ(heatColour(1, 1), QColor(0xfd, 0xe7, 0x25)); // one count is the largest
    EXPECT_GT(heatColour(10, 50).greenF(), heatColour(2, 50).greenF());
}

TEST(ProposedFileNames, OnePerColumnAndChart)
{
    struct Case {
        const char* label;
        const char* what;
        const char* name;
    };
    const Case cases[] = {
        {"/data/wisperx.txt", "", "wisperx"},
        {"/data/wisperx.txt", "Load spectrum", "wisperx_load_spectrum"},
        {"/data/loads.csv : RootMyc1", "", "loads_RootMyc1"},
        {"/data/loads.csv : RootMyc1", "From-to matrix", "loads_RootMyc1_from-to_matrix"},
        {"/data/loads.csv : Blade root (kN m)", "S-N curve", "loads_Blade_root_kN_m_s-n_curve"},
        {"", "", "report"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(proposedBaseName(QString::fromUtf8(c.label), QString::fromUtf8(c.what)), QString::fromUtf8(c.name))
            << c.name;
}

TEST_F(PlotWindowTest, SaveProposesANameForTheChartOnShow)
{
    auto window = startWindow();
    Parameters p;
    p.useBins = true;
    SpectrumPlotWindow* plot = plotOf(*window, "random_walk.txt", p);
    ASSERT_NE(plot, nullptr);
    QStringList proposed;
    answer = [&](QDialog& dialog) {
        proposed << static_cast<QFileDialog&>(dialog).selectedFiles().value(0).section(u'/', -1);
        return false;
    };
    for (const auto chart : {SpectrumPlotWindow::Chart::LoadSpectrum, SpectrumPlotWindow::Chart::FromToMatrix}) {
        plot->showChart(chart);
        plot->btSavePng->click();
    }
    EXPECT_EQ(proposed, (QStringList{QStringLiteral("random_walk_load_spectrum.png"),
                                     QStringLiteral("random_walk_from-to_matrix.png")}));
}

TEST_F(PlotWindowTest, MatrixTextHoldsEveryCountedCycle)
{
    auto window = startWindow();
    Parameters p;
    p.useBins = true;
    SpectrumPlotWindow* plot = plotOf(*window, "random_walk.txt", p);
    ASSERT_NE(plot, nullptr);
    for (const MatrixTextFormat format : {kCsvFormat, MatrixTextFormat{u'\t', u','}}) {
        const QStringList lines = fromToMatrixText(plot->data(), format).split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 33);
        EXPECT_EQ(lines[0].split(format.fieldSeparator).size(), 33);
        std::int64_t total = 0;
        for (qsizetype r = 1; r < lines.size(); ++r) {
            const QStringList cells = lines[r].split(format.fieldSeparator);
            for (qsizetype c = 1; c < cells.size(); ++c)
                total += cells[c].toLongLong();
        }
        std::int64_t cells = 0;
        for (const std::int32_t n : plot->data().matrix)
            cells += n;
        EXPECT_EQ(total, cells);
    }
}

} // namespace
