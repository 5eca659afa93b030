#include "divemodel/uddffile.h"

bool UddfFile::read(const QString&, Dive&)
{
    return false;
}

bool UddfFile::write(const QString&, Dive&)
{
    return false;
}
