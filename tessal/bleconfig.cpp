#include "tessal/bleconfig.h"

namespace {

constexpr float kGravity = 9.80665f;
constexpr float kSaltWaterDensity = 1.025f;
constexpr float kFreshWaterDensity = 1.0f;

} // namespace

float BleConfig::getDensity() const
{
    return waterType == 0 ? kSaltWaterDensity : kFreshWaterDensity;
}

float BleConfig::pressureAtDepth(float depth) const
{
    // kg/L times g times metres gives decibar: a hundredth of a bar per kPa.
    return surfacePressure / 1000.0f + getDensity() * kGravity * depth / 100.0f;
}
