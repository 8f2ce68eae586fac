// The synthesised sounds of the player: a click, the start-up chime and a demo track.
#pragma once

#include <vector>

namespace makedata {

inline constexpr int kSoundRate = 22050;

// A soft blip of about 0.15 s.
std::vector<float> Blip();
// A bell chime of about 1.6 s.
std::vector<float> Chime();
// A short instrumental: pad chords, bass, arpeggio, a lead melody and soft drums, faded out.
std::vector<float> DemoTrack();

}  // namespace makedata
