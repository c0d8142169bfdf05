#include "import/table_import_dialog.h"

#include "engine/tables/cell_number.h"
#include "engine/tables/table_error.h"

#include <QBrush>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QFontDatabase>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewRows = 20;

std::string pathOf(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

QString text(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

tessivo::TableOverrides overridesOf(int delimiter, int decimal)
{
    using tessivo::Delimiter;
    tessivo::TableOverrides o;
    const Delimiter delimiters[] = {Delimiter::Comma, Delimiter::Semicolon, Delimiter::Tab, Delimiter::Blanks};
    if (delimiter >= 1 && delimiter <= 4)
        o.delimiter = delimiters[delimiter - 1];
    if (decimal == 1 || decimal == 2)
        o.decimal = decimal == 1 ? '.' : ',';
    return o;
}

} // namespace

TableImportDialog::TableImportDialog(const QString& fileName, const ImportChoices& choices, QWidget* parent)
    : QDialog(parent)
    , m_fileName(fileName)
{
    setObjectName(QStringLiteral("dlgImportTable"));
    setWindowTitle(QStringLiteral("Import a column of a table"));
    resize(720, 640); // room for the listing of the layout above the first rows

    lbFile = new QLabel(fileName, this);
    lbFile->setObjectName(QStringLiteral("lbFile"));
    lbFile->setTextFormat(Qt::PlainText);
    cbDelimiter = new QComboBox(this);
    cbDelimiter->setObjectName(QStringLiteral("cbDelimiter"));
    cbDelimiter->addItems({QStringLiteral("Detected"), QStringLiteral("Comma"), QStringLiteral("Semicolon"),
                           QStringLiteral("Tab"), QStringLiteral("Blanks")});
    cbDecimal = new QComboBox(this);
    cbDecimal->setObjectName(QStringLiteral("cbDecimal"));
    cbDecimal->addItems({QStringLiteral("Detected"), QStringLiteral("Point (1.5)"), QStringLiteral("Comma (1,5)")});
    lbLayout = new QLabel(this);
    lbLayout->setObjectName(QStringLiteral("lbLayout"));
    lbLayout->setTextFormat(Qt::PlainText);
    lbLayout->setWordWrap(true);
    teLayout = new QPlainTextEdit(this);
    teLayout->setObjectName(QStringLiteral("teLayout"));
    teLayout->setReadOnly(true);
    teLayout->setLineWrapMode(QPlainTextEdit::NoWrap);
    teLayout->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // the listing aligns its values
    teLayout->setMaximumHeight(14 * teLayout->fontMetrics().lineSpacing());
    twPreview = new QTableWidget(this);
    twPreview->setObjectName(QStringLiteral("twPreview"));
    twPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lwColumns = new QListWidget(this);
    lwColumns->setObjectName(QStringLiteral("lwColumns"));
    lwColumns->setSelectionMode(QAbstractItemView::SingleSelection);
    bbButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bbButtons->setObjectName(QStringLiteral("bbButtons"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File:"), lbFile);
    form->addRow(QStringLiteral("Delimiter:"), cbDelimiter);
    form->addRow(QStringLiteral("Decimal separator:"), cbDecimal);
    form->addRow(QStringLiteral("Read as:"), lbLayout);
    form->addRow(QStringLiteral("Detected:"), teLayout);
    auto* columns = new QHBoxLayout;
    columns->addWidget(twPreview, 3);
    auto* list = new QVBoxLayout;
    list->addWidget(new QLabel(QStringLiteral("Column to open:"), this));
    list->addWidget(lwColumns);
    columns->addLayout(list, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("First rows as read:"), this));
    layout->addLayout(columns, 1);
    layout->addWidget(bbButtons);

    cbDelimiter->setCurrentIndex(qBound(0, choices.delimiter, cbDelimiter->count() - 1));
    cbDecimal->setCurrentIndex(qBound(0, choices.decimal, cbDecimal->count() - 1));
    reread();
    fillColumns(choices.column);
    updateOk();

    connect(cbDelimiter, &QComboBox::currentIndexChanged, this, [this] {
        const QString kept = columnName();
        reread();
        fillColumns(kept);
        updateOk();
    });
    connect(cbDecimal, &QComboBox::currentIndexChanged, this, [this] {
        const QString kept = columnName();
        reread();
        fillColumns(kept);
        updateOk();
    });
    connect(lwColumns, &QListWidget::itemSelectionChanged, this, &TableImportDialog::updateOk);
    connect(bbButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(bbButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TableImportDialog::reread()
{
    m_layout.reset();
    teLayout->clear();
    try {
        const std::string path = pathOf(m_fileName);
        m_layout =
            tessivo::detectTableLayout(path, overridesOf(cbDelimiter->currentIndex(), cbDecimal->currentIndex()));
        lbLayout->setText(text(tessivo::describeLayout(*m_layout))
                          + (m_layout->compressed ? QStringLiteral(", gzip") : QString()));
        teLayout->setPlainText(text(tessivo::layoutListing(path, *m_layout)).trimmed());
    } catch (const std::exception& e) {
        lbLayout->setText(QString::fromUtf8(e.what()));
    }
    fillPreview();
}

void TableImportDialog::fillPreview()
{
    twPreview->clear();
    twPreview->setRowCount(0);
    twPreview->setColumnCount(0);
    if (!m_layout)
        return;
    const auto& columns = m_layout->columns;
    twPreview->setColumnCount(static_cast<int>(columns.size()));
    QStringList headings;
    for (std::size_t j = 0; j < columns.size(); ++j) {
        QString heading = text(tessivo::columnLabel(*m_layout, j));
        if (!columns[j].unit.empty())
            heading += u'\n' + text(columns[j].unit);
        headings << heading;
    }
    twPreview->setHorizontalHeaderLabels(headings);
    std::vector<std::vector<std::string>> rows;
    try {
        rows = tessivo::previewRows(pathOf(m_fileName), *m_layout, kPreviewRows);
    } catch (const std::exception& e) {
        lbLayout->setText(QString::fromUtf8(e.what()));
    }
    twPreview->setRowCount(static_cast<int>(rows.size()));
    // A cell of a column of numbers that is no number under the chosen
    // separator is tinted, so a wrong guess shows at a glance.
    const QBrush wrong(QColor(255, 210, 210));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t j = 0; j < rows[r].size() && j < columns.size(); ++j) {
            auto* item = new QTableWidgetItem(text(rows[r][j]));
            long double v = 0;
            const auto status = tessivo::parseCell(rows[r][j], m_layout->decimal, v);
            if (columns[j].numeric && status != tessivo::CellStatus::Number && status != tessivo::CellStatus::Empty)
                item->setBackground(wrong);
            twPreview->setItem(static_cast<int>(r), static_cast<int>(j), item);
        }
    }
    twPreview->resizeColumnsToContents();
}

void TableImportDialog::fillColumns(const QString& wanted)
{
    lwColumns->clear();
    if (!m_layout)
        return;
    int select = -1;
    int firstLoad = -1;
    const auto& columns = m_layout->columns;
    for (std::size_t j = 0; j < columns.size(); ++j) {
        QString label = QString::number(j + 1) + QStringLiteral(". ") + text(tessivo::columnLabel(*m_layout, j));
        if (!columns[j].unit.empty())
            label += u' ' + text(columns[j].unit);
        auto* item = new QListWidgetItem(label, lwColumns);
        item->setData(Qt::UserRole, text(tessivo::columnLabel(*m_layout, j)));
        if (!columns[j].numeric)
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
        else if (firstLoad < 0 && (j > 0 || columns.size() == 1))
            firstLoad = static_cast<int>(j);
        if (columns[j].numeric && select < 0 && item->data(Qt::UserRole).toString() == wanted)
            select = static_cast<int>(j);
    }
    if (select < 0)
        select = firstLoad;
    if (select >= 0)
        lwColumns->setCurrentRow(select);
}

void TableImportDialog::updateOk()
{
    bbButtons->button(QDialogButtonBox::Ok)->setEnabled(m_layout && column() >= 0);
}

int TableImportDialog::column() const
{
    const auto selected = lwColumns->selectedItems();
    return selected.isEmpty() ? -1 : lwColumns->row(selected.front());
}

QString TableImportDialog::columnName() const
{
    const auto selected = lwColumns->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->data(Qt::UserRole).toString();
}

ImportChoices TableImportDialog::choices() const
{
    return ImportChoices{cbDelimiter->currentIndex(), cbDecimal->currentIndex(), columnName()};
}
