#pragma once

// The dive file formats, chosen from the lower-cased file suffix.
enum class DiveFormat : int {
    Csv = 0,     // "csv"
    Uddf = 1,    // "uddf"
    Binary = 2,  // "divebin"
    Plan = 3,    // "diveplan"
    Unknown = 4, // any other suffix
};
