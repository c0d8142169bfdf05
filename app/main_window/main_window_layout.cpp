// The main window's components, at the positions and sizes of its design
// (pixels at 96 dots per inch, relative to the parent's client area).
#include "main_window/main_window.h"

#include "support/app_identity.h"
#include "main_window/caption_extent.h"
#include "engine/run/choices.h"
#include "edit_float.h"
#include "support/file_dialogs.h"
#include "about/link_label.h"
#include "report/report_pane.h"
#include "win_restorer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace {

constexpr int kClientWidth = 608;
constexpr int kClientHeight = 734;

// The layout puts a group's first row 16 pixels below its top edge, which
// fits a frame whose line runs through the middle of the caption; the
// default style's frame would start below the caption and cross that row.
const QString kGroupBoxStyle =
    QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
                   "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px;"
                   " padding: 0px; background-color: palette(window); }");

template <class W>
W* placed(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QFrame* panel(QWidget* window, const char* name, int top, int height)
{
    auto* frame = placed(new QFrame(window), name, 0, top, kClientWidth, height);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

QFont fontOf(const char* family, int pixels)
{
    QFont font{QString::fromLatin1(family)};
    font.setPixelSize(pixels);
    return font;
}

// Liberation Sans is a little wider than the design's font: a caption that
// does not fit widens its control rather than being clipped.
template <class B>
B* fitted(B* button)
{
    button->resize(std::max(button->width(), captionExtent(button)), button->height());
    return button;
}

QString residueLabel(tessivo::ResidueMethod method)
{
    for (const auto& choice : tessivo::residueChoices()) {
        if (choice.value == method)
            return QString::fromLatin1(choice.label);
    }
    return {};
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top, int height)
{
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    return placed(l, name, left, top, l->sizeHint().width(), height);
}

} // namespace

void TfrmMain::createWindow()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kApplicationTitle);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setStyleSheet(kGroupBoxStyle);
    setFont(fontOf("MS Sans Serif", 11));
    wrMain = new morvane::TWinRestorer(this);
    wrMain->setObjectName(QStringLiteral("wrMain"));
}

