#pragma once
// The Import dialog: a table file as the reader sees it (the layout detected,
// listed as `tessivo-count --show-layout` lists it, its first rows cell by
// cell, and its columns with names and units), the delimiter and decimal
// separator that can be set instead of the detected ones (the table is read
// again at once), and the choice of the one column to open as the sequence.

#include "engine/run/table_layouts.h"

#include <QDialog>
#include <QString>
#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTableWidget;

// The user's choices, as the settings store keeps them between imports.
struct ImportChoices {
    int delimiter = 0; // index in the delimiter box: 0 detected, then comma, semicolon, tab, blanks
    int decimal = 0;   // index in the separator box: 0 detected, then point, comma
    QString column;    // the name (or number) of the column chosen last
};

class TableImportDialog : public QDialog {
    Q_OBJECT

public:
    // Reads fileName at once with the delimiter and separator of `choices`
    // and selects its column when the table has it (else the first column
    // of numbers after a first one that looks like time).
    TableImportDialog(const QString& fileName, const ImportChoices& choices, QWidget* parent = nullptr);

    // The layout read, when the table could be read.
    const std::optional<tessivo::TableLayout>& layout() const { return m_layout; }
    // The chosen column (0-based), or -1.
    int column() const;
    // The chosen column's name, "column N" when it has none.
    QString columnName() const;
    ImportChoices choices() const;

    // Components, named for the tests.
    QLabel* lbFile = nullptr;
    QComboBox* cbDelimiter = nullptr;
    QComboBox* cbDecimal = nullptr;
    QLabel* lbLayout = nullptr;
    QPlainTextEdit* teLayout = nullptr; // the listing of the layout read, empty when none was
    QTableWidget* twPreview = nullptr;
    QListWidget* lwColumns = nullptr;
    QDialogButtonBox* bbButtons = nullptr;

private:
    void reread();
    void fillPreview();
    void fillColumns(const QString& wanted);
    void updateOk();

    QString m_fileName;
    std::optional<tessivo::TableLayout> m_layout;
};
