#pragma once

// A network request that sends or receives nothing for this long fails: a
// stalled server must not keep a download or a listing waiting for the rest
// of the run.
inline constexpr int kTransferTimeout = 60'000; // ms
