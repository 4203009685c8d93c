#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <ostream>
#include <utility>
#include <vector>

namespace halvrick {

struct CatalogueFile {
    QString path;
    QSize pixels;
};

// The full set as the artwork catalogue lists it, spelled out independently of the plan.
inline std::vector<CatalogueFile> expectedFullSet() {
    const QStringList faces{"chill",    "warm",     "sweating",     "meltdown", "coolingDown",
                            "blaming",  "allClear", "askingToQuit", "grateful", "tired",
                            "napping",  "sideEye",  "wakeUpHappy",  "snoozed",  "dozing",
                            "wakingUp", "shh",      "celebrating",  "hello",    "confused"};
    std::vector<CatalogueFile> files{{"grid.png", {1476, 4528}}, {"notch-peek.png", {680, 280}}};
    for (const QString& f : faces) {
        files.push_back({"state-" + f + "-menubar@2x.png", {36, 36}});
        files.push_back({"state-" + f + "-menubar-mono@2x.png", {36, 36}});
        files.push_back({"state-" + f + "-64@2x.png", {128, 128}});
        files.push_back({"state-" + f + "-96@2x.png", {192, 192}});
        files.push_back({"state-" + f + "-240@2x.png", {480, 480}});
    }
    files.push_back({"anim-chill-menubar.png", {104, 104}});
    files.push_back({"anim-warm-menubar.png", {4240, 104}});
    files.push_back({"anim-sweating-menubar.png", {1072, 104}});
    files.push_back({"anim-meltdown-menubar.png", {1424, 104}});
    for (const QString f : {"sweating", "meltdown", "tired", "napping", "celebrating"}) {
        files.push_back({"anim-" + f + "-popover.png", {1644, 216}});
    }
    files.push_back({"icon-1024.png", {1024, 1024}});
    for (const auto& [name, side] : std::vector<std::pair<QString, int>>{{"icon_16x16.png", 16},
                                                                         {"icon_16x16@2x.png", 32},
                                                                         {"icon_32x32.png", 32},
                                                                         {"icon_32x32@2x.png", 64},
                                                                         {"icon_128x128.png", 128},
                                                                         {"icon_128x128@2x.png", 256},
                                                                         {"icon_256x256.png", 256},
                                                                         {"icon_256x256@2x.png", 512},
                                                                         {"icon_512x512.png", 512},
                                                                         {"icon_512x512@2x.png", 1024}}) {
        files.push_back({"appicon/" + name, {side, side}});
    }
    for (const int w : {512, 1024, 2048}) {
        files.push_back({QStringLiteral("marketing-hello-%1.png").arg(w), {w, w}});
    }
    return files;
}

inline std::vector<CatalogueFile> expectedWebSet() {
    std::vector<CatalogueFile> files;
    for (const QString h : {"chill", "warm", "sweating", "meltdown"}) {
        files.push_back({"pea-menubar-" + h + ".png", {120, 120}});
    }
    for (const QString f :
         {"chill", "warm", "sweating", "meltdown", "napping", "sideEye", "confused", "celebrating"}) {
        files.push_back({"pea-" + f + "@2x.png", {960, 960}});
    }
    return files;
}

} // namespace halvrick

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
