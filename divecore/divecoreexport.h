#pragma once

// The gas library is part of libCordale's interface: the library exports it,
// and binds its own calls to its own copy. In the program's own copy the mark
// changes nothing.
#if defined(__GNUC__)
#define DIVECORE_EXPORT __attribute__((visibility("default")))
#else
#define DIVECORE_EXPORT
#endif
