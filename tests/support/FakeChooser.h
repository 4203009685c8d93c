#pragma once

#include "ui/SavePathChooser.h"

#include <vector>

namespace halvrick {

// Answers a save dialog with a fixed path, or cancels; remembers what it was asked.
class FakeChooser : public SavePathChooser {
public:
    explicit FakeChooser(std::optional<QString> answer) : answer_(std::move(answer)) {}

    std::optional<QString> choose(QWidget*, const SaveRequest& request) override {
        requests.push_back(request);
        return answer_;
    }

    std::vector<SaveRequest> requests;

private:
    std::optional<QString> answer_;
};

} // namespace halvrick
