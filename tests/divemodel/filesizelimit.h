#pragma once

#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace testkit {

// Runs `write` with the process's file size limit lowered to `limit` bytes
// and SIGXFSZ ignored, so that a write beyond the limit fails instead of
// ending the process; both are restored afterwards. Empty when the limit
// cannot be lowered that far (a hard limit already below it).
template<typename Write>
std::optional<bool> writeUnderFileSizeLimit(rlim_t limit, Write&& write)
{
    rlimit previous{};
    if (getrlimit(RLIMIT_FSIZE, &previous) != 0
        || (previous.rlim_max != RLIM_INFINITY && previous.rlim_max < limit))
        return std::nullopt;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = limit;
    if (setrlimit(RLIMIT_FSIZE, &limited) != 0) {
        std::signal(SIGXFSZ, previousHandler);
        return std::nullopt;
    }
    const bool written = write();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    return written;
}

} // namespace testkit
