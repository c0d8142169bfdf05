#include "registry_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <QtEndian>
#include <optional>

namespace morvane {

namespace {

const QString kHeader = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kOldHeader = QStringLiteral("REGEDIT4");

QString normalizedKey(QString key)
{
    while (key.endsWith(u'\\'))
        key.chop(1);
    while (key.startsWith(u'\\'))
        key.remove(0, 1);
    return key;
}

// Reads a quoted text with \\ and \" escapes starting at pos (on the quote);
// leaves pos after the closing quote.
std::optional<QString> readQuoted(const QString& line, qsizetype& pos)
{
    if (pos >= line.size() || line[pos] != u'"')
        return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c == u'\\' && pos + 1 < line.size())
            ++pos;
        out += line[pos];
    }
    return std::nullopt;
}

QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

std::optional<QByteArray> parseHexBytes(const QString& text)
{
    QByteArray out;
    const QString compact = QString(text).remove(u' ').remove(u'\t');
    if (compact.isEmpty())
        return out;
    for (const QString& part : compact.split(u',')) {
        bool ok = false;
        const uint byte = part.toUInt(&ok, 16);
        if (!ok || part.size() > 2)
            return std::nullopt;
        out.append(static_cast<char>(byte));
    }
    return out;
}

std::optional<RegValue> parseData(const QString& text)
{
    if (text.startsWith(u'"')) {
        qsizetype pos = 0;
        const auto s = readQuoted(text, pos);
        if (!s || pos != text.size())
            return std::nullopt;
        return regString(*s);
    }
    if (text.startsWith(u"dword:")) {
        const QString digits = text.mid(6);
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.size() != 8)
            return std::nullopt;
        return regDWord(static_cast<std::int32_t>(number));
    }
    std::uint32_t type = static_cast<std::uint32_t>(RegType::Binary);
    qsizetype colon = -1;
    if (text.startsWith(u"hex:")) {
        colon = 3;
    } else if (text.startsWith(u"hex(")) {
        const qsizetype close = text.indexOf(u"):");
        bool ok = false;
        type = close > 4 ? text.mid(4, close - 4).toUInt(&ok, 16) : 0;
        if (!ok)
            return std::nullopt;
        colon = close + 1;
    } else {
        return std::nullopt;
    }
    const auto bytes = parseHexBytes(text.mid(colon + 1));
    if (!bytes)
        return std::nullopt;
    return RegValue{type, *bytes};
}

QString hexList(const QByteArray& data)
{
    QStringList parts;
    for (char byte : data)
        parts << QStringLiteral("%1").arg(static_cast<uchar>(byte), 2, 16, QChar(u'0'));
    return parts.join(u',');
}

// A string is written as "..." only when that reads back to the same bytes.
bool plainString(const RegValue& v)
{
    if (v.type != static_cast<std::uint32_t>(RegType::String))
        return false;
    const QString text = regStringText(v.data);
    // A lone surrogate has no UTF-8 form: written as text it would be lost.
    if (regString(text).data != v.data || !text.isValidUtf16())
        return false;
    for (QChar c : text) {
        if (c.unicode() < 0x20)
            return false;
    }
    return true;
}

QString dataText(const RegValue& v)
{
    if (plainString(v))
        return quoted(regStringText(v.data));
    if (v.type == static_cast<std::uint32_t>(RegType::DWord) && v.data.size() == 4)
        return QStringLiteral("dword:%1").arg(qFromLittleEndian<quint32>(v.data.constData()), 8, 16, QChar(u'0'));
    if (v.type == static_cast<std::uint32_t>(RegType::Binary))
        return QStringLiteral("hex:") + hexList(v.data);
    return QStringLiteral("hex(%1):").arg(v.type, 0, 16) + hexList(v.data);
}

// Joins the lines that end in a backslash inside hex data with the next one.
QStringList logicalLines(const QString& content)
{
    QStringList out;
    QString pending;
    for (QString line : content.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        pending += pending.isEmpty() ? line : line.trimmed();
        const bool continues = pending.endsWith(u'\\') && !pending.startsWith(u'[') && pending.contains(u"=hex");
        if (continues) {
            pending.chop(1);
            continue;
        }
        out << pending;
        pending.clear();
    }
    if (!pending.isEmpty())
        out << pending;
    return out;
}

} // namespace

RegValue regString(const QString& text)
{
    QByteArray data;
    for (QChar c : text + QChar(u'\0')) {
        data.append(static_cast<char>(c.unicode() & 0xff));
        data.append(static_cast<char>(c.unicode() >> 8));
    }
    return {static_cast<std::uint32_t>(RegType::String), data};
}

