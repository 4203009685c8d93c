#include "model/Copy.h"

#include "core/Bytes.h"

#include <array>

namespace halvrick::Copy {

namespace {

using Lines = std::array<std::string_view, 5>;
// Indexed by heat state, chill first.
using HeatTable = std::array<Lines, 4>;

constexpr HeatTable mildHeatLines{{
    {"Easy day. Love this for us.", "Cool as a cucumber. A cooler cucumber.",
     "Not a single drop. I'm thriving.", "This is my resting pea face.",
     "We could do this all day. Please do."},
    {"Getting a bit warm in here.", "Is it me or is it toasty?", "Just a little glow. Totally fine.",
     "I felt that one.", "Warming up. Not worried. Mostly."},
    {"Who opened 40 tabs? Asking for me.", "I'm working really hard right now.",
     "Somebody's keeping me very busy.", "Drip. Drip. That's me.", "Could we maybe close something?"},
    {"I'm literally melting. Please.", "This is fine. This is not fine.",
     "Every core is on fire. Emotionally.", "Send help. And maybe a fan.", "I am becoming soup."},
}};

constexpr HeatTable dramaticHeatLines{{
    {"Zero drops. Zero drama. (Okay, a little drama.)", "I'm so relaxed I forgot what work is.",
     "The fan is off. The vibes are immaculate.", "Look at me. Cool, calm and extremely green.",
     "We are basically on vacation."},
    {"Ooh. Ooh! I felt that.", "The laptop is getting… cozy.", "A single drop. One. I'm being brave.",
     "Someone is ambitious today.", "Warming up! This is fine! PROBABLY!"},
    {"I am a puddle with a face!", "Every fan in this computer is screaming.",
     "I'm sweating like a pea at a job interview.", "Please. Close. One. Tab.", "This is my cardio."},
    {"I AM SOUP. SOUP WITH FEELINGS.", "The fans have given up. I've given up. We've all given up.",
     "My core temperature is a personality now.", "Send a fan. Send a friend. Send help.",
     "I'm melting! Meeeelting! (Dramatically.)"},
}};

constexpr HeatTable deadpanHeatLines{{
    {"Cool. Extremely cool. Suspiciously cool.", "Nothing is happening. It's great.",
     "The fans are off. I have no notes.", "I'm fine. This is fine. For once.", "Zero sweat. Zero thoughts."},
    {"Huh. Warm.", "That's a little warm. Noted.", "A single degree of concern.",
     "Someone is doing something.", "Warm. Okay. Sure."},
    {"Okay. This is a lot.", "I'm sweating. I'd rather not be.", "That's a lot of tabs. Just saying.",
     "My fans are audible. Cool.", "I'm going to need everyone to calm down."},
    {"Well. This is happening.", "I'm melting. This is bad. I'm saying it plainly.",
     "Everything is on fire. No notes.", "I have become soup. That's the update.",
     "Cool cool cool. Extremely hot."},
}};

constexpr HeatTable gremlinHeatLines{{
    {"no thoughts. just pea. hehe.", "fans off. crimes off. for now.", "i am a good little legume today.",
     "vibes: immaculate. sweat: zero.", "nothing is cooking. i am suspicious."},
    {"hehe. warm. i can feel it.", "something is afoot. and it's warm.",
     "a little toasty. i'm normal about it.", "ooh. spicy. do it again. no don't.",
     "one drop. one little crime drop."},
    {"the fans go brrr and so do i.", "i am a wet little guy now.", "WHO IS DOING THIS. show yourself.",
     "sweat mode: activated. i hate it here.", "close a tab. or don't. i'll tell on you."},
    {"I AM SOUP AND I AM UNWELL.", "the fans are screaming. i'm screaming back.",
     "everything is cooking. i have become the broth.", "this is my villain origin story.",
     "send a fan. send a snack. send HELP."},
}};

const HeatTable& heatTable(Personality personality) {
    switch (personality) {
    case Personality::dramatic:
        return dramaticHeatLines;
    case Personality::deadpan:
        return deadpanHeatLines;
    case Personality::gremlin:
        return gremlinHeatLines;
    case Personality::mild:
        break;
    }
    return mildHeatLines;
}

std::size_t pick(std::size_t count, const RandomIndex& random) {
    // A generator that breaks its range must not index past the list.
    return random(count) % count;
}

std::vector<std::string> blameTemplates(const std::string& name, Personality personality) {
    switch (personality) {
    case Personality::mild:
        return {name + " is doing this to me 😰", "It's " + name + ". It's always " + name + ".",
                name + " is making me sweat."};
    case Personality::dramatic:
        return {name + ". " + name + ". " + name + ". It's ALWAYS " + name + ".",
                name + " is personally attacking me.", "I'd like to file a complaint about " + name + ".",
                name + " did this. I have witnesses."};
    case Personality::deadpan:
        return {name + " is doing it. Obviously.", "It's " + name + ". I'm not surprised.",
                name + ". Again. Cool.", "Well. " + name + ". There it is."};
    case Personality::gremlin:
        return {name + " did it. i saw them.", "it's " + name + "! get them!", name + " is cooking me. rude.",
                name + " has been naughty."};
    }
    return {};
}

enum class Culprit { none, system, named };

std::string heatingUp(bool hot, Culprit culprit, const std::string& name, const std::string& p,
                      Personality personality) {
    switch (personality) {
    case Personality::mild:
        switch (culprit) {
        case Culprit::none:
            return hot ? p + " busy and I'm melting. Lots of little things at once 🫠"
                       : "Heads up: " + p + " busy and I'm starting to sweat 😅";
        case Culprit::named:
            return hot ? name + " is cooking me. " + p + " busy and I'm melting 🫠"
                       : "Heads up: " + name + " is turning up the heat. " + p +
                             " busy and I'm starting to sweat 😅";
        case Culprit::system:
            return hot ? "I'm melting, but it's Linux's own work (" + p + " busy). Not your apps."
                       : "Getting sweaty from Linux's own work (" + p + " busy). Not your apps, promise.";
        }
        break;
    case Personality::dramatic:
        switch (culprit) {
        case Culprit::none:
            return hot ? p + " busy and I'm MELTING. Multiple culprits. Zero mercy 🫠"
                       : "Heads up: " + p + " busy and I'm starting to SWEAT. Who is doing this 😅";
        case Culprit::named:
            return hot ? name + " is COOKING me alive. " + p + " busy. I am soup 🫠"
                       : name + " is making me SWEAT. " + p + " busy. I can feel every core 😰";
        case Culprit::system:
            return hot ? "I'm MELTING and it's Linux doing it. " + p + " busy. Not your apps. Still furious."
                       : "Linux is making me sweat. " + p + " busy. I'm not okay, but it's not your apps.";
        }
        break;
    case Personality::deadpan:
        switch (culprit) {
        case Culprit::none:
            return hot ? p + " busy. I'm melting. Several little culprits."
                       : p + " busy. I'm sweating. Several little culprits.";
        case Culprit::named:
            return hot ? name + " is at " + p + ". I'm melting. That's the situation."
                       : name + " is at " + p + ". I'm sweating. Just so you know.";
        case Culprit::system:
            return hot ? "Linux is at " + p + ". I'm melting. Nobody's fault. Still hot."
                       : "Linux is at " + p + ". I'm sweating. Cool.";
        }
        break;
    case Personality::gremlin:
        switch (culprit) {
        case Culprit::none:
            return hot ? p + " busy and i'm MELTING. everyone is doing this. chaos. 🫠"
                       : p + " busy and i'm sweaty. multiple little crimes. 😅";
        case Culprit::named:
            return hot ? name + " is COOKING me at " + p + ". hehe. help. 🫠"
                       : name + " is making me sweaty at " + p + ". rude. 😅";
        case Culprit::system:
            return hot ? "Linux is cooking me at " + p + "! not the apps! still rude! 🫠"
                       : "Linux is making me sweaty at " + p + ". not your apps. i checked. 😅";
        }
        break;
    }
    return {};
}

std::string thermal(bool critical, Personality personality) {
    switch (personality) {
    case Personality::mild:
        return critical ? "I'm genuinely overheating. Linux may slow me down to cool off 🥵"
                        : "Okay, I'm actually hot now, not just busy. Give me some air? 🥵";
    case Personality::dramatic:
        return critical ? "I'm ACTUALLY overheating. This is an emergency. Linux may slow me down 🥵"
                        : "Okay. Hot. Truly hot. Not a bit. Save me 🥵";
    case Personality::deadpan:
        return critical ? "I'm overheating. Linux may slow me down. That's all."
                        : "I'm actually hot now. Not busy. Hot.";
    case Personality::gremlin:
        // The gremlin writes the system's name in its own lower case.
        return critical ? "i'm ACTUALLY overheating. emergency. linux might slow me down. 🥵"
                        : "okay i'm actually hot. not busy hot. HOT hot. help. 🥵";
    }
    return {};
}

std::string cooledDown(Personality personality) {
    switch (personality) {
    case Personality::mild:
        return "Phew. Back to chill. Thank you 😌";
    case Personality::dramatic:
        return "PHEW. I'm alive. Barely. Thank you 😮💨";
    case Personality::deadpan:
        return "Cool now. Fine. Thanks.";
    case Personality::gremlin:
        return "PHEW. i live. barely. thank you. 😮💨";
    }
    return {};
}

} // namespace

std::vector<std::string> heatLines(HeatState state, Personality personality) {
    const Lines& lines = heatTable(personality)[static_cast<std::size_t>(rawValue(state))];
    return {lines.begin(), lines.end()};
}

std::string heatLine(HeatState state, Personality personality, std::string_view onShow,
                     const RandomIndex& random) {
    std::vector<std::string> candidates = heatLines(state, personality);
    std::erase(candidates, onShow);
    if (candidates.empty()) {
        candidates = heatLines(state, personality);
    }
    if (candidates.empty()) {
        return {};
    }
    return candidates[pick(candidates.size(), random)];
}

std::string blameLine(const std::optional<AppKey>& key, Personality personality, const RandomIndex& random) {
    if (!key) {
        return "Nobody's bothering me right now.";
    }
    if (key->kind == AppKey::Kind::system) {
        return "It's Linux doing its own thing. Not your apps.";
    }
    const std::vector<std::string> templates = blameTemplates(key->displayName, personality);
    return templates[pick(templates.size(), random)];
}

std::string memoryBlameLine(const AppMemory& app, Personality personality) {
    const std::string size = Bytes::memory(app.bytes);
    switch (personality) {
    case Personality::mild:
        return app.name + " is holding " + size + ". That's why I feel full.";
    case Personality::dramatic:
        return app.name + " has swallowed " + size + ". I am a balloon.";
    case Personality::deadpan:
        return app.name + ": " + size + " of memory. Noted.";
    case Personality::gremlin:
        return app.name + " is hoarding " + size + " in there. Rude.";
    }
    return {};
}

std::string headsUp(const HeadsUp& h, Personality personality) {
    switch (h.kind()) {
    case HeadsUp::Kind::heatingUp: {
        const bool hot = h.state() == HeatState::meltdown;
        const std::optional<AppKey>& culprit = h.culprit();
        const Culprit who = !culprit                                ? Culprit::none
                            : culprit->kind == AppKey::Kind::system ? Culprit::system
                                                                    : Culprit::named;
        const std::string name = culprit ? culprit->displayName : std::string();
        return heatingUp(hot, who, name, rounded(h.cpuLoad().value_or(0)) + "%", personality);
    }
    case HeadsUp::Kind::thermal:
        return thermal(h.level() == ThermalLevel::critical, personality);
    case HeadsUp::Kind::cooledDown:
        return cooledDown(personality);
    }
    return {};
}

std::string restPrompt(double interval, Personality personality) {
    const double minutes = interval / 60;
    const std::int64_t whole = roundedInteger(minutes);
    const std::string span = whole == 1    ? "a whole minute"
                             : whole == 60 ? "an hour"
                             : whole == 90 ? "an hour and a half"
                                           : rounded(minutes) + " minutes";
    switch (personality) {
    case Personality::mild:
        return "We've been at this for " + span + ". I'm tired. Can we both stand up for 2 minutes?";
    case Personality::dramatic:
        return "We've been at this for " + span + ". I am DRAMATICALLY tired. Two minutes. Please.";
    case Personality::deadpan:
        return "We've been at this for " + span + ". I'm tired. Two minutes. That's the deal.";
    case Personality::gremlin:
        return "okay okay we've been going for " + span +
               ". my little pea brain is fried. two minutes? please?";
    }
    return {};
}

std::string roastHeadline(std::string_view name, HeatState state, Personality personality) {
    const bool hot = state == HeatState::meltdown;
    std::string text(name);
    switch (personality) {
    case Personality::mild:
        return text + (hot ? " is cooking me." : " is making me sweat.");
    case Personality::dramatic:
        return text + (hot ? " is COOKING me alive." : " is making me SWEAT.");
    case Personality::deadpan:
        return text + (hot ? " is doing this. I'm melting." : " is doing this. I'm sweating.");
    case Personality::gremlin:
        return text + (hot ? " is COOKING me. hehe. help." : " is making me sweaty. rude.");
    }
    return text;
}

std::string roastSubhead(double cpuLoad) {
    return "The whole computer is " + rounded(cpuLoad) + "% busy right now.";
}

} // namespace halvrick::Copy
