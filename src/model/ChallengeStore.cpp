#include "model/ChallengeStore.h"

#include "core/Error.h"
#include "core/JsonCoding.h"
#include "core/StatsLedger.h"

#include <string>

namespace halvrick {

namespace {

const std::string activeKey = "challengeActive";
const std::string lastResultKey = "challengeLastResult";

template <typename T> std::optional<T> load(const Defaults& defaults, const std::string& key) {
    const std::optional<QByteArray> data = defaults.getData(key);
    if (!data) {
        return std::nullopt;
    }
    try {
        return T::fromJson(
            json::parse(std::string_view(data->constData(), static_cast<std::size_t>(data->size()))));
    } catch (const Error&) {
        return std::nullopt;
    }
}

template <typename T> void store(Defaults& defaults, const std::string& key, const std::optional<T>& value) {
    if (!value) {
        defaults.remove(key);
        return;
    }
    try {
        // Text that is not UTF-8 is mended rather than losing the record.
        defaults.setData(key, QByteArray::fromStdString(value->toJson().dump(
                                  -1, ' ', false, json::Json::error_handler_t::replace)));
    } catch (const Error&) {
        defaults.remove(key);
    }
}

} // namespace

ChallengeStore::ChallengeStore(Defaults& defaults)
    : defaults_(defaults), active_(load<ActiveChallenge>(defaults, activeKey)),
      lastResult_(load<ChallengeResult>(defaults, lastResultKey)) {}

void ChallengeStore::save() {
    defaults_.batch([this] {
        store(defaults_, activeKey, active_);
        store(defaults_, lastResultKey, lastResult_);
    });
}

std::optional<ChallengeResult> ChallengeStore::evaluate(const std::vector<DailyTotals>& days, Date now,
                                                        const Calendar& calendar) {
    if (!active_) {
        return std::nullopt;
    }
    const ChallengeProgress progress = ChallengePolicy::progress(*active_, days, now, calendar);
    ChallengeResult::Outcome outcome;
    if (progress.isComplete()) {
        outcome = ChallengeResult::Outcome::completed;
    } else if (progress.isFailed()) {
        outcome = ChallengeResult::Outcome::failed;
    } else {
        return std::nullopt;
    }
    ChallengeResult result(active_->kind, active_->startedDay, StatsLedger::dayKey(now, calendar),
                           progress.metIncludingToday(), outcome);
    active_.reset();
    lastResult_ = result;
    save();
    return result;
}

void ChallengeStore::giveUp() {
    if (!active_) {
        return;
    }
    active_.reset();
    save();
}

void ChallengeStore::dismissResult() {
    if (!lastResult_) {
        return;
    }
    lastResult_.reset();
    save();
}

} // namespace halvrick
