#pragma once

namespace deco {

// Finds where a predicate over whole steps turns from false to true, for
// predicates that do so once between lo and hi. The search starts from a
// guessed bracket [guessLo, guessHi], widens it by doubling until its ends
// disagree or the bounds are reached, then halves it to one step.
//
// Returns the first step found true right after one found false: lo when
// the predicate holds at lo already, hi + 1 when it fails even at hi. Every
// answer inside the bounds is a tested false/true pair of neighbours.
template <typename Predicate>
int first_true(int lo, int hi, int guessLo, int guessHi, Predicate&& holds)
{
    int left = guessLo < lo ? lo : (guessLo > hi - 1 ? hi - 1 : guessLo);
    int right = guessHi > hi ? hi : guessHi;
    if (right <= left)
        right = left + 1;
    int width = right - left;

    bool leftFails = false;
    while (!holds(right)) {
        if (right >= hi)
            return hi + 1;
        left = right;
        leftFails = true;
        width *= 2;
        right = right + width > hi ? hi : right + width;
    }
    while (!leftFails && holds(left)) {
        if (left <= lo)
            return lo;
        right = left;
        width *= 2;
        left = left - width < lo ? lo : left - width;
    }
    while (right - left > 1) {
        const int middle = left + (right - left) / 2;
        if (holds(middle))
            right = middle;
        else
            left = middle;
    }
    return right;
}

} // namespace deco
