#include "import/import_settings.h"

#include "registry_key.h"
#include "support/settings_store.h"

ImportChoices loadImportChoices(const QString& storePath)
{
    const morvane::RegistryKey key(settingsKeyPath(), storePath);
    ImportChoices choices;
    if (const auto delimiter = key.readInteger(QStringLiteral("ImportDelimiter")))
        choices.delimiter = *delimiter;
    if (const auto decimal = key.readInteger(QStringLiteral("ImportDecimal")))
        choices.decimal = *decimal;
    if (const auto column = key.read(QStringLiteral("ImportColumn"));
        column && column->type == static_cast<std::uint32_t>(morvane::RegType::String))
        choices.column = morvane::regStringText(column->data);
    return choices;
}

void storeImportChoices(const ImportChoices& choices, const QString& storePath)
{
    morvane::RegistryKey key(settingsKeyPath(), storePath);
    key.writeInteger(QStringLiteral("ImportDelimiter"), choices.delimiter);
    key.writeInteger(QStringLiteral("ImportDecimal"), choices.decimal);
    key.writeString(QStringLiteral("ImportColumn"), choices.column);
}
