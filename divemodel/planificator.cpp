#include "divemodel/planificator.h"

bool Planificator::read(const QString&, Dive&)
{
    return false;
}

bool Planificator::write(const QString&, Dive&)
{
    return false;
}
