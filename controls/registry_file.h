#pragma once
// The per-user store: one UTF-8 text file in the layout of a registry
// export, so that keys, value names and value types (string, 32-bit integer,
// binary ...) survive exactly.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Maker\Product\Settings]
//   "UserDir"="/home/anna/loads"
//   "Filter"=hex:00,00,00,00,00,00,f0,3f
//   "Normalized"=dword:00000001
//
// Reading never fails as a whole: a missing file is an empty store and lines
// that do not parse are skipped. Saving replaces the file atomically, keeps
// every key and value it does not know, and first copies a file that had
// lines it could not parse to "<file>.bak". Key paths and value names compare
// case-insensitively, as in the registry.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace morvane {

enum class RegType : std::uint32_t {
    String = 1,       // REG_SZ: UTF-16LE with its terminating NUL
    ExpandString = 2, // REG_EXPAND_SZ
    Binary = 3,       // REG_BINARY
    DWord = 4,        // REG_DWORD: 4 bytes little-endian
    MultiString = 7,
};

struct RegValue {
    std::uint32_t type = 0;
    QByteArray data; // the raw bytes, as the registry holds them
    bool operator==(const RegValue&) const = default;
};

RegValue regString(const QString& text);
RegValue regDWord(std::int32_t number);
RegValue regBinary(const QByteArray& bytes);
// The text of a string value up to its first NUL (UTF-16LE).
QString regStringText(const QByteArray& data);

class RegistryFile {
public:
    explicit RegistryFile(QString path);

    const QString& path() const { return m_path; }

    // Replaces the content by the file's; never fails.
    void load();
    // Atomic replace; false when the file could not be written.
    bool save();

    // Full key paths, hive included ("HKEY_CURRENT_USER\Software\...").
    bool hasKey(const QString& key) const;
    void createKey(const QString& key);
    // Null when the key or the value is absent. "" names the default value.
    const RegValue* value(const QString& key, const QString& name) const;
    void setValue(const QString& key, const QString& name, const RegValue& value);
    // The key's value names in the order they are stored.
    QStringList valueNames(const QString& key) const;

    bool hadUnparsedLines() const { return m_unparsed; }
    QByteArray serialize() const;

private:
    struct Entry {
        QString name;
        RegValue value;
    };
    struct Key {
        QString path;
        std::vector<Entry> values;
    };
    Key* findKey(const QString& key);
    const Key* findKey(const QString& key) const;
    void parse(const QString& content);

    QString m_path;
    std::vector<Key> m_keys;
    bool m_unparsed = false;
};

} // namespace morvane
