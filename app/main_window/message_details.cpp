#include "main_window/message_details.h"

#include "engine/run/record.h"
#include "engine/run/loading.h"

#include "engine/run/errors.h"
#include "engine/tables/table_layout.h"

#include <QFile>
#include <exception>

QString incorrectSequenceMessage(const std::string& path)
{
    QString message = QString::fromUtf8(tessivo::kIncorrectSequenceFile);
    if (tessivo::readsAsTable(path))
        message += QStringLiteral("\nThe file looks like a table of columns: Import... reads it.");
    return message;
}

QString incorrectSequenceDetail(const QString& fileName)
{
    tessivo::SequenceFault fault;
    try {
        fault = tessivo::findSequenceFault(QFile::encodeName(fileName).toStdString());
    } catch (const std::exception&) {
        return {};
    }
    if (fault.line == 0)
        return fileName + QStringLiteral(" holds no number.");
    QString token = QString::fromUtf8(fault.token);
    if (fault.truncated)
        token += QChar(0x2026);
    return QStringLiteral("%1, line %2: \"%3\" is not a number.").arg(fileName).arg(fault.line).arg(token);
}

QString matrixAppliedDetail(std::int32_t sequenceLength)
{
    return QStringLiteral("The sequence has %1 values; from %2 values on, the count is made in load bins.")
        .arg(sequenceLength)
        .arg(tessivo::MatrixThreshold);
}
