// Any bytes as the placement restorer's ini file: reading never fails, every
// integer reads without overflow, and writing one value keeps every other
// line of the file, byte for byte.
#include "fuzz_scratch.h"
#include "ini_file.h"
#include "store_error.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

using morvane::IniFile;

namespace {

const QString kSection = QStringLiteral("Fuzz");
const QString kName = QStringLiteral("Value");

QList<QByteArray> linesOf(QByteArray bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    // The file is written back with LF line ends: carriage returns at the end
    // of a line are line-end bytes, not part of a value (values are trimmed).
    for (QByteArray& line : lines) {
        while (line.endsWith('\r'))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The text of a line as the ini file reads it: UTF-8 when the whole file is,
// else Latin-1.
QString textOf(const QByteArray& raw, bool latin1)
{
    return latin1 ? QString::fromLatin1(raw) : QString::fromUtf8(raw);
}

bool isLatin1(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // converts only when taken as a QString
    return utf8.hasError();
}

// The section and value names the file spells, as (section, name) pairs.
std::vector<std::pair<QString, QString>> namesOf(const QByteArray& bytes, bool latin1)
{
    std::vector<std::pair<QString, QString>> pairs;
    QString section;
    for (const QByteArray& raw : linesOf(bytes)) {
        const QString line = textOf(raw, latin1).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']'))
            section = line.mid(1, line.size() - 2);
        else if (line.indexOf(u'=') > 0)
            pairs.emplace_back(section, line.left(line.indexOf(u'=')).trimmed());
    }
    return pairs;
}

bool isOurValue(const QString& section, const QString& name)
{
    return section.compare(kSection, Qt::CaseInsensitive) == 0 && name.compare(kName, Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = tessivo::fuzz::scratchFolder() + "/placement.ini";
    tessivo::fuzz::writeBytes(path, data, size);
    const QByteArray before(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::int32_t number = 0;
    if (size > 0)
        std::memcpy(&number, data, std::min(size, sizeof number));

    IniFile original(QString::fromStdString(path));
    const bool latin1 = isLatin1(before);
    const auto pairs = namesOf(before, latin1);
    for (const auto& [section, name] : pairs)
        (void)original.readInteger(section, name);
    original.writeInteger(kSection, kName, number);

    const IniFile reread(QString::fromStdString(path));
    if (reread.readInteger(kSection, kName) != number)
        std::abort();
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray written = f.readAll();
    const bool latin1After = isLatin1(written);
    // Other values read back alike while the encoding guess stands. When
    // replacing the one line that was not UTF-8 turns the guess for the rest,
    // names and values read as other characters; their bytes are what must
    // stay, and the line check below sees to those.
    if (latin1After == latin1) {
        for (const auto& [section, name] : pairs) {
            if (!isOurValue(section, name) && reread.readString(section, name) != original.readString(section, name))
                std::abort();
        }
    }
    // Every line of the old file is still there, but the one our value replaced.
    QList<QByteArray> after = linesOf(written);
    int lost = 0;
    for (const QByteArray& line : linesOf(before)) {
        const auto found = std::find(after.begin(), after.end(), line);
        if (found != after.end())
            after.erase(found);
        else if (++lost > 1 || !isOurValue(kSection, textOf(line.left(line.indexOf('=')), latin1).trimmed()))
            std::abort();
    }
    return 0;
}