void TfrmMain::createLogoPanel()
{
    pnlLogo = panel(this, "pnlLogo", 0, 57);
    pnlLogo->setAutoFillBackground(true);
    QPalette white = pnlLogo->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlLogo->setPalette(white);

    imLogo = placed(new QLabel(pnlLogo), "imLogo", 0, 0, 345, 57);
    imLogo->setAlignment(Qt::AlignCenter);
    imLogo->setPixmap(QPixmap(QStringLiteral(":/tessivo/tessivo_logo.jpg"))
                          .scaled(imLogo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    lbAbout = new LinkLabel(QStringLiteral("About & Help"), pnlLogo);
    lbAbout->styleAsLink(fontOf("MS Sans Serif", 13));
    placed(lbAbout, "lbAbout", 504, 32, lbAbout->sizeHint().width(), 16);
}

void TfrmMain::createInputPanel()
{
    pnlInput = panel(this, "pnlInput", 57, 64);
    gbSequenceFile =
        placed(new QGroupBox(QStringLiteral(" Sequence File "), pnlInput), "gbSequenceFile", 8, 8, 592, 49);
    btOpenSeqFile = placed(new QPushButton(QStringLiteral("Open"), gbSequenceFile), "btOpenSeqFile", 8, 16, 75, 25);
    btImportTable =
        placed(new QPushButton(QStringLiteral("Import..."), gbSequenceFile), "btImportTable", 88, 16, 75, 25);
    // As wide as the group leaves; a longer path is shortened in its middle.
    lbSeqFile = placed(new QLabel(gbSequenceFile), "lbSeqFile", 176, 21, 592 - 176 - 8, 13);
    lbSeqFile->setTextFormat(Qt::PlainText);
}

void TfrmMain::createParameterPanel()
{
    pnlParameters = panel(this, "pnlParameters", 121, 174);
    auto* gb = placed(new QGroupBox(QStringLiteral(" Rainflow Counting Parameters "), pnlParameters), "gbRFCParamaters",
                      8, 1, 592, 168);
    gbRFCParamaters = gb;
    Label1 = label(gb, "Label1", QStringLiteral("Filter size:"), 8, 20, 13);
    edFilter = placed(new morvane::TEditFloat(gb), "edFilter", 64, 17, 65, 21);
    if (m_seams.decimalSeparator)
        edFilter->setDecimalSeparator(*m_seams.decimalSeparator);
    cbNormalize =
        fitted(placed(new QCheckBox(QStringLiteral("Normalize Spectrum"), gb), "cbNormalize", 8, 44, 161, 17));
    cbMatrix = fitted(placed(new QCheckBox(QStringLiteral("Use Load Bins:"), gb), "cbMatrix", 8, 68, 97, 17));
    cbLoadBinSize = placed(new QComboBox(gb), "cbLoadBinSize", 104, 66, 113, 21);
    cbLoadBinSize->setEditable(true);
    cbLoadBinSize->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& binCount : tessivo::binCountChoices())
        cbLoadBinSize->addItem(QString::fromLatin1(binCount.label));
    // Opt-ins beyond the design, placed where its controls leave room.
    cbUnlimited =
        fitted(placed(new QCheckBox(QStringLiteral("Exact loads at any length"), gb), "cbUnlimited", 232, 68, 161, 17));
    cbUnlimited->setToolTip(QStringLiteral("No switch to load bins from %1 values on, and no limit to the cycles")
                                .arg(QLocale().toString(tessivo::MatrixThreshold)));
    lbDecomposition = label(gb, "lbDecomposition", QStringLiteral("Residue handling:"), 8, 94, 13);
    rbDecomposition = fitted(
        placed(new QRadioButton(QStringLiteral("Decomposition into cycles"), gb), "rbDecomposition", 32, 116, 153, 17));
    rbUpward = fitted(placed(new QRadioButton(QStringLiteral("Use upward half cycles as complete cycles"), gb),
                             "rbUpward", 32, 140, 225, 17));
    rbHalf = fitted(placed(new QRadioButton(residueLabel(tessivo::ResidueMethod::Half), gb), "rbHalf",
                           std::max(300, rbUpward->x() + rbUpward->width() + 16), 140, 153, 17));
}

void TfrmMain::createExecutePanel()
{
    pnlExecute = panel(this, "pnlExecute", 295, 64);
    gbExecute = placed(new QGroupBox(QStringLiteral(" Rainflow Counting "), pnlExecute), "gbExecute", 8, 8, 592, 49);
    btExecute = placed(new QPushButton(QStringLiteral("Execute"), gbExecute), "btExecute", 8, 16, 75, 25);
    btExecute->setEnabled(false);
    btSpectrumPlot =
        placed(new QPushButton(QStringLiteral("Spectrum plot"), gbExecute), "btSpectrumPlot", 91, 16, 75, 25);
    btSpectrumPlot->resize(std::max(btSpectrumPlot->width(), btSpectrumPlot->sizeHint().width()),
                           btSpectrumPlot->height());
    btSpectrumPlot->setEnabled(false);
    btFatigue = placed(new QPushButton(QStringLiteral("Fatigue..."), gbExecute), "btFatigue",
                       btSpectrumPlot->x() + btSpectrumPlot->width() + 8, 16, 75, 25);
    btFatigue->resize(std::max(btFatigue->width(), btFatigue->sizeHint().width()), btFatigue->height());
    btFatigue->setEnabled(false);
    btChannels = placed(new QPushButton(QStringLiteral("Channels..."), gbExecute), "btChannels",
                        btFatigue->x() + btFatigue->width() + 8, 16, 75, 25);
    btChannels->resize(std::max(btChannels->width(), btChannels->sizeHint().width()), btChannels->height());
    btChannels->setToolTip(QStringLiteral("Count every column of a table at once"));
}

void TfrmMain::createResultsPanel()
{
    pnlResults = panel(this, "pnlResults", 359, kClientHeight - 359);
    gbResults = placed(new QGroupBox(QStringLiteral(" Results "), pnlResults), "gbResults", 8, 4, 592, 365);
    reReport = placed(new ReportPane(gbResults), "reReport", 8, 16, 577, 341);
    reReport->setFont(fontOf("Tahoma", 13));
    reReport->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reReport->setLineWrapMode(QTextEdit::WidgetWidth);
    reReport->setContextMenuPolicy(Qt::CustomContextMenu);

    pumResults = new QMenu(this);
    pumResults->setObjectName(QStringLiteral("pumResults"));
    Print1 = pumResults->addAction(QStringLiteral("Print"));
    Print1->setObjectName(QStringLiteral("Print1"));
    Copy1 = pumResults->addAction(QStringLiteral("Copy"));
    Copy1->setObjectName(QStringLiteral("Copy1"));
    Save1 = pumResults->addAction(QStringLiteral("Save"));
    Save1->setObjectName(QStringLiteral("Save1"));
}

void TfrmMain::createDialogs()
{
    dlgOpenSeq = new QFileDialog(this);
    dlgOpenSeq->setObjectName(QStringLiteral("dlgOpenSeq"));
    dlgOpenSeq->setFileMode(QFileDialog::ExistingFile);
    dlgSave = new QFileDialog(this);
    dlgSave->setObjectName(QStringLiteral("dlgSave"));
    dlgSave->setAcceptMode(QFileDialog::AcceptSave);
    prepareFileDialog(*dlgOpenSeq);
    prepareFileDialog(*dlgSave);
    // One printer for the program's run, so the dialog keeps the user's choice.
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Paper margins until the user sets others in the page setup.
    m_printer->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    dlgPrint = new QPrintDialog(m_printer.get(), this);
    dlgPrint->setObjectName(QStringLiteral("dlgPrint"));
    // The report is printed whole: no page range, no selection.
    dlgPrint->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize
                         | QAbstractPrintDialog::PrintCollateCopies);
}

