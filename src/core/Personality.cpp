#include "core/Personality.h"

namespace halvrick {

namespace {

struct Voice {
    std::string_view raw;
    std::string_view title;
    std::string_view blurb;
    bool capsExpressions;
};

constexpr Voice voice(Personality personality) {
    switch (personality) {
    case Personality::mild:
        return {"mild", "Mild", "Dry, understated, a little worried.", true};
    case Personality::dramatic:
        return {"dramatic", "Dramatic", "Everything is a crisis. Lovingly.", false};
    case Personality::deadpan:
        return {"deadpan", "Deadpan", "Flat voice. Sees everything. Impressed by nothing.", false};
    case Personality::gremlin:
        return {"gremlin", "Gremlin", "Lowercase, feral, extremely online. Loves chaos.", false};
    }
    return {};
}

} // namespace

std::string_view toString(Personality personality) {
    return voice(personality).raw;
}

std::optional<Personality> personalityFromString(std::string_view raw) {
    for (const Personality p : allPersonalities) {
        if (toString(p) == raw) {
            return p;
        }
    }
    return std::nullopt;
}

std::string_view title(Personality personality) {
    return voice(personality).title;
}
std::string_view blurb(Personality personality) {
    return voice(personality).blurb;
}
bool capsExpressions(Personality personality) {
    return voice(personality).capsExpressions;
}

} // namespace halvrick
