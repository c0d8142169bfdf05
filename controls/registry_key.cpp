#include "registry_key.h"

#include "store_error.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace morvane {

namespace {
const QString kHive = QStringLiteral("HKEY_CURRENT_USER\\");
}

RegistryKey::RegistryKey(const QString& keyPath, const QString& storePath) : m_file(storePath), m_key(kHive + keyPath)
{
    m_file.load();
    if (!m_file.hasKey(m_key)) {
        m_file.createKey(m_key);
        m_file.save();
    }
}

QString RegistryKey::defaultStorePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/'
           + QCoreApplication::organizationName() + u'/' + QCoreApplication::applicationName() + QStringLiteral(".reg");
}

std::optional<RegValue> RegistryKey::read(const QString& name) const
{
    const RegValue* value = m_file.value(m_key, name);
    if (!value)
        return std::nullopt;
    return *value;
}

std::optional<std::int32_t> RegistryKey::readInteger(const QString& name) const
{
    const RegValue* value = m_file.value(m_key, name);
    if (!value || value->type != static_cast<std::uint32_t>(RegType::DWord) || value->data.size() != 4)
        return std::nullopt;
    const auto* b = reinterpret_cast<const unsigned char*>(value->data.constData());
    return static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

void RegistryKey::writeString(const QString& name, const QString& text)
{
    write(name, regString(text));
}

void RegistryKey::writeInteger(const QString& name, std::int32_t number)
{
    write(name, regDWord(number));
}

void RegistryKey::writeBinary(const QString& name, const QByteArray& bytes)
{
    write(name, regBinary(bytes));
}

void RegistryKey::write(const QString& name, const RegValue& value)
{
    m_file.setValue(m_key, name, value);
    if (!m_file.save())
        throw StoreError("Failed to set data for '" + name.toStdString() + "'");
}

} // namespace morvane
