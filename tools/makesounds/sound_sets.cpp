#include "sound_sets.h"

namespace volmarin::media {

const std::vector<std::string>& sound_set_names() {
    static const std::vector<std::string> names = {
        "abomb.wav",    "abomblaunch.wav", "bounce.wav",     "crash.wav", "fire.wav",
        "gameover.wav", "get1.wav",        "get2.wav",       "get3.wav",  "get4.wav",
        "get5.wav",     "getweapon.wav",   "hyperspace.wav", "laser.wav", "missile.wav",
        "spawn.wav",    "1up.wav"};
    return names;
}

std::vector<NamedSound> render_sounds(const std::vector<std::pair<const char*, SoundMaker>>& makers,
                                      const std::string& seed_prefix) {
    std::vector<NamedSound> out;
    out.reserve(makers.size());
    for (const auto& [name, make] : makers) {
        Rng rng = Rng::from_name(seed_prefix + name);
        out.push_back({name, finish(make(rng))});
    }
    return out;
}

}  // namespace volmarin::media
