#include "divemodel/binaryfile.h"

bool BinaryFile::read(const QString&, Dive&)
{
    return false;
}

bool BinaryFile::write(const QString&, Dive&)
{
    return false;
}
