#include "device/syslogfile.h"

QByteArray sysLogTextFile(const QDateTime& extraction, const QString& computerModel,
                          const QString& serialNumber, const QString& body)
{
    const QString text = QStringLiteral("-------------------- SYSLOG HEADER --------------------\n")
                         + QStringLiteral("Extraction date: ")
                         + extraction.toString(QStringLiteral("dd/MM/yyyy_hh:mm:ss")) + QLatin1Char('\n')
                         + QStringLiteral("Computer model: ") + computerModel + QLatin1Char('\n')
                         + QStringLiteral("Serial number: ") + serialNumber + QLatin1Char('\n')
                         + QStringLiteral("-------------------- SYSLOG BODY --------------------\n") + body;
    return text.toUtf8().toBase64();
}

QByteArray sysLogBinaryFile(const QList<SysLogRecord>& records)
{
    static constexpr char kMagic[] = "SysLogBinary";
    QByteArray bytes;
    bytes.reserve(qsizetype(sizeof kMagic - 1) + records.size() * qsizetype(sizeof(SysLogRecord)));
    bytes.append(kMagic, sizeof kMagic - 1);
    for (const SysLogRecord& record : records)
        bytes.append(record.data(), qsizetype(record.size()));
    return bytes;
}
