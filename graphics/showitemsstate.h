#pragma once

// What a profile draws, in the order the program's show check boxes list them.
struct ShowItemsState
{
    bool points = false;
    bool temperature = true;
    bool deco = true;
    bool alerts = true;
    bool gases = true;
    bool maxDepth = true;
    bool tankPressure = true;

    bool operator==(const ShowItemsState&) const = default;
};
