#pragma once

#include "tessal/quelmsession.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The two kinds of ".syslog" file.

// The text log: Base64 (padded, on one line) of the UTF-8 text of a header
// (extraction date as "dd/MM/yyyy_hh:mm:ss", computer model, serial number)
// followed by the computer's text unchanged.
QByteArray sysLogTextFile(const QDateTime& extraction, const QString& computerModel,
                          const QString& serialNumber, const QString& body);
// The binary log: "SysLogBinary" and each 24-byte record in order, nothing
// else.
QByteArray sysLogBinaryFile(const QList<SysLogRecord>& records);
