#include "tools/make-data/sound.h"

#include <algorithm>
#include <cmath>

#include "tools/make-data/art.h"

namespace makedata {

namespace {

constexpr double kRate = kSoundRate;
constexpr double kTau = 2 * kPi;

double Midi(double note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A mono buffer to mix into, growing as needed.
struct Track {
    std::vector<double> s;
    void Add(size_t i, double v) {
        if (i >= s.size()) s.resize(i + 1, 0.0);
        s[i] += v;
    }
};

// Attack-decay-release envelope: linear attack, exponential decay toward `sustain`, linear
// release after `length` seconds.
double Envelope(double t, double length, double attack, double decay, double sustain,
                double release) {
    if (t < 0) return 0;
    double e = t < attack ? t / attack : sustain + (1 - sustain) * std::exp(-(t - attack) / decay);
    if (t > length) e *= std::max(0.0, 1 - (t - length) / release);
    return e;
}

// A bell: frequency modulation at an inharmonic ratio with a decaying index.
void Bell(Track& tr, double start, double freq, double amp, double decay) {
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t n = static_cast<size_t>(decay * 6 * kRate);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env = std::min(1.0, t / 0.002) * std::exp(-t / decay);
        const double index = 1.4 * std::exp(-t / (decay * 0.35));
        const double mod = std::sin(kTau * freq * 3.5 * t) * index;
        const double v = std::sin(kTau * freq * t + mod) + 0.3 * std::sin(kTau * freq * 2 * t);
        tr.Add(first + i, v * env * amp);
    }
}

// A warm pad voice: a few detuned, softly weighted harmonics.
void PadNote(Track& tr, double start, double length, double freq, double amp) {
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t n = static_cast<size_t>((length + 0.8) * kRate);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env = Envelope(t, length, 0.35, 1.5, 0.7, 0.8);
        double v = 0;
        for (double detune : {-0.0035, 0.0, 0.0041}) {
            const double f = freq * (1 + detune);
            v += std::sin(kTau * f * t) + 0.32 * std::sin(kTau * 2 * f * t + 0.4) +
                 0.12 * std::sin(kTau * 3 * f * t + 1.1);
        }
        tr.Add(first + i, v * env * amp / 3);
    }
}

// An electric-piano pluck: a gentle FM tine.
void Pluck(Track& tr, double start, double freq, double amp, double decay) {
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t n = static_cast<size_t>(decay * 5 * kRate);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env = std::min(1.0, t / 0.003) * std::exp(-t / decay);
        const double mod = std::sin(kTau * freq * t) * 1.1 * std::exp(-t / 0.12);
        tr.Add(first + i, std::sin(kTau * freq * t + mod) * env * amp);
    }
}

// The lead: a soft, breathy sine with a delayed vibrato.
void Lead(Track& tr, double start, double length, double freq, double amp) {
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t n = static_cast<size_t>((length + 0.3) * kRate);
    double phase = 0;
    Rng rng(static_cast<std::uint64_t>(start * 1000) + 7);
    double breath = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env = Envelope(t, length, 0.03, 0.4, 0.75, 0.25);
        const double vib = 1 + 0.004 * std::min(1.0, t / 0.4) * std::sin(kTau * 5.2 * t);
        phase += kTau * freq * vib / kRate;
        breath = breath * 0.85 + rng.Signed() * 0.15;
        const double v = std::sin(phase) + 0.18 * std::sin(3 * phase) + 0.08 * std::sin(2 * phase) +
                         breath * 0.05;
        tr.Add(first + i, v * env * amp);
    }
}

void Bass(Track& tr, double start, double length, double freq, double amp) {
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t n = static_cast<size_t>((length + 0.1) * kRate);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env = Envelope(t, length, 0.006, 0.35, 0.55, 0.08);
        const double v = std::sin(kTau * freq * t) + 0.25 * std::sin(kTau * 2 * freq * t) +
                         0.08 * std::sin(kTau * 3 * freq * t);
        tr.Add(first + i, v * env * amp);
    }
}

void Kick(Track& tr, double start, double amp) {
    const size_t first = static_cast<size_t>(start * kRate);
    double phase = 0;
    for (size_t i = 0; i < static_cast<size_t>(0.7 * kRate); ++i) {
        const double t = i / kRate;
        const double f = 45 + 75 * std::exp(-t / 0.04);
        phase += kTau * f / kRate;
        tr.Add(first + i, std::sin(phase) * std::exp(-t / 0.11) * amp);
    }
}

