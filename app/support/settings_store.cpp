#include "support/settings_store.h"

#include "registry_key.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

using morvane::RegistryKey;
using morvane::RegType;

namespace {

QString readUserDir(const RegistryKey& key, const QString& workDir)
{
    const auto value = key.read(QStringLiteral("UserDir"));
    if (!value || value->data.isEmpty())
        return QString();
    const bool text = value->type == static_cast<std::uint32_t>(RegType::String)
                      || value->type == static_cast<std::uint32_t>(RegType::ExpandString);
    return text ? morvane::regStringText(value->data) : workDir;
}

void readFilter(const RegistryKey& key, long double& filter)
{
    const auto value = key.read(QStringLiteral("Filter"));
    if (!value || value->type != static_cast<std::uint32_t>(RegType::Binary) || value->data.size() != 8)
        return;
    const quint64 bits = qFromLittleEndian<quint64>(value->data.constData());
    double number = 0;
    std::memcpy(&number, &bits, sizeof number);
    if (std::isfinite(number)) // a store written by an older copy may hold infinity
        filter = number;
}

void readFlag(const RegistryKey& key, const QString& name, bool& flag)
{
    if (const auto number = key.readInteger(name))
        flag = *number != 0;
}

QByteArray doubleBytes(double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    QByteArray bytes(8, '\0');
    qToLittleEndian<quint64>(bits, bytes.data());
    return bytes;
}

} // namespace

QString settingsKeyPath()
{
    return kApplicationKey + (kApplicationKey.endsWith(u'\\') ? QString() : QStringLiteral("\\"))
           + QStringLiteral("Settings");
}

QString LoadSettings(tessivo::TRainflowRun& run, const QString& workDir, const QString& storePath)
{
    const RegistryKey key(settingsKeyPath(), storePath);
    const QString userDir = readUserDir(key, workDir);
    readFilter(key, run.FilterSize);
    readFlag(key, QStringLiteral("Normalized"), run.Normalize);
    readFlag(key, QStringLiteral("LoadBin"), run.UseLoadBins);
    if (const auto bins = key.readInteger(QStringLiteral("LoadBinSize")))
        run.BinCount = *bins;
    readFlag(key, QStringLiteral("ResDecomp"), run.Decomposition);
    readFlag(key, QStringLiteral("ResHalf"), run.HalfCycles);
    return userDir;
}

void StoreSettings(const tessivo::TRainflowRun& run, const QString& userDir, const QString& storePath)
{
    RegistryKey key(settingsKeyPath(), storePath);
    key.writeString(QStringLiteral("UserDir"), userDir);
    key.writeBinary(QStringLiteral("Filter"), doubleBytes(static_cast<double>(run.FilterSize)));
    key.writeInteger(QStringLiteral("Normalized"), run.Normalize ? 1 : 0);
    key.writeInteger(QStringLiteral("LoadBin"), run.UseLoadBins ? 1 : 0);
    key.writeInteger(QStringLiteral("LoadBinSize"), run.BinCount);
    key.writeInteger(QStringLiteral("ResDecomp"), run.Decomposition ? 1 : 0);
}

QString LoadLastFolder(const QString& storePath)
{
    const RegistryKey key(settingsKeyPath(), storePath);
    const auto value = key.read(QStringLiteral("LastDir"));
    if (!value || value->type != static_cast<std::uint32_t>(RegType::String))
        return QString();
    return morvane::regStringText(value->data);
}

void StoreLastFolder(const QString& folder, const QString& storePath)
{
    if (folder.isEmpty())
        return;
    RegistryKey key(settingsKeyPath(), storePath);
    key.writeString(QStringLiteral("LastDir"), folder);
}

bool LoadUnlimited(const QString& storePath)
{
    bool unlimited = false;
    readFlag(RegistryKey(settingsKeyPath(), storePath), QStringLiteral("Unlimited"), unlimited);
    return unlimited;
}

void StoreOptIns(const tessivo::TRainflowRun& run, bool unlimited, const QString& storePath)
{
    RegistryKey key(settingsKeyPath(), storePath);
    const auto store = [&key](const QString& name, bool on) {
        if (on || key.read(name))
            key.writeInteger(name, on ? 1 : 0);
    };
    store(QStringLiteral("ResHalf"), !run.Decomposition && run.HalfCycles);
    store(QStringLiteral("Unlimited"), unlimited);
}
