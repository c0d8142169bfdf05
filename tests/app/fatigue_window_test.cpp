// The fatigue window over the main window's last report: it takes the loads
// as counted even from a normalised report, updates at once when a choice
// changes, says why a bad choice gives no result, keeps the choices in the
// store and exports the table.

#include "command_fixture.h"
#include "fatigue/fatigue_window.h"
#include "fatigue/lifetime_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>

namespace {

void ownCurve(FatigueWindow& fatigue, const QString& text)
{
    fatigue.cbCurve->setCurrentIndex(0);
    fatigue.edOwnCurve->setText(text);
}

} // namespace

TEST_F(CommandTest, FatigueWindowEvaluatesTheLoadsAsCountedAndUpdatesAtOnce)
{
    auto window = startWindow(u',');
    EXPECT_FALSE(window->btFatigue->isEnabled());
    open(*window, exampleFile("worked_example.txt"));
    Parameters p;
    p.normalize = true;
    setParameters(*window, p);
    window->btExecute->click();
    ASSERT_TRUE(window->btFatigue->isEnabled());
    window->btFatigue->click();
    FatigueWindow* fatigue = window->fatigueWindow();
    ASSERT_NE(fatigue, nullptr);

    // Ranges 6, 4, 2 (not 1, 2/3, 1/3) on N = 1e12 / S^3: D = 288e-12.
    ownCurve(*fatigue, QStringLiteral("m=3,logA=12"));
    fatigue->edDel->setText(QStringLiteral("3"));
    fatigue->edNeq->setText(QStringLiteral("10"));
    ASSERT_TRUE(fatigue->result().has_value()) << fatigue->lbStatus->text().toStdString();
    EXPECT_NEAR(static_cast<double>(fatigue->result()->totals.damage), 288e-12, 1e-24);
    EXPECT_EQ(fatigue->tvRows->model()->rowCount(), 3);
    EXPECT_EQ(fatigue->tvRows->model()->index(0, 0).data().toString(), QStringLiteral("6"));
    EXPECT_EQ(fatigue->twDel->item(0, 1)->text(), QStringLiteral("3,06524")); // (28.8)^(1/3), the window's comma

    // Amplitudes: every term an eighth.
    fatigue->cbMeasure->setCurrentIndex(1);
    EXPECT_NEAR(static_cast<double>(fatigue->result()->totals.damage), 36e-12, 1e-24);

    // A bad value names itself and takes away only what needs it: without
    // Su no damage, but the damage-equivalent loads stay; mending it brings
    // the damage back.
    fatigue->cbMeanStress->setCurrentIndex(fatigue->cbMeanStress->findData(QStringLiteral("goodman")));
    EXPECT_EQ(fatigue->cbMeanStress->currentText(), QStringLiteral("Goodman"));
    ASSERT_TRUE(fatigue->result().has_value());
    EXPECT_EQ(fatigue->lbStatus->text(),
              QStringLiteral("The goodman mean-stress correction needs the ultimate strength (Su)"));
    EXPECT_TRUE(fatigue->lbTotals->text().contains(QStringLiteral("no S-N curve")));
    EXPECT_EQ(fatigue->twDel->item(0, 1)->text(), QStringLiteral("1,53262")); // of the amplitudes
    fatigue->edMaterial->setText(QStringLiteral("100,5"));
    EXPECT_TRUE(fatigue->lbTotals->text().contains(QStringLiteral("Damage D = ")));
    EXPECT_EQ(fatigue->lbStatus->text(), QString());
}

TEST_F(CommandTest, FatigueChoicesAreKeptAndTheTableExports)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    window->btExecute->click();
    window->btFatigue->click();
    FatigueWindow* fatigue = window->fatigueWindow();
    ASSERT_NE(fatigue, nullptr);
    fatigue->cbCurve->setCurrentIndex(fatigue->cbCurve->findData(QStringLiteral("DNV-D")));
    fatigue->edDuration->setText(QStringLiteral("600"));
    fatigue->edThickness->setText(QStringLiteral("40"));
    fatigue->edThicknessRef->setText(QStringLiteral("32"));
    fatigue->edThicknessExponent->setText(QStringLiteral("0.3"));
    fatigue->edSizeFactor->setText(QStringLiteral("0.9"));
    fatigue->edCompressiveShare->setText(QStringLiteral("0.6"));
    fatigue->pgLifetime->edWeights->setText(QStringLiteral("weights.csv"));
    fatigue->pgLifetime->edDesignLife->setText(QStringLiteral("25"));
    fatigue->pgLifetime->edLifetimeColumn->setText(QStringLiteral("TwrBsMyt"));
    fatigue->pgLifetime->edRecordingDuration->setText(QStringLiteral("60"));
    const FatigueChoices chosen = fatigue->choices();
    EXPECT_EQ(chosen.thicknessRef, QStringLiteral("32"));
    EXPECT_EQ(chosen.recordingDuration, QStringLiteral("60"));
    fatigue->close();
    EXPECT_EQ(loadFatigueChoices(storePath()), chosen);

    FatigueWindow again(nullptr, FatigueWindowSeams{{}, {}, storePath(), u'.'});
    EXPECT_EQ(again.choices(), chosen);

    const QString file = dir() + QStringLiteral("/rows.csv");
    fatigue->saveCsv(file);
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_EQ(lines.value(0), QByteArray("range,upper,lower,count,load,allowed,damage,share"));
    EXPECT_TRUE(lines.value(1).startsWith("6,6,0,1,6,")) << lines.value(1).toStdString();
}

TEST_F(CommandTest, FatigueOwnCurveReadsFromItsStartWhenRestored)
{
    FatigueChoices stored;
    stored.ownCurve = QStringLiteral("m=3,S=71,N=2e6,Nknee=5e6,m2=5,Ncut=1e8,knee=same");
    FatigueWindow fatigue(nullptr, FatigueWindowSeams{{}, {}, storePath(), u'.'});
    fatigue.edOwnCurve->setCursorPosition(5);
    fatigue.setChoices(stored);
    EXPECT_EQ(fatigue.edOwnCurve->text(), stored.ownCurve);
    // Set at its end, a narrow field would show the curve's tail without "m=3".
    EXPECT_EQ(fatigue.edOwnCurve->cursorPosition(), 0);
}
