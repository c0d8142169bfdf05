#pragma once
// Texts of the Import command and of Open meeting a table.

#include <QString>
#include <string>

// Open's message for a file that is not a proper sequence; when the file
// reads as a table, a second line points to Import.
QString incorrectSequenceMessage(const std::string& path);

// The label of a column opened by Import: "FILE : COLUMN".
QString importedLabel(const QString& fileName, const QString& column);
