#include "divemodel/diveposition.h"

void DivePosition::setPosition(const DiveLine* prev, const DiveLine* next, int, double, double, double,
                               double ceiling, double tank)
{
    prevLine = prev;
    nextLine = next;
    depth = 0;
    temperature = 0;
    speed = 0;
    decoCeiling = ceiling;
    tankPressure = tank;
}
