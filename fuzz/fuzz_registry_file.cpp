// Any bytes as the per-user store: loading never fails, and what the store
// writes reads back to the very same keys, values and types, so saving never
// loses a value it has read. A file with lines it could not parse is kept as
// "<file>.bak", byte for byte.
#include "fuzz_scratch.h"
#include "registry_file.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

using morvane::RegistryFile;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return f.readAll();
}

// The key paths of a serialized store: its "[...]" lines.
QStringList keysOf(const QByteArray& serialized)
{
    QStringList keys;
    for (const QString& line : QString::fromUtf8(serialized).split(u'\n')) {
        if (line.startsWith(u'[') && line.endsWith(u']'))
            keys << line.mid(1, line.size() - 2);
    }
    return keys;
}

void requireSameContent(const RegistryFile& a, const RegistryFile& b, const QStringList& keys)
{
    for (const QString& key : keys) {
        if (!b.hasKey(key))
            std::abort();
        const QStringList names = a.valueNames(key);
        if (names != b.valueNames(key))
            std::abort();
        for (const QString& name : names) {
            const morvane::RegValue* va = a.value(key, name);
            const morvane::RegValue* vb = b.value(key, name);
            if (va == nullptr || vb == nullptr || !(*va == *vb))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = tessivo::fuzz::scratchFolder() + "/Tessivo.reg";
    const QString qpath = QString::fromStdString(path);
    QFile::remove(qpath + QStringLiteral(".bak"));
    tessivo::fuzz::writeBytes(path, data, size);

    RegistryFile original(qpath);
    original.load();
    const bool unparsed = original.hadUnparsedLines();
    const QByteArray first = original.serialize();
    if (!original.save())
        std::abort();
    if (unparsed != QFile::exists(qpath + QStringLiteral(".bak")))
        std::abort();
    if (unparsed
        && readFile(qpath + QStringLiteral(".bak"))
               != QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)))
        std::abort();
    if (readFile(qpath) != first)
        std::abort();

    RegistryFile reread(qpath);
    reread.load();
    if (reread.hadUnparsedLines() || reread.serialize() != first)
        std::abort();
    requireSameContent(original, reread, keysOf(first));
    return 0;
}
