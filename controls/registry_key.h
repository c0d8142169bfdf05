#pragma once
// What the callers need of a registry key below HKEY_CURRENT_USER, backed by
// the per-user store file: open (creating the key), read a value with its
// type, write a string, an integer or binary data, close. Each write is
// stored at once, so the values written before a failure stay written.

#include "registry_file.h"

#include <QString>
#include <optional>

namespace morvane {

class RegistryKey {
public:
    // Opens keyPath (relative to HKEY_CURRENT_USER), creating it. A failure
    // to store the new key is ignored: reads then find nothing and the first
    // write reports the failure.
    explicit RegistryKey(const QString& keyPath, const QString& storePath = defaultStorePath());

    // <generic config folder>/<organization name>/<application name>.reg
    static QString defaultStorePath();

    std::optional<RegValue> read(const QString& name) const;
    // Only a REG_DWORD of 4 bytes is an integer.
    std::optional<std::int32_t> readInteger(const QString& name) const;

    // Throw StoreError "Failed to set data for '<name>'" when the store
    // cannot be written.
    void writeString(const QString& name, const QString& text);
    void writeInteger(const QString& name, std::int32_t number);
    void writeBinary(const QString& name, const QByteArray& bytes);

private:
    void write(const QString& name, const RegValue& value);

    RegistryFile m_file;
    QString m_key;
};

} // namespace morvane
