#pragma once

#include <QtGlobal>

// A point of a dive's ceiling outline (value 0) or a yoyo mark (value = level 1 to 3).
struct CeilPoint
{
    float time = 0.0f;  // s
    float depth = 0.0f; // m
    qint16 value = 0;
};
