#include "sound_sets.h"

#include <algorithm>

#include "core/media.h"

namespace volmarin::media {

const std::vector<std::string>& sound_set_names() {
    // The game's effect list, each file once (four gun aliases share one file).
    static const std::vector<std::string> names = [] {
        std::vector<std::string> files;
        for (const MediaFile& e : soundeffects) {
            if (std::find(files.begin(), files.end(), e.file) == files.end())
                files.push_back(e.file);
        }
        return files;
    }();
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
