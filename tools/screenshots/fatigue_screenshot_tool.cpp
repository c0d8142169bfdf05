// Saves pictures of the fatigue window under a real X server with a window
// manager (scripts/screenshots runs it):
//   tessivo_fatigue_screenshot <folder> <table-file> <column> <weights-file>
// The column of the table is imported and counted, then checked as the
// manual's worked lifetime checks it (DNV-D, stress factor 0.00131, SCF 1.2,
// thickness 27, DFF 2, DELs 3 4 5 at 1 Hz). fatigue.png shows the code
// check over the table of cycles, fatigue_plot.png the S-N plot,
// fatigue_other.png the tab "Other counts" and fatigue_lifetime.png the
// lifetime of the weights table over 20 years. Each picture is the window
// with its frame, cut from the screen.
#include "support/app_identity.h"
#include "fatigue/fatigue_window.h"
#include "fatigue/lifetime_panel.h"
#include "import/table_import_dialog.h"
#include "main_window/main_window.h"
#include "spectrum/spectrum_plot_window.h"
#include "screenshot_support.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

namespace {

void fillCheck(FatigueWindow& fatigue)
{
    fatigue.cbCurve->setCurrentIndex(fatigue.cbCurve->findData(QStringLiteral("DNV-D")));
    fatigue.edLoadFactor->setText(QStringLiteral("0.00131"));
    fatigue.edScf->setText(QStringLiteral("1.2"));
    fatigue.edThickness->setText(QStringLiteral("27"));
    fatigue.edDff->setText(QStringLiteral("2"));
    fatigue.edDel->setText(QStringLiteral("3 4 5"));
    fatigue.edDelFrequency->setText(QStringLiteral("1"));
}

// Counts the lifetime and waits for its end; false when nothing came of it.
bool countLifetime(LifetimePanel& panel, const QString& weights, const QString& column)
{
    panel.edWeights->setText(weights);
    panel.edDesignLife->setText(QStringLiteral("20"));
    panel.edLifetimeColumn->setText(column);
    QEventLoop loop;
    QObject::connect(&panel, &LifetimePanel::counted, &loop, &QEventLoop::quit);
    panel.count();
    if (panel.counting())
        loop.exec();
    return panel.result().has_value();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (argc < 5)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const QString table = QString::fromLocal8Bit(argv[2]);
    const QString column = QString::fromLocal8Bit(argv[3]);
    const QString weights = QString::fromLocal8Bit(argv[4]);
    int status = 0;
    TfrmMain* main = nullptr;
    const auto grab = [&](QWidget& window, const char* name) {
        if (main && main->plotWindow())
            main->plotWindow()->close();
        window.raise();
        if (!grabFramed(window, folder + QLatin1String(name)))
            status = 1;
    };
    MainWindowSeams seams;
    seams.runModal = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(table);
            return true;
        }
        auto* import = qobject_cast<TableImportDialog*>(&dialog);
        if (!import || !chooseColumn(*import, column)) {
            status = 1;
            return false;
        }
        return true;
    };
    TfrmMain window(seams);
    main = &window;
    window.show();
    QTimer::singleShot(800, &app, [&] {
        window.btImportTable->click();
        window.btExecute->click();
        window.btFatigue->click();
        FatigueWindow* fatigue = window.fatigueWindow();
        fatigue->move(40, 40);
        // A row of the cycles made current would open the plot window over this one.
        QObject::disconnect(fatigue, &FatigueWindow::cycleLineSelected, nullptr, nullptr);
        fillCheck(*fatigue);
        fatigue->tabResults->setCurrentIndex(0);
        grab(*fatigue, "fatigue.png");
        fatigue->tabResults->setCurrentIndex(1);
        grab(*fatigue, "fatigue_plot.png");
        fatigue->tabResults->setCurrentWidget(fatigue->pgOtherCounts);
        grab(*fatigue, "fatigue_other.png");
        fatigue->tabResults->setCurrentWidget(fatigue->pgLifetime);
        if (!countLifetime(*fatigue->pgLifetime, weights, column))
            status = 1;
        grab(*fatigue, "fatigue_lifetime.png");
        fatigue->close();
        window.close();
    });
    app.exec();
    return status;
}