RegValue regDWord(std::int32_t number)
{
    QByteArray data(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(number), data.data());
    return {static_cast<std::uint32_t>(RegType::DWord), data};
}

RegValue regBinary(const QByteArray& bytes)
{
    return {static_cast<std::uint32_t>(RegType::Binary), bytes};
}

QString regStringText(const QByteArray& data)
{
    QString out;
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
        const char16_t unit = static_cast<uchar>(data[i]) | (static_cast<uchar>(data[i + 1]) << 8);
        if (unit == 0)
            break;
        out += QChar(unit);
    }
    return out;
}

RegistryFile::RegistryFile(QString path) : m_path(std::move(path)) {}

void RegistryFile::load()
{
    m_keys.clear();
    m_unparsed = false;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless); // a cut-off last character is an error too
    const QString content = decoder.decode(bytes);
    m_unparsed = decoder.hasError();
    parse(content);
}

void RegistryFile::parse(const QString& content)
{
    Key* current = nullptr;
    bool headerSeen = false;
    for (QString line : logicalLines(content)) {
        if (line.startsWith(QChar(0xfeff)))
            line.remove(0, 1);
        if (line.trimmed().isEmpty())
            continue;
        if (!headerSeen && (line == kHeader || line == kOldHeader)) {
            headerSeen = true;
        } else if (line.startsWith(u'[') && line.endsWith(u']') && !line.startsWith(u"[-")) {
            // A key that would be written back as "[-...]" reads as a deletion: not a key we can keep.
            if (normalizedKey(line.mid(1, line.size() - 2)).startsWith(u'-')) {
                m_unparsed = true;
                current = nullptr;
                continue;
            }
            createKey(line.mid(1, line.size() - 2));
            current = findKey(line.mid(1, line.size() - 2));
        } else if (current && (line.startsWith(u'"') || line.startsWith(u"@="))) {
            qsizetype pos = 0;
            const auto name = line.startsWith(u'@') ? std::optional<QString>(QString()) : readQuoted(line, pos);
            pos = line.startsWith(u'@') ? 1 : pos;
            const auto data =
                name && pos < line.size() && line[pos] == u'=' ? parseData(line.mid(pos + 1)) : std::nullopt;
            if (data)
                setValue(current->path, *name, *data);
            else
                m_unparsed = true;
        } else {
            m_unparsed = true;
        }
    }
}

bool RegistryFile::save()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (m_unparsed && QFile::exists(m_path)) {
        const QString backup = m_path + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::copy(m_path, backup))
            return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(serialize());
    if (!file.commit())
        return false;
    m_unparsed = false;
    return true;
}

QByteArray RegistryFile::serialize() const
{
    QString out = kHeader + QStringLiteral("\n\n");
    for (const Key& key : m_keys) {
        out += u'[' + key.path + QStringLiteral("]\n");
        for (const Entry& entry : key.values)
            out += (entry.name.isEmpty() ? QStringLiteral("@") : quoted(entry.name)) + u'=' + dataText(entry.value)
                   + u'\n';
        out += u'\n';
    }
    return out.toUtf8();
}

RegistryFile::Key* RegistryFile::findKey(const QString& key)
{
    const QString wanted = normalizedKey(key);
    for (Key& k : m_keys) {
        if (k.path.compare(wanted, Qt::CaseInsensitive) == 0)
            return &k;
    }
    return nullptr;
}

const RegistryFile::Key* RegistryFile::findKey(const QString& key) const
{
    return const_cast<RegistryFile*>(this)->findKey(key);
}

bool RegistryFile::hasKey(const QString& key) const
{
    return findKey(key) != nullptr;
}

void RegistryFile::createKey(const QString& key)
{
    if (!findKey(key))
        m_keys.push_back(Key{normalizedKey(key), {}});
}

const RegValue* RegistryFile::value(const QString& key, const QString& name) const
{
    const Key* k = findKey(key);
    if (!k)
        return nullptr;
    for (const Entry& entry : k->values) {
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0)
            return &entry.value;
    }
    return nullptr;
}

QStringList RegistryFile::valueNames(const QString& key) const
{
    QStringList names;
    if (const Key* k = findKey(key)) {
        for (const Entry& entry : k->values)
            names << entry.name;
    }
    return names;
}

void RegistryFile::setValue(const QString& key, const QString& name, const RegValue& value)
{
    createKey(key);
    Key* k = findKey(key);
    for (Entry& entry : k->values) {
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0) {
            entry.value = value;
            return;
        }
    }
    k->values.push_back(Entry{name, value});
}

} // namespace morvane
