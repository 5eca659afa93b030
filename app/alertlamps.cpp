#include "alertlamps.h"

namespace {

int bits(quint32 word, int first, quint32 mask)
{
    return int((word >> first) & mask);
}

} // namespace

AlertLevels alertLevels(quint32 alertWord)
{
    AlertLevels levels;
    levels.ceiling = bits(alertWord, 0, 0x3);
    levels.highO2 = bits(alertWord, 2, 0x3);
    levels.battery = bits(alertWord, 8, 0x3);
    levels.ascent = bits(alertWord, 10, 0x1);
    // Only the even bits of byte 2 are air-integration alerts.
    levels.ai = bits(alertWord, 16, 0x55) != 0 ? 1 : 0;
    return levels;
}

QString alertLampIcon(int level, bool redAtOne)
{
    switch (level) {
    case 0:
        return QStringLiteral(":/TestGraphics/icons/Led_Green.png");
    case 1:
        return redAtOne ? QStringLiteral(":/TestGraphics/icons/Led_Red.png")
                        : QStringLiteral(":/TestGraphics/icons/Led_Orange.png");
    case 2:
        return QStringLiteral(":/TestGraphics/icons/Led_Orange.png");
    default:
        return QStringLiteral(":/TestGraphics/icons/Led_Red.png");
    }
}