// Noise through a one-pole filter pair: `low` keeps the body, the rest is brightness.
void Noise(Track& tr, double start, double decay, double amp, double bright, std::uint64_t seed) {
    const size_t first = static_cast<size_t>(start * kRate);
    Rng rng(seed);
    double lp = 0, lp2 = 0;
    for (size_t i = 0; i < static_cast<size_t>(decay * 6 * kRate); ++i) {
        const double t = i / kRate;
        const double x = rng.Signed();
        lp += (x - lp) * 0.35;
        lp2 += (lp - lp2) * 0.5;
        const double v = bright * (x - lp) + (1 - bright) * (lp - lp2) * 2.0;
        tr.Add(first + i, v * std::exp(-t / decay) * amp);
    }
}

// A feedback echo.
std::vector<double> Echo(const std::vector<double>& in, double delay, double feedback, double mix) {
    const size_t d = static_cast<size_t>(delay * kRate);
    std::vector<double> wet(in.size() + d * 6, 0.0), out(wet.size(), 0.0);
    for (size_t i = 0; i < wet.size(); ++i) {
        const double x = i < in.size() ? in[i] : 0;
        wet[i] = x + (i >= d ? wet[i - d] * feedback : 0);
        out[i] = x + (i >= d ? wet[i - d] * mix : 0);
    }
    return out;
}

// Soft saturation and normalisation to a peak.
std::vector<float> Master(std::vector<double> s, double peak, double fadeIn, double fadeOut) {
    double top = 1e-9;
    for (double& v : s) {
        v = std::tanh(v * 1.2);
        top = std::max(top, std::abs(v));
    }
    std::vector<float> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate, left = (s.size() - i) / kRate;
        double g = peak / top;
        if (t < fadeIn) g *= t / fadeIn;
        if (left < fadeOut) g *= std::pow(left / fadeOut, 1.5);
        out[i] = static_cast<float>(s[i] * g);
    }
    return out;
}

}  // namespace

std::vector<float> Blip() {
    Track tr;
    const size_t n = static_cast<size_t>(0.15 * kRate);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double f = 660 + 420 * std::exp(-t / 0.025);
        phase += kTau * f / kRate;
        const double env = std::min(1.0, t / 0.003) * std::exp(-t / 0.035);
        tr.Add(i, (std::sin(phase) + 0.2 * std::sin(2 * phase)) * env);
    }
    return Master(tr.s, 0.55, 0.0, 0.02);
}

std::vector<float> Chime() {
    Track tr;
    const double notes[] = {74, 78, 81, 86};  // D5 F#5 A5 D6
    for (int i = 0; i < 4; ++i) Bell(tr, 0.02 + i * 0.11, Midi(notes[i]), 0.5 - i * 0.05, 0.45);
    for (double n : {62.0, 66.0, 69.0}) PadNote(tr, 0.0, 0.7, Midi(n), 0.12);
    tr.s.resize(static_cast<size_t>(1.6 * kRate), 0.0);
    std::vector<double> wet = Echo(tr.s, 0.16, 0.3, 0.25);
    wet.resize(static_cast<size_t>(1.6 * kRate));
    return Master(wet, 0.8, 0.0, 0.4);
}

