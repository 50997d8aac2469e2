// Trek ship sounds: sine and FM voices, soft filtered noise and echoing tails,
// for a cleaner and more futuristic feel than the classic set.
#include "sound_sets.h"

namespace volmarin::media {

namespace {

Voice sine(double start, double length, double freq, double freq_end = 0.0) {
    Voice v;
    v.wave = Wave::Sine;
    v.start = start;
    v.length = length;
    v.freq = freq;
    v.freq_end = freq_end;
    v.attack = 0.004;
    return v;
}

Voice fm(double start, double length, double freq, double ratio, double index,
         double index_end = -1.0) {
    Voice v = sine(start, length, freq);
    v.fm_ratio = ratio;
    v.fm_index = index;
    v.fm_index_end = index_end;
    return v;
}

// White noise through the sweeping low-pass filter.
Voice hush(double start, double length, double cutoff, double cutoff_end) {
    Voice v = sine(start, length, kSampleRate);
    v.wave = Wave::Noise;
    v.cutoff = cutoff;
    v.cutoff_end = cutoff_end;
    return v;
}

// A struck FM bell on `note`. The 1:3 ratio keeps every partial harmonic, so
// the pitch reads clearly; the brightness dies away with the strike.
Voice bell(double start, double note, double length, double gain = 1.0) {
    Voice v = fm(start, length, note_hz(note), 3.0, 2.5, 0.0);
    v.attack = 0.002;
    v.decay = length / 3.0;
    v.release = length / 4.0;
    v.gain = gain;
    return v;
}

Samples fire(Rng& rng) {
    Samples s;
    Voice shot = fm(0.0, 0.16, 1900.0, 0.5, 3.0, 0.0);
    shot.freq_end = 480.0;
    shot.glide_curve = 0.6;
    shot.decay = 0.05;
    add(s, shot, rng);
    echo(s, 0.045, 0.3, 1);
    return s;
}

Samples laser(Rng& rng) {
    Samples s;
    Voice beam = fm(0.0, 0.45, 880.0, 1.5, 2.0, 0.6);
    beam.attack = 0.015;
    beam.vibrato_rate = 38.0;
    beam.vibrato_depth = 0.02;
    beam.release = 0.15;
    add(s, beam, rng);
    Voice shimmer = sine(0.0, 0.45, 1765.0, 1500.0);
    shimmer.gain = 0.3;
    shimmer.release = 0.2;
    add(s, shimmer, rng);
    echo(s, 0.09, 0.35, 2);
    return s;
}

Samples missile(Rng& rng) {
    Samples s;
    Voice whoosh = hush(0.0, 0.6, 500.0, 3500.0);
    whoosh.attack = 0.08;
    whoosh.decay = 0.35;
    whoosh.release = 0.2;
    add(s, whoosh, rng);
    Voice drive = fm(0.0, 0.6, 300.0, 2.0, 1.5, 0.3);
    drive.freq_end = 900.0;
    drive.decay = 0.3;
    drive.gain = 0.5;
    add(s, drive, rng);
    echo(s, 0.1, 0.3, 2);
    return s;
}

Samples abomb_launch(Rng& rng) {
    Samples s;
    Voice thrum = fm(0.0, 0.8, 60.0, 2.0, 5.0, 1.0);
    thrum.freq_end = 240.0;
    thrum.attack = 0.03;
    thrum.release = 0.25;
    add(s, thrum, rng);
    Voice air = hush(0.0, 0.8, 200.0, 2500.0);
    air.decay = 0.4;
    air.gain = 0.5;
    add(s, air, rng);
    echo(s, 0.12, 0.3, 2);
    return s;
}

Samples abomb(Rng& rng) {
    Samples s;
    Voice blast = hush(0.0, 2.2, 5000.0, 90.0);
    blast.glide_curve = 0.5;
    blast.decay = 0.8;
    blast.release = 0.5;
    add(s, blast, rng);
    Voice boom = fm(0.0, 1.4, 62.0, 0.5, 4.0, 0.0);
    boom.freq_end = 24.0;
    boom.decay = 0.5;
    boom.release = 0.3;
    add(s, boom, rng);
    echo(s, 0.13, 0.35, 3);
    return s;
}

Samples crash(Rng& rng) {
    Samples s;
    Voice burst = hush(0.0, 0.7, 7000.0, 350.0);
    burst.glide_curve = 0.5;
    burst.decay = 0.16;
    add(s, burst, rng);
    Voice thump = sine(0.0, 0.25, 130.0, 38.0);
    thump.decay = 0.08;
    add(s, thump, rng);
    echo(s, 0.08, 0.3, 2);
    return s;
}

Samples bounce(Rng& rng) {
    Samples s;
    Voice boing = fm(0.0, 0.14, 420.0, 3.5, 1.2, 0.2);
    boing.freq_end = 880.0;
    boing.glide_curve = 0.4;
    boing.decay = 0.05;
    add(s, boing, rng);
    echo(s, 0.07, 0.35, 2);
    return s;
}

Samples gameover(Rng& rng) {
    Samples s;
    const double chord[] = {60, 63, 67, 72};
    for (double n : chord) {
        Voice fall = fm(0.0, 2.0, note_hz(n), 1.0, 1.5, 0.1);
        fall.freq_end = note_hz(n - 15);
        fall.glide_curve = 1.6;
        fall.attack = 0.05;
        fall.release = 0.8;
        fall.vibrato_rate = 5.0;
        fall.vibrato_depth = 0.006;
        fall.gain = 0.5;
        add(s, fall, rng);
    }
    echo(s, 0.21, 0.4, 3);
    return s;
}

// One pickup chime: a bell with a soft octave above, higher for each pickup.
Samples chime(Rng& rng, double note) {
    Samples s;
    add(s, bell(0.0, note, 0.7), rng);
    Voice air = sine(0.0, 0.5, note_hz(note + 12));
    air.decay = 0.12;
    air.gain = 0.3;
    add(s, air, rng);
    echo(s, 0.11, 0.35, 3);
    return s;
}

Samples getweapon(Rng& rng) {
    Samples s;
    Voice rise = fm(0.0, 0.45, 300.0, 2.0, 2.0, 0.5);
    rise.freq_end = 1200.0;
    rise.glide_curve = 0.7;
    rise.attack = 0.02;
    add(s, rise, rng);
    add(s, bell(0.4, 83, 0.6), rng);
    add(s, bell(0.4, 90, 0.6, 0.5), rng);
    echo(s, 0.12, 0.35, 2);
    return s;
}

Samples hyperspace(Rng& rng) {
    Samples s;
    Voice warp = fm(0.0, 1.0, 100.0, 0.5, 0.0, 8.0);
    warp.freq_end = 1600.0;
    warp.glide_curve = 2.0;
    warp.vibrato_rate = 9.0;
    warp.vibrato_depth = 0.05;
    warp.release = 0.25;
    add(s, warp, rng);
    Voice rush = hush(0.0, 1.0, 300.0, 6000.0);
    rush.glide_curve = 2.0;
    rush.gain = 0.5;
    rush.release = 0.3;
    add(s, rush, rng);
    echo(s, 0.15, 0.35, 2);
    return s;
}

Samples spawn(Rng& rng) {
    Samples s;
    const double notes[] = {72, 79, 84, 88};
    for (int i = 0; i < 4; ++i) {
        Voice shimmer = sine(0.08 * i, 0.75 - 0.08 * i, note_hz(notes[i]));
        shimmer.attack = 0.2;
        shimmer.release = 0.35;
        shimmer.vibrato_rate = 6.0 + i;
        shimmer.vibrato_depth = 0.008;
        shimmer.gain = 0.5;
        add(s, shimmer, rng);
    }
    echo(s, 0.13, 0.35, 2);
    return s;
}

Samples one_up(Rng& rng) {
    Samples s;
    Voice sweep = fm(0.0, 0.55, 300.0, 2.0, 1.0, 0.2);
    sweep.freq_end = 2400.0;
    sweep.attack = 0.02;
    add(s, sweep, rng);
    add(s, bell(0.55, 91, 0.6), rng);
    echo(s, 0.1, 0.4, 3);
    return s;
}

}  // namespace

std::vector<NamedSound> trek_set() {
    return render_sounds({{"abomb.wav", abomb},
                          {"abomblaunch.wav", abomb_launch},
                          {"bounce.wav", bounce},
                          {"crash.wav", crash},
                          {"fire.wav", fire},
                          {"gameover.wav", gameover},
                          // Pickup chimes climb an E major pentatonic line.
                          {"get1.wav", [](Rng& r) { return chime(r, 76); }},
                          {"get2.wav", [](Rng& r) { return chime(r, 78); }},
                          {"get3.wav", [](Rng& r) { return chime(r, 80); }},
                          {"get4.wav", [](Rng& r) { return chime(r, 83); }},
                          {"get5.wav", [](Rng& r) { return chime(r, 85); }},
                          {"getweapon.wav", getweapon},
                          {"hyperspace.wav", hyperspace},
                          {"laser.wav", laser},
                          {"missile.wav", missile},
                          {"spawn.wav", spawn},
                          {"1up.wav", one_up}},
                         "trek/");
}

}  // namespace volmarin::media
