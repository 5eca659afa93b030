#pragma once

#include <QString>

// How the dive list and the dive detail panes write a depth: "23.4m", metres
// with one decimal.
QString depthText(double metres);
