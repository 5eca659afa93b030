#pragma once

// Named constants of the tissue model, the bounded string copy and the
// engine's log hook.

struct model_t
{
    static constexpr float PH2O = 0.0627f;      // water vapour in the lungs, bar
    static constexpr float cns_min = 0.001f;    // below this the CNS load counts as gone
    static constexpr float helium_min = 0.02f;  // helium below this may be purged, bar
    static constexpr float tndl_max = 250.0f;   // minutes
    static constexpr float tstop_max = 2000.0f; // minutes

    // Name of the active tissue model; empty until a model is installed.
    static char model[16];
};

// Copies at most n - 1 characters of src and terminates them, so the result
// always fits in n bytes; returns a pointer to the terminating NUL. A null src
// leaves dst empty. A null dst, or n <= 0, writes nothing and returns nullptr.
namespace deco::detail {

// sstrcpy for a field known to exist (n > 0).
constexpr char* copy_text(char* dst, const char* src, int n)
{
    int i = 0;
    if (src != nullptr)
        for (; i < n - 1 && src[i] != '\0'; ++i)
            dst[i] = src[i];
    dst[i] = '\0';
    return dst + i;
}

} // namespace deco::detail

constexpr char* sstrcpy(char* dst, const char* src, int n)
{
    if (dst == nullptr || n <= 0)
        return nullptr;
    return deco::detail::copy_text(dst, src, n);
}

// The engine's own log hook lives in a namespace of its own so that it never
// meets the POSIX syslog. It formats into a 63-character buffer and discards it.
namespace deco {
void syslog(const char* format, ...) __attribute__((format(printf, 1, 2)));
}
