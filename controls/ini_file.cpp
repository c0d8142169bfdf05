#include "ini_file.h"

#include "store_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <cstdint>

namespace morvane {

namespace {

bool isHeader(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(u'[') && t.endsWith(u']');
}

QString headerName(const QString& line)
{
    const QString t = line.trimmed();
    return t.mid(1, t.size() - 2);
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path))
{
    QFile file(m_path);
    if (m_path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless); // a cut-off last character is an error too
    QString content = utf8.decode(bytes);
    // A file in a legacy 8-bit encoding is read and written back as Latin-1,
    // so that the bytes of the values we do not touch survive a write.
    if (utf8.hasError()) {
        m_latin1 = true;
        content = QString::fromLatin1(bytes);
    }
    for (QString line : content.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        m_lines << line;
    }
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

qsizetype IniFile::findSection(const QString& section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (isHeader(m_lines[i]) && headerName(m_lines[i]).compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype IniFile::findValue(qsizetype header, const QString& name) const
{
    for (qsizetype i = header + 1; i < m_lines.size() && !isHeader(m_lines[i]); ++i) {
        const qsizetype eq = m_lines[i].indexOf(u'=');
        if (eq > 0 && m_lines[i].left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::readString(const QString& section, const QString& name) const
{
    const qsizetype header = findSection(section);
    const qsizetype line = header < 0 ? -1 : findValue(header, name);
    if (line < 0)
        return std::nullopt;
    return m_lines[line].mid(m_lines[line].indexOf(u'=') + 1).trimmed();
}

std::optional<std::int32_t> IniFile::readInteger(const QString& section, const QString& name) const
{
    const auto text = readString(section, name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    qint64 number = 0;
    const bool negative = text->startsWith(u'-');
    const QString body = negative ? text->mid(1) : *text;
    if (body.startsWith(u"0x", Qt::CaseInsensitive))
        number = body.mid(2).toLongLong(&ok, 16);
    else if (body.startsWith(u'$'))
        number = body.mid(1).toLongLong(&ok, 16);
    else
        number = body.toLongLong(&ok, 10);
    if (!ok || body.startsWith(u'+') || body.startsWith(u'-') || number > 0xffffffffLL)
        return std::nullopt;
    // Hexadecimal spells the 32 bits, so $FFFFFFFF is -1; decimal is the
    // number itself. In 64 bits, so that "-2147483648" and "-$80000000" do
    // not overflow when negated.
    const bool hex = body.startsWith(u'$') || body.startsWith(u"0x", Qt::CaseInsensitive);
    const std::int64_t magnitude = hex ? static_cast<std::int32_t>(static_cast<std::uint32_t>(number)) : number;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

QByteArray IniFile::encoded(const QString& text) const
{
    return m_latin1 ? text.toLatin1() : text.toUtf8();
}

void IniFile::writeInteger(const QString& section, const QString& name, std::int32_t number)
{
    const QString line = name + u'=' + QString::number(number);
    qsizetype header = findSection(section);
    if (header < 0) {
        m_lines << u'[' + section + u']';
        header = m_lines.size() - 1;
    }
    const qsizetype existing = findValue(header, name);
    if (existing >= 0) {
        m_lines[existing] = line;
    } else {
        qsizetype end = header + 1;
        while (end < m_lines.size() && !isHeader(m_lines[end]))
            ++end;
        while (end > header + 1 && m_lines[end - 1].trimmed().isEmpty())
            --end;
        m_lines.insert(end, line);
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(encoded(m_lines.join(u'\n') + u'\n')) >= 0 && file.commit();
    if (!ok)
        throw StoreError("Unable to write to " + m_path.toStdString());
}

} // namespace morvane