std::vector<float> DemoTrack() {
    const double beat = 60.0 / 108;
    auto at = [beat](double beats) { return beats * beat; };
    // D - Bm - G - A, twice, then D.
    struct Chord {
        int root;  // MIDI of the bass root
        int tones[3];
    };
    const Chord chords[] = {{38, {62, 66, 69}}, {35, {59, 62, 66}}, {43, {59, 62, 67}},
                            {33, {61, 64, 69}}, {38, {62, 66, 69}}, {35, {59, 62, 66}},
                            {43, {59, 62, 67}}, {33, {61, 64, 69}}, {38, {62, 66, 69}}};
    struct Note {
        double start, length;
        int midi;
    };
    const Note melody[] = {
        {0, 1, 69},      {1, 0.5, 66},    {1.5, 0.5, 69},  {2, 1.5, 74},    {3.5, 0.5, 73},
        {4, 1, 71},      {5, 0.5, 74},    {5.5, 1.5, 78},  {7, 1, 76},      {8, 1, 74},
        {9, 1, 71},      {10, 0.5, 67},   {10.5, 0.5, 69}, {11, 1, 71},     {12, 2, 69},
        {14, 1, 76},     {15, 1, 73},     {16, 1, 78},     {17, 0.5, 76},   {17.5, 0.5, 74},
        {18, 1.5, 69},   {19.5, 0.5, 74}, {20, 1, 78},     {21, 1, 81},     {22, 0.5, 78},
        {22.5, 0.5, 76}, {23, 1, 74},     {24, 1, 71},     {25, 0.5, 74},   {25.5, 0.5, 76},
        {26, 1, 79},     {27, 1, 78},     {28, 1.5, 76},   {29.5, 0.5, 73}, {30, 2, 69},
        {32, 3.5, 74},
    };

    Track pad, keys, lead, bass, drums;
    for (int bar = 0; bar < 9; ++bar) {
        const Chord& c = chords[bar];
        const double b0 = bar * 4;
        const double length = bar == 8 ? 3.5 : 3.9;
        for (int t : c.tones) PadNote(pad, at(b0), at(length), Midi(t), 0.16);
        if (bar < 8) {
            // Eighth-note arpeggio over the chord, rising then falling.
            const int arp[8] = {c.tones[0], c.tones[1], c.tones[2], c.tones[0] + 12,
                                c.tones[2], c.tones[1], c.tones[2], c.tones[0] + 12};
            for (int i = 0; i < 8; ++i) {
                Pluck(keys, at(b0 + i * 0.5), Midi(arp[i] + 12), i % 2 ? 0.10 : 0.14, 0.22);
            }
            Bass(bass, at(b0), at(1.4), Midi(c.root), 0.5);
            Bass(bass, at(b0 + 1.5), at(0.45), Midi(c.root + 12), 0.32);
            Bass(bass, at(b0 + 2), at(1.4), Midi(c.root), 0.45);
            Bass(bass, at(b0 + 3.5), at(0.45), Midi(c.root + 7), 0.32);
        } else {
            Bass(bass, at(b0), at(3.0), Midi(c.root), 0.5);
            Pluck(keys, at(b0), Midi(c.tones[0] + 12), 0.14, 0.6);
        }
        if (bar >= 1 && bar < 8) {
            Kick(drums, at(b0), 0.7);
            Kick(drums, at(b0 + 2), 0.6);
            if (bar % 2) Kick(drums, at(b0 + 2.5), 0.4);
            for (double b : {1.0, 3.0})
                Noise(drums, at(b0 + b), 0.07, 0.22, 0.45, 100 + bar * 8 + int(b));
            for (int i = 0; i < 8; ++i) {
                Noise(drums, at(b0 + i * 0.5), 0.018, i % 2 ? 0.10 : 0.06, 1.0, 200 + bar * 8 + i);
            }
        }
        if (bar == 8) {
            Kick(drums, at(b0), 0.6);
            Noise(drums, at(b0), 0.6, 0.07, 0.9, 999);
        }
    }
    for (const Note& n : melody) Lead(lead, at(n.start), at(n.length) * 0.92, Midi(n.midi), 0.26);

    std::vector<double> leadWet = Echo(lead.s, at(0.75), 0.28, 0.22);
    std::vector<double> keysWet = Echo(keys.s, at(1.5), 0.2, 0.15);
    const size_t total = static_cast<size_t>(at(36) * kRate + 0.5 * kRate);
    std::vector<double> mix(total, 0.0);
    auto add = [&](const std::vector<double>& v, double gain) {
        for (size_t i = 0; i < std::min(v.size(), total); ++i) mix[i] += v[i] * gain;
    };
    add(pad.s, 0.55);
    add(keysWet, 0.6);
    add(leadWet, 0.8);
    add(bass.s, 0.55);
    add(drums.s, 0.6);
    // A gentle low-pass on the whole mix takes the edge off.
    double lp = 0;
    for (double& v : mix) {
        lp += (v - lp) * 0.6;
        v = lp;
    }
    return Master(mix, 0.85, 0.02, 3.0);
}

}  // namespace makedata
