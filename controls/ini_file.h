#pragma once
// A plain ini file ("[section]" and "name=value" lines) as a store of
// integers. Section and value names are used as they stand and compare
// case-insensitively; writing keeps every other section and value and
// replaces the file atomically. A file that is not UTF-8 is taken as Latin-1
// and written back so, byte for byte.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace morvane {

class IniFile {
public:
    // Reads the file; a missing or unreadable file is empty.
    explicit IniFile(QString path);

    // Decimal, "0x" or "$" hexadecimal; nothing when absent or not an integer.
    std::optional<std::int32_t> readInteger(const QString& section, const QString& name) const;
    std::optional<QString> readString(const QString& section, const QString& name) const;

    // Throws StoreError "Unable to write to <path>" when the file cannot be written.
    void writeInteger(const QString& section, const QString& name, std::int32_t number);

private:
    // Index of the section's header line, or -1.
    qsizetype findSection(const QString& section) const;
    // Index of the name's line in the section that starts at header, or -1.
    qsizetype findValue(qsizetype header, const QString& name) const;

    QByteArray encoded(const QString& text) const;

    QString m_path;
    QStringList m_lines;
    bool m_latin1 = false; // the file was not UTF-8: keep its bytes as they were
};

} // namespace morvane
