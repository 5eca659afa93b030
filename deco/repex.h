#pragma once

// Oxygen exposure: CNS toxicity rates and oxygen tolerance units. Pressures
// are oxygen partial pressures in bar; nothing here keeps state.
struct repex_t
{
    // CNS fraction per minute at p bar, from the single-exposure limits.
    static float CNS(float p);
    // Oxygen tolerance units per minute at p bar.
    static float OTU(float p);
    // Index 0..7 of the limit line whose range holds p; -1 outside them all.
    static int findRange(double p);
    // CNS fraction of t minutes at the oxygen pressure f * P.
    static double cnsConstant(double f, double t, double P);
    // CNS fraction of t minutes during which the oxygen pressure moves
    // linearly from P1 * f to P2 * f; -1 when it never rises above 0.5 bar.
    static double cnsAscentDescent(double P1, double P2, double t, double f);
};
