#include "charts/chart_window.h"

#include "charts/chart_painting.h"
#include "support/app_error.h"
#include "support/app_identity.h"
#include "support/error_guard.h"
#include "support/file_saving.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>

ChartWindow::ChartWindow(QWidget* owner, ChartWindowSeams seams)
    : QWidget(owner, Qt::Window)
    , m_chartSeams(std::move(seams))
{
    // Closing the main window ends the program, even with a chart still open.
    setAttribute(Qt::WA_QuitOnClose, false);
}

void ChartWindow::addChartButtons(QHBoxLayout* buttons, QFileDialog* saveDialog)
{
    m_saveDialog = saveDialog;
    m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    const auto button = [this, buttons](QPushButton*& target, const char* name, const QString& caption) {
        target = new QPushButton(caption, this);
        target->setObjectName(QLatin1String(name));
        buttons->addWidget(target);
    };
    button(btSavePng, "btSavePng", QStringLiteral("Save PNG..."));
    button(btSaveSvg, "btSaveSvg", QStringLiteral("Save SVG..."));
    button(btCopy, "btCopy", QStringLiteral("Copy"));
    connect(btSavePng, &QPushButton::clicked, this,
            [this] { saveAs(QStringLiteral("PNG image (*.png)"), QStringLiteral("png"), &ChartWindow::savePng); });
    connect(btSaveSvg, &QPushButton::clicked, this,
            [this] { saveAs(QStringLiteral("SVG image (*.svg)"), QStringLiteral("svg"), &ChartWindow::saveSvg); });
    connect(btCopy, &QPushButton::clicked, this, [this] { guarded([this] { copyImage(); }); });
}

void ChartWindow::saveAs(const QString& filter, const QString& suffix, void (ChartWindow::*save)(const QString&) const)
{
    guarded([&] {
        const QString fileName = chooseFile(filter, suffix);
        if (!fileName.isEmpty())
            (this->*save)(fileName);
    });
}

ChartPainter ChartWindow::exportedChart() const
{
    const ChartPainter chart = shownChart();
    const QString heading = exportHeading();
    if (heading.isEmpty())
        return chart;
    return [chart, heading](QPainter& painter, const QRectF& bounds) {
        constexpr double kBand = 26.0;
        painter.fillRect(bounds, Qt::white);
        painter.save();
        painter.setPen(kChartInk);
        painter.setFont(chartFont(13));
        const QRectF band(bounds.left() + 8.0, bounds.top() + 4.0, bounds.width() - 16.0, kBand - 4.0);
        painter.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, heading);
        painter.restore();
        chart(painter, bounds.adjusted(0.0, kBand, 0.0, 0.0));
    };
}

void ChartWindow::savePng(const QString& fileName) const
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!renderChart(exportedChart()).save(&buffer, "PNG"))
        throw AppError(QStringLiteral("Failed to Save Stream"));
    saveFileContent(fileName, png);
}

void ChartWindow::saveSvg(const QString& fileName) const
{
    saveFileContent(fileName, renderChartSvg(exportedChart(), exportHeading()));
}

QMimeData* ChartWindow::copiedData() const
{
    auto* data = new QMimeData;
    data->setImageData(renderChart(exportedChart()));
    return data;
}

void ChartWindow::copyImage() const
{
    QGuiApplication::clipboard()->setMimeData(copiedData());
}

void ChartWindow::guarded(const std::function<void()>& body)
{
    runGuarded(body, [this](const QString& message, const QString&) {
        if (m_chartSeams.reportError)
            m_chartSeams.reportError(message);
        else
            QMessageBox::critical(this, kApplicationTitle, message);
    });
}

QString ChartWindow::chooseFile(const QString& filter, const QString& suffix, const QString& baseName)
{
    m_saveDialog->setNameFilter(filter);
    m_saveDialog->setDefaultSuffix(suffix);
    m_saveDialog->selectFile((baseName.isEmpty() ? exportBaseName() : baseName) + u'.' + suffix);
    const bool accepted =
        m_chartSeams.runModal ? m_chartSeams.runModal(*m_saveDialog) : m_saveDialog->exec() == QDialog::Accepted;
    return accepted ? m_saveDialog->selectedFiles().value(0) : QString();
}
