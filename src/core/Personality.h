#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace halvrick {

// The mascot's voice; stored by its raw value, the case name.
enum class Personality { mild, dramatic, deadpan, gremlin };

inline constexpr std::array<Personality, 4> allPersonalities{Personality::mild, Personality::dramatic,
                                                             Personality::deadpan, Personality::gremlin};

std::string_view toString(Personality personality);
// Exact and case-sensitive: "Gremlin" is no personality.
std::optional<Personality> personalityFromString(std::string_view raw);

std::string_view title(Personality personality);
std::string_view blurb(Personality personality);
// Whether every face shown in this voice is passed through PeaFace::cappedForMild().
bool capsExpressions(Personality personality);

} // namespace halvrick
