#include "deco/model.h"

#include <cstdarg>
#include <cstdio>

char model_t::model[16] = {};

namespace deco {

void syslog(const char* format, ...)
{
    char line[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
}

} // namespace deco
