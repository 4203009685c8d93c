#include "model/IgnoredApp.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <numeric>

namespace halvrick {

std::vector<IgnoredApp> IgnoredApp::list(const std::map<std::string, std::string>& ignoredNames,
                                         std::string_view locale) {
    std::vector<IgnoredApp> apps;
    std::vector<QString> names;
    apps.reserve(ignoredNames.size());
    names.reserve(ignoredNames.size());
    for (const auto& [id, name] : ignoredNames) {
        apps.push_back({id, name});
        names.push_back(QString::fromStdString(name));
    }
    QCollator collator(
        locale.empty() ? QLocale()
                       : QLocale(QString::fromUtf8(locale.data(), static_cast<qsizetype>(locale.size()))));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Sorting positions keeps each name converted once.
    std::vector<std::size_t> order(apps.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return collator.compare(names[a], names[b]) < 0; });
    std::vector<IgnoredApp> sorted;
    sorted.reserve(apps.size());
    for (const std::size_t i : order) {
        sorted.push_back(std::move(apps[i]));
    }
    return sorted;
}

} // namespace halvrick
