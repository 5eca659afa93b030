#include "tessal/quelmdata.h"

namespace QuelmData {

QString firmwareVersionToString(quint32 version)
{
    const unsigned major = version >> 24;
    const unsigned minor = (version >> 16) & 0xFF;
    const unsigned patch = (version >> 8) & 0xFF;
    const unsigned letter = version & 0xFF;
    QString text = QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);
    if (letter == 0)
        return text;
    // The text may become part of a file name: no control character in it.
    const bool printable = letter > 0x20 && letter < 0x7F;
    return text + QLatin1Char('.')
           + (printable ? QString(QLatin1Char(char(letter)))
                        : QStringLiteral("0x%1").arg(letter, 2, 16, QLatin1Char('0')));
}

} // namespace QuelmData
