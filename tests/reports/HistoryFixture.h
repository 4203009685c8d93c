#pragma once

// Ledgers and sources for the history window's tests and its benchmark.

#include "core/Calendar.h"
#include "core/StatsLedger.h"
#include "reports/HistoryView.h"
#include "ui/SavePathChooser.h"

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace halvrick::history_fixture {

inline const Calendar& calendar() {
    static const Calendar berlin("Europe/Berlin");
    return berlin;
}

// Tuesday 8 December 2026, mid-afternoon.
inline Date now() {
    return calendar().date(2026, 12, 8, 15, 0);
}

inline Date daysAgo(int days, int hour = 12) {
    const Date day = calendar().addingDays(-days, now());
    const DateComponents c = calendar().components(day);
    return calendar().date(c.year, c.month, c.day, hour);
}

// A small stand-in for the desktop's icons: a square in a colour drawn from the key.
inline QImage fakeIcon(const AppKey& key, int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv(static_cast<int>(std::hash<std::string>{}(key.id) % 360),
                                     key.kind == AppKey::Kind::app ? 160 : 60, 210));
    painter.drawRoundedRect(QRectF(0, 0, pixels, pixels), pixels / 5.0, pixels / 5.0);
    return image;
}

// Apps of the 13-month ledger: desktop entries and bare processes, the system among them.
inline std::vector<AppKey> manyApps() {
    std::vector<AppKey> apps;
    const std::vector<std::string> names{"Firefox",
                                         "Chromium",
                                         "Visual Studio Code",
                                         "GIMP",
                                         "Blender",
                                         "Inkscape",
                                         "LibreOffice Writer",
                                         "Thunderbird",
                                         "Kdenlive",
                                         "Darktable",
                                         "Steam",
                                         "Slack",
                                         "Zoom",
                                         "OBS Studio",
                                         "Audacity",
                                         "Krita",
                                         "Signal",
                                         "Spotify",
                                         "Evolution",
                                         "Shotwell",
                                         "Rhythmbox",
                                         "FreeCAD",
                                         "Calibre",
                                         "Transmission"};
    for (const std::string& name : names) {
        std::string id = "/usr/share/applications/" + name + ".desktop";
        apps.emplace_back(AppKey::Kind::app, id, name);
    }
    for (const char* process :
         {"cc1plus", "ld.gold", "python3", "node", "rustc", "java", "ffmpeg", "tracker-miner-fs-3",
          "pipewire", "Xorg", "gnome-shell", "a-very-long-process-name-that-goes-on-and-on-and-on-forever"}) {
        apps.emplace_back(AppKey::Kind::process, process, process);
    }
    apps.push_back(AppKey::system());
    return apps;
}

// About 13 months of days ending today with dozens of applications: busy weekdays, quiet weekends,
// a holiday gap, an occasional meltdown. Deterministic.
inline StatsLedger thirteenMonths() {
    StatsLedger ledger;
    const std::vector<AppKey> apps = manyApps();
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    for (int back = 400; back >= 0; --back) {
        if (back > 180 && back < 196) {
            continue; // a holiday: nothing stored
        }
        const Date day = daysAgo(back);
        const int weekday = calendar().weekday(day);
        const bool weekend = weekday == 1 || weekday == 7;
        const double active = (weekend ? 1800 : 14400) + next(10800);
        ledger.addActive(active, day, calendar());
        const double sweating = next(weekend ? 900 : 5400);
        ledger.addHeat(sweating, HeatState::sweating, day, calendar());
        if (next(5) == 0) {
            ledger.addHeat(60 + next(2400), HeatState::meltdown, day, calendar());
        }
        ledger.recordStretch(1200 + next(6000), day, calendar());
        for (std::uint32_t i = next(4); i > 0; --i) {
            ledger.recordPromptShown(day, calendar());
            if (next(3) != 0) {
                ledger.recordBreakTaken(day, calendar());
            }
        }
        for (int i = 0; i < 8; ++i) {
            const AppKey& app = apps[(next(static_cast<std::uint32_t>(apps.size())) * (i + 1)) % apps.size()];
            ledger.addCPU(10 + next(600), app, day, calendar());
            ledger.addSweat(next(static_cast<std::uint32_t>(sweating / 3 + 1)), app, day, calendar());
        }
    }
    return ledger;
}

// The bytes of a file; none when it cannot be read.
inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A view over `ledger` at the fixture's moment; card files go to `cardFolder`.
inline HistoryView::Source source(const StatsLedger& ledger, std::shared_ptr<SavePathChooser> chooser,
                                  QString cardFolder) {
    return {{[&ledger]() -> const StatsLedger& { return ledger; }, [] { return now(); },
             [] { return calendar(); }, &fakeIcon, [] { return Personality::dramatic; }, std::move(chooser),
             [cardFolder](const QString& name) -> std::optional<QString> {
                 if (cardFolder.isEmpty()) {
                     return std::nullopt;
                 }
                 return cardFolder + QLatin1Char('/') + name;
             }},
            [] { return false; },
            {}};
}

} // namespace halvrick::history_fixture
