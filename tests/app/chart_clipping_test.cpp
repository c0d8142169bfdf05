// The charts' curves, bands and bars stay inside the plot frame, and the
// largest cycle of the S-N plot shows as a step of its own, clear of the
// left axis: checked on the rendered pixels, with the frame found in the
// picture itself.
#include "charts/chart_view.h"
#include "command_fixture.h"
#include "fatigue/other_counts_chart.h"
#include "fatigue/sn_curve_chart.h"
#include "signal/signal_chart.h"
#include "signal/signal_view.h"
#include "spectrum/spectrum_plot_window.h"

#include "engine/fatigue/sn_curve_text.h"

#include <QImage>
#include <QPainter>

namespace {

// A pixel of a curve, band or bar: clearly coloured, where the frame, grid,
// labels and background are grey.
bool coloured(QRgb p)
{
    const int high = std::max({qRed(p), qGreen(p), qBlue(p)});
    const int low = std::min({qRed(p), qGreen(p), qBlue(p)});
    return high - low > 40;
}

bool frameInk(QRgb p)
{
    return !coloured(p) && std::abs(qRed(p) - qBlue(p)) < 12 && qGray(p) < 200;
}

// The plot frame: the column and row in each half of the picture that hold
// the most dark grey pixels (the frame's edges run the plot's whole length;
// grid lines are lighter, tick labels short).
QRect frameOf(const QImage& image)
{
    const auto best = [](int from, int to, const auto& count) {
        int at = from, most = -1;
        for (int i = from; i < to; ++i) {
            if (const int n = count(i); n > most) {
                most = n;
                at = i;
            }
        }
        return at;
    };
    const auto column = [&image](int x) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            n += frameInk(image.pixel(x, y));
        return n;
    };
    const auto row = [&image](int y) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += frameInk(image.pixel(x, y));
        return n;
    };
    const int w = image.width(), h = image.height();
    return QRect(QPoint(best(0, w / 2, column), best(0, h / 2, row)),
                 QPoint(best(w / 2, w, column), best(h / 2, h, row)));
}

struct Spill {
    int inside = 0;  // coloured pixels inside the frame
    int outside = 0; // and outside it (a pixel of antialiasing allowed)
    int atEdge = 0;  // inside, within 3 pixels of the frame
    QPoint firstOutside;
};

Spill spillOf(const QImage& image)
{
    const QRect frame = frameOf(image);
    const QRect allowed = frame.adjusted(-1, -1, 1, 1);
    const QRect inner = frame.adjusted(3, 3, -3, -3);
    Spill s;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!coloured(image.pixel(x, y)))
                continue;
            if (!allowed.contains(x, y)) {
                if (s.outside++ == 0)
                    s.firstOutside = QPoint(x, y);
            } else {
                ++s.inside;
                s.atEdge += !inner.contains(x, y);
            }
        }
    }
    return s;
}

void expectInsideTheFrame(const QImage& image, const char* what)
{
    const Spill s = spillOf(image);
    EXPECT_GT(s.inside, 100) << what << ": nothing drawn";
    EXPECT_GT(s.atEdge, 0) << what << ": the drawing should run up to the frame, or the case proves nothing";
    EXPECT_EQ(s.outside, 0) << what << ": first at " << s.firstOutside.x() << ", " << s.firstOutside.y()
                            << " with the frame " << frameOf(image).x() << ", " << frameOf(image).y() << ", "
                            << frameOf(image).right() << ", " << frameOf(image).bottom();
}

TEST(ChartClipping, SnCurveAndSpectrumStayInTheFrame)
{
    // On N = 1e12 / S^3 the curve climbs past the top decade before N = 1,
    // where the frame begins; the spectrum's loads lie far below the curve.
    SnChartData data;
    data.curve = tessivo::fatigue::SnCurve(tessivo::fatigue::parseSnCurveText("m=3,logA=12"));
    data.steps = {{10.0L, 1.0L}, {5.0L, 30.0L}, {2.0L, 400.0L}};
    expectInsideTheFrame(renderChart([&](QPainter& p, const QRectF& r) { paintSnChart(p, r, data); }), "S-N curve");
}

// With one cycle of the largest load the spectrum's first step ends at
// N = 1: it must be a line of its own, clear of the left axis and below the top.
TEST(ChartClipping, LargestCycleOfTheSnPlotIsClearOfTheAxis)
{
    for (const bool curve : {false, true}) {
        SCOPED_TRACE(curve ? "with a curve" : "spectrum alone");
        SnChartData data;
        if (curve)
            data.curve = tessivo::fatigue::SnCurve(tessivo::fatigue::parseSnCurveText("m=3,S=71,N=2e6"));
        data.steps = {{100.0L, 1.0L}, {50.0L, 10.0L}};
        const QImage image = renderChart([&](QPainter& p, const QRectF& r) { paintSnChart(p, r, data); });
        const QRect frame = frameOf(image);
        const QRgb blue = qRgb(0x1f, 0x4e, 0x9a);
        int top = -1, right = -1;
        for (int y = frame.top(); y <= frame.bottom() && top < 0; ++y) {
            for (int x = frame.left(); x <= frame.left() + frame.width() / 3; ++x) {
                if (image.pixel(x, y) == blue) {
                    top = y;
                    right = std::max(right, x);
                }
            }
        }
        ASSERT_GE(top, 0) << "the spectrum is drawn";
        EXPECT_GE(right - frame.left(), 8) << "the largest cycle's step leaves the axis";
        EXPECT_GE(top - frame.top(), 3) << "the largest load is clear of the top";
    }
}

TEST_F(CommandTest, FilterBandsAndTheLoadHistoryStayInTheFrame)
{
    auto window = startWindow();
    open(*window, exampleFile("random_walk.txt"));
    Parameters p;
    p.filter = QStringLiteral("25.00");
    setParameters(*window, p);
    window->btExecute->click();
    window->btSpectrumPlot->click();
    const SignalData& data = window->plotWindow()->signalView().data();
    ASSERT_FALSE(data.empty());
    // A window inside the sequence: bands of reversals on either side reach
    // past its ends, and those of its peaks past the loads on show.
    const SignalWindow shown{100.0, 160.0};
    expectInsideTheFrame(
        renderChart([&](QPainter& painter, const QRectF& r) { paintSignal(painter, r, data, shown, -1, u'.'); }),
        "load history");
}

TEST(ChartClipping, OtherCountsBarsStayInTheFrame)
{
    std::vector<long double> values;
    for (int i = 0; i < 200; ++i)
        values.push_back((i % 7) * 3.0L - (i % 3) * 5.0L);
    for (const OtherCount kind : {OtherCount::LevelCrossings, OtherCount::RangePairs, OtherCount::TimeAtLevel}) {
        const OtherCountData data = otherCountOf(kind, values, 32, 0.01);
        expectInsideTheFrame(renderChart([&](QPainter& p, const QRectF& r) { paintOtherCount(p, r, data, u'.'); }),
                             otherCountTitle(kind).toUtf8().constData());
    }
    // A flat sequence has a span of zero: one class of width 1 holds it, and nothing crosses a level.
    const std::vector<long double> flat{5.0L, 5.0L, 5.0L};
    const OtherCountData time = otherCountOf(OtherCount::TimeAtLevel, flat, 4);
    ASSERT_EQ(time.bars.size(), 4u);
    EXPECT_EQ(time.bars.front().amount, 3.0);
    EXPECT_FALSE(time.seconds);
    for (const OtherCountBar& bar : otherCountOf(OtherCount::LevelCrossings, flat, 4).bars)
        EXPECT_EQ(bar.amount, 0.0);
}

} // namespace
