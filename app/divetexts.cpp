#include "divetexts.h"

QString depthText(double metres)
{
    return QStringLiteral("%1m").arg(metres, 0, 'f', 1);
}
