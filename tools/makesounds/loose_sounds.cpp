// Effects that both ships share: the orchestral hit that opens a game, the
// whoosh of a missile leaving the ship, the level banner chime and the
// self-destruct blast.
#include "sound_sets.h"

namespace volmarin::media {

namespace {

Voice voice(Wave wave, double start, double length, double freq, double freq_end = 0.0) {
    Voice v;
    v.wave = wave;
    v.start = start;
    v.length = length;
    v.freq = freq;
    v.freq_end = freq_end;
    return v;
}

Voice filtered_noise(double start, double length, double cutoff, double cutoff_end) {
    Voice v = voice(Wave::Noise, start, length, kSampleRate);
    v.cutoff = cutoff;
    v.cutoff_end = cutoff_end;
    return v;
}

// A low C minor stab of detuned brassy saws over a timpani thud.
Samples orchestra_hit(Rng& rng) {
    Samples s;
    const double chord[] = {36, 48, 55, 60, 63, 67, 72};
    for (double n : chord) {
        for (double detune : {-0.08, 0.08}) {
            Voice saw = voice(Wave::Saw, 0.0, 0.9, note_hz(n + detune));
            saw.attack = 0.004;
            saw.decay = 0.22;
            saw.release = 0.3;
            saw.cutoff = 6000.0;
            saw.cutoff_end = 500.0;
            saw.gain = n < 40 ? 0.5 : 0.25;
            add(s, saw, rng);
        }
    }
    Voice bite = filtered_noise(0.0, 0.06, 8000.0, 2000.0);
    bite.decay = 0.015;
    bite.gain = 1.2;
    add(s, bite, rng);
    Voice timpani = voice(Wave::Sine, 0.0, 0.8, 70.0, 55.0);
    timpani.decay = 0.25;
    timpani.gain = 1.5;
    add(s, timpani, rng);
    saturate(s, 1.5);
    echo(s, 0.09, 0.25, 2);
    return s;
}

Samples missile_whoosh(Rng& rng) {
    Samples s;
    Voice ignite = filtered_noise(0.0, 0.3, 400.0, 5000.0);
    ignite.attack = 0.12;
    ignite.release = 0.02;
    add(s, ignite, rng);
    Voice away = filtered_noise(0.3, 0.6, 5000.0, 250.0);
    away.attack = 0.0;
    away.decay = 0.25;
    away.release = 0.2;
    add(s, away, rng);
    Voice rumble = voice(Wave::Triangle, 0.0, 0.7, 90.0, 50.0);
    rumble.attack = 0.05;
    rumble.decay = 0.3;
    rumble.gain = 0.35;
    add(s, rumble, rng);
    return s;
}

// A bright struck bell with an inharmonic partial, left to ring.
Samples ding(Rng& rng) {
    Samples s;
    Voice strike = voice(Wave::Sine, 0.0, 1.4, note_hz(84));
    strike.fm_ratio = 3.5;
    strike.fm_index = 2.5;
    strike.fm_index_end = 0.0;
    strike.decay = 0.45;
    strike.release = 0.4;
    add(s, strike, rng);
    Voice partial = voice(Wave::Sine, 0.0, 1.0, note_hz(84) * 2.76);
    partial.decay = 0.18;
    partial.release = 0.3;
    partial.gain = 0.35;
    add(s, partial, rng);
    return s;
}

// A long roaring blast with a falling sub boom and scattered crackles.
Samples self_destruct(Rng& rng) {
    Samples s;
    Voice roar = filtered_noise(0.0, 2.6, 8000.0, 80.0);
    roar.glide_curve = 0.5;
    roar.decay = 0.75;
    roar.release = 0.5;
    add(s, roar, rng);
    Voice boom = voice(Wave::Sine, 0.0, 1.6, 58.0, 20.0);
    boom.decay = 0.5;
    boom.release = 0.3;
    boom.gain = 1.2;
    add(s, boom, rng);
    for (int i = 0; i < 14; ++i) {
        const double at = 0.1 + 1.4 * (static_cast<double>(rng.next() % 1000) / 1000.0);
        Voice crackle = voice(Wave::Noise, at, 0.05, 3000.0 + (rng.next() % 5000));
        crackle.decay = 0.012;
        crackle.gain = 0.5 * (1.0 - at / 2.0);
        add(s, crackle, rng);
    }
    saturate(s, 1.8);
    return s;
}

}  // namespace

std::vector<NamedSound> loose_sounds() {
    return render_sounds({{"orchhitl.wav", orchestra_hit},
                          {"missleFire.wav", missile_whoosh},
                          {"ding.wav", ding},
                          {"explosion.wav", self_destruct}},
                         "");
}

}  // namespace volmarin::media