void TfrmMain::setTabOrders()
{
    QWidget* const chain[] = {btOpenSeqFile, btImportTable,  edFilter,        cbNormalize, cbMatrix,
                              cbLoadBinSize, cbUnlimited,    rbDecomposition, rbUpward,    rbHalf,
                              btExecute,     btSpectrumPlot, btFatigue,       btChannels,  reReport};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TfrmMain::connectEvents()
{
    connect(btOpenSeqFile, &QPushButton::clicked, this, &TfrmMain::btOpenSeqFileClick);
    connect(btImportTable, &QPushButton::clicked, this, &TfrmMain::btImportTableClick);
    connect(btExecute, &QPushButton::clicked, this, &TfrmMain::btExecuteClick);
    connect(lbAbout, &LinkLabel::clicked, this, &TfrmMain::lbAboutClick);
    connect(Print1, &QAction::triggered, this, &TfrmMain::Print1Click);
    connect(Copy1, &QAction::triggered, this, &TfrmMain::Copy1Click);
    connect(Save1, &QAction::triggered, this, &TfrmMain::Save1Click);
    connect(btSpectrumPlot, &QPushButton::clicked, this, &TfrmMain::btSpectrumPlotClick);
    connect(btFatigue, &QPushButton::clicked, this, &TfrmMain::btFatigueClick);
    connect(btChannels, &QPushButton::clicked, this, &TfrmMain::btChannelsClick);
    connect(reReport, &QWidget::customContextMenuRequested, this, &TfrmMain::showReportMenu);
    connect(reReport, &QTextEdit::cursorPositionChanged, this, &TfrmMain::reReportCursorMoved);
    connect(m_document, &CountDocument::opened, this, &TfrmMain::showOpenedSequence);
    connect(m_document, &CountDocument::counted, this, &TfrmMain::showCount);
    // A file dropped anywhere opens, also onto the controls that take text.
    setAcceptDrops(true);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }
}

namespace {

// "Open a sequence file (Ctrl+O)": the keys as the desktop writes them.
QString withShortcuts(const QString& text, const QAction& action)
{
    QStringList keys;
    for (const QKeySequence& key : action.shortcuts())
        keys << key.toString(QKeySequence::NativeText);
    return keys.isEmpty() ? text : text + QStringLiteral(" (") + keys.join(QStringLiteral(" or ")) + u')';
}

} // namespace

void TfrmMain::createShortcuts()
{
    acOpen = new QAction(QStringLiteral("Open"), this);
    acOpen->setObjectName(QStringLiteral("acOpen"));
    acOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addAction(acOpen);
    connect(acOpen, &QAction::triggered, this, &TfrmMain::btOpenSeqFileClick);

    acImport = new QAction(QStringLiteral("Import"), this);
    acImport->setObjectName(QStringLiteral("acImport"));
    acImport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    addAction(acImport);
    connect(acImport, &QAction::triggered, this, &TfrmMain::btImportTableClick);

    acExecute = new QAction(QStringLiteral("Execute"), this);
    acExecute->setObjectName(QStringLiteral("acExecute"));
    acExecute->setShortcuts({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_E)});
    addAction(acExecute);
    connect(acExecute, &QAction::triggered, this, &TfrmMain::executeShortcut);

    // Print and Save answer their keys anywhere in the window. Ctrl+C is the
    // Copy command only while the pane has the focus (it copies the
    // selection as well); elsewhere it copies the field's own text.
    Print1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Copy1->setShortcuts(QKeySequence::Copy);
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    for (QAction* action : {Print1, Copy1, Save1}) {
        action->setShortcutContext(action == Copy1 ? Qt::WidgetWithChildrenShortcut : Qt::WindowShortcut);
        reReport->addAction(action);
    }

    btOpenSeqFile->setToolTip(withShortcuts(QStringLiteral("Open a sequence file"), *acOpen));
    btExecute->setToolTip(withShortcuts(QStringLiteral("Count the load cycles"), *acExecute));
    Print1->setToolTip(withShortcuts(QStringLiteral("Print the report"), *Print1));
    Copy1->setToolTip(withShortcuts(QStringLiteral("Copy the report or its selection"), *Copy1));
    Save1->setToolTip(withShortcuts(QStringLiteral("Save the report as a Rich Text Format file"), *Save1));
    pumResults->setToolTipsVisible(true);
}
