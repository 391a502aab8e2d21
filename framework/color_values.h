#pragma once
// Colour values as a control's Color and TextColor hold them: an RGB value,
// or a system colour's index with the top bit set. Apart from the control
// record, so that code without windows (what the display shows) names them too.
#include <cstdint>

constexpr uint32_t kColorBtnFace = 0x8000000F;
constexpr uint32_t kColorWindowText = 0x80000008;
constexpr uint32_t kColorWindow = 0x80000005;
