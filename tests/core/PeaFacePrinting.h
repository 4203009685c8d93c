#pragma once

#include "core/PeaFace.h"

#include <ostream>

namespace halvrick {

// Readable failure messages for faces and their parts in tests.
inline void PrintTo(PeaFace::Eyes v, std::ostream* os) {
    *os << toString(v);
}
inline void PrintTo(PeaFace::Brows v, std::ostream* os) {
    *os << toString(v);
}
inline void PrintTo(PeaFace::Mouth v, std::ostream* os) {
    *os << toString(v);
}
inline void PrintTo(PeaFace::LeafPose v, std::ostream* os) {
    *os << toString(v);
}
inline void PrintTo(PeaFace::Accessory v, std::ostream* os) {
    *os << toString(v);
}

inline void PrintTo(const PeaFace& f, std::ostream* os) {
    *os << "{eyes " << toString(f.eyes) << ", pupilOffset " << f.pupilOffset << ", brows "
        << toString(f.brows) << ", mouth " << toString(f.mouth) << ", blush " << f.blush << ", sweatDrops "
        << f.sweatDrops << ", steam " << f.steam << ", melt " << f.melt << ", squash " << f.squash
        << ", leaf " << toString(f.leaf) << ", accessory " << toString(f.accessory) << ", sleepZ " << f.sleepZ
        << ", sparkle " << f.sparkle << ", confetti " << f.confetti << ", questionMark " << f.questionMark
        << ", puff " << f.puff << ", dropFall " << f.dropFall << ", steamRise " << f.steamRise << ", zRise "
        << f.zRise << ", jitter " << f.jitter << "}";
}

} // namespace halvrick
