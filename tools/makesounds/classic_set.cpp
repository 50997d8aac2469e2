// Classic ship sounds: raw squares and sample-and-hold noise, the way an old
// arcade sound board would make them.
#include "sound_sets.h"

namespace volmarin::media {

namespace {

Voice square(double start, double length, double freq, double freq_end = 0.0) {
    Voice v;
    v.wave = Wave::Square;
    v.start = start;
    v.length = length;
    v.freq = freq;
    v.freq_end = freq_end;
    return v;
}

Voice noise(double start, double length, double rate, double rate_end = 0.0) {
    Voice v = square(start, length, rate, rate_end);
    v.wave = Wave::Noise;
    return v;
}

Samples fire(Rng& rng) {
    Samples s;
    Voice zap = square(0.0, 0.11, 1500.0, 260.0);
    zap.glide_curve = 0.5;
    zap.decay = 0.05;
    add(s, zap, rng);
    Voice click = noise(0.0, 0.025, 9000.0);
    click.decay = 0.008;
    click.gain = 0.5;
    add(s, click, rng);
    return s;
}

Samples laser(Rng& rng) {
    Samples s;
    for (int i = 0; i < 2; ++i) {
        Voice beam = square(0.0, 0.28, 2600.0 - 300.0 * i, 500.0 + 40.0 * i);
        beam.duty = i == 0 ? 0.5 : 0.25;
        beam.glide_curve = 0.6;
        beam.vibrato_rate = 55.0;
        beam.vibrato_depth = 0.06;
        beam.decay = 0.12;
        beam.gain = 0.6;
        add(s, beam, rng);
    }
    return s;
}

Samples missile(Rng& rng) {
    Samples s;
    Voice climb = square(0.0, 0.42, 110.0, 520.0);
    climb.duty = 0.25;
    climb.steps = 12.0;
    climb.decay = 0.3;
    add(s, climb, rng);
    Voice hiss = noise(0.0, 0.45, 5000.0, 1200.0);
    hiss.attack = 0.03;
    hiss.decay = 0.15;
    hiss.gain = 0.6;
    add(s, hiss, rng);
    return s;
}

Samples abomb_launch(Rng& rng) {
    Samples s;
    Voice rise = square(0.0, 0.55, 70.0, 900.0);
    rise.steps = 16.0;
    rise.glide_curve = 1.4;
    rise.release = 0.08;
    add(s, rise, rng);
    Voice octave = rise;
    octave.freq *= 2.0;
    octave.freq_end *= 2.0;
    octave.duty = 0.125;
    octave.gain = 0.35;
    add(s, octave, rng);
    Voice kick = noise(0.0, 0.12, 4000.0, 800.0);
    kick.decay = 0.04;
    add(s, kick, rng);
    return s;
}

Samples abomb(Rng& rng) {
    Samples s;
    Voice blast = noise(0.0, 1.8, 7000.0, 180.0);
    blast.glide_curve = 0.6;
    blast.decay = 0.55;
    blast.release = 0.3;
    add(s, blast, rng);
    Voice sub = square(0.0, 0.9, 90.0, 28.0);
    sub.decay = 0.3;
    sub.gain = 0.7;
    add(s, sub, rng);
    saturate(s, 2.2);
    crush(s, 48);
    return s;
}

Samples crash(Rng& rng) {
    Samples s;
    Voice burst = noise(0.0, 0.5, 9500.0, 500.0);
    burst.glide_curve = 0.5;
    burst.decay = 0.11;
    add(s, burst, rng);
    Voice thump = square(0.0, 0.16, 160.0, 40.0);
    thump.decay = 0.05;
    thump.gain = 0.8;
    add(s, thump, rng);
    saturate(s, 2.5);
    return s;
}

Samples bounce(Rng& rng) {
    Samples s;
    Voice boing = square(0.0, 0.09, 220.0, 900.0);
    boing.glide_curve = 0.5;
    boing.duty = 0.25;
    boing.decay = 0.05;
    add(s, boing, rng);
    echo(s, 0.06, 0.35, 1);
    return s;
}

Samples gameover(Rng& rng) {
    Samples s;
    const double notes[] = {72, 67, 63, 60, 55};
    double t = 0.0;
    for (double n : notes) {
        Voice step = square(t, 0.21, note_hz(n));
        step.decay = 0.18;
        add(s, step, rng);
        t += 0.22;
    }
    Voice fall = square(t, 0.9, note_hz(48), note_hz(24));
    fall.steps = 18.0;
    fall.vibrato_rate = 7.0;
    fall.vibrato_depth = 0.03;
    fall.release = 0.3;
    add(s, fall, rng);
    return s;
}

// One pickup chime: a quick octave blip on `note`, higher for each pickup.
Samples chime(Rng& rng, double note) {
    Samples s;
    Voice low = square(0.0, 0.05, note_hz(note));
    low.duty = 0.25;
    add(s, low, rng);
    Voice high = square(0.05, 0.2, note_hz(note + 12));
    high.duty = 0.25;
    high.decay = 0.07;
    add(s, high, rng);
    return s;
}

Samples getweapon(Rng& rng) {
    Samples s;
    const double notes[] = {60, 64, 67, 72, 76, 79, 84};
    double t = 0.0;
    for (double n : notes) {
        add(s, square(t, 0.04, note_hz(n)), rng);
        t += 0.04;
    }
    Voice hold = square(t, 0.22, note_hz(84));
    hold.duty = 0.125;
    hold.vibrato_rate = 12.0;
    hold.vibrato_depth = 0.02;
    hold.decay = 0.12;
    add(s, hold, rng);
    return s;
}

Samples hyperspace(Rng& rng) {
    Samples s;
    for (int i = 0; i < 4; ++i) {
        Voice warp = square(0.16 * i, 0.2, 150.0 * (1 + i), 1500.0 * (1 + 0.5 * i));
        warp.glide_curve = 0.7;
        warp.gain = 1.0 - 0.18 * i;
        add(s, warp, rng);
    }
    Voice fizz = noise(0.0, 0.8, 2000.0, 12000.0);
    fizz.decay = 0.3;
    fizz.gain = 0.25;
    add(s, fizz, rng);
    return s;
}

Samples spawn(Rng& rng) {
    Samples s;
    Voice beam_in = square(0.0, 0.4, 1760.0, 440.0);
    beam_in.steps = 10.0;
    beam_in.duty = 0.125;
    add(s, beam_in, rng);
    const double chord[] = {69, 73, 76};
    for (double n : chord) {
        Voice settle = square(0.4, 0.22, note_hz(n));
        settle.decay = 0.1;
        settle.gain = 0.4;
        add(s, settle, rng);
    }
    return s;
}

Samples one_up(Rng& rng) {
    Samples s;
    Voice sweep = square(0.0, 0.5, 220.0, 1760.0);
    sweep.steps = 16.0;
    add(s, sweep, rng);
    for (int i = 0; i < 6; ++i) {
        Voice trill = square(0.5 + 0.045 * i, 0.045, i % 2 ? 2093.0 : 1760.0);
        trill.duty = 0.25;
        trill.gain = 1.0 - 0.1 * i;
        add(s, trill, rng);
    }
    return s;
}

}  // namespace

std::vector<NamedSound> classic_set() {
    // Pickup chimes climb a C major arpeggio.
    return render_sounds({{"abomb.wav", abomb},
                          {"abomblaunch.wav", abomb_launch},
                          {"bounce.wav", bounce},
                          {"crash.wav", crash},
                          {"fire.wav", fire},
                          {"gameover.wav", gameover},
                          {"get1.wav", [](Rng& r) { return chime(r, 72); }},
                          {"get2.wav", [](Rng& r) { return chime(r, 76); }},
                          {"get3.wav", [](Rng& r) { return chime(r, 79); }},
                          {"get4.wav", [](Rng& r) { return chime(r, 84); }},
                          {"get5.wav", [](Rng& r) { return chime(r, 88); }},
                          {"getweapon.wav", getweapon},
                          {"hyperspace.wav", hyperspace},
                          {"laser.wav", laser},
                          {"missile.wav", missile},
                          {"spawn.wav", spawn},
                          {"1up.wav", one_up}},
                         "classic/");
}

}  // namespace volmarin::media
