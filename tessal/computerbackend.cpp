#include "tessal/computerbackend.h"

namespace {

ComputerBackend* gInstalled = nullptr;

} // namespace

ComputerBackend::~ComputerBackend()
{
    if (gInstalled == this)
        gInstalled = nullptr;
}

ComputerBackend* ComputerBackend::installed()
{
    return gInstalled;
}

void ComputerBackend::install(ComputerBackend* backend)
{
    gInstalled = backend;
}
