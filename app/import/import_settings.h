#pragma once
// The last import's choices in the settings store, beside the counting
// parameters: "ImportDelimiter" and "ImportDecimal" as 32-bit integers,
// "ImportColumn" as a string.

#include "import/table_import_dialog.h"

#include <QString>

// Missing or unreadable values keep their defaults.
ImportChoices loadImportChoices(const QString& storePath);
void storeImportChoices(const ImportChoices& choices, const QString& storePath);
