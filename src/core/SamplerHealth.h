#pragma once

namespace halvrick {

// Debounces a sampler's reports: degraded only after a run of failures, healthy again only after a
// run of successes.
class SamplerHealth {
public:
    SamplerHealth(int failureThreshold, int recoveryThreshold);

    int failureThreshold() const { return failureThreshold_; }
    int recoveryThreshold() const { return recoveryThreshold_; }
    int failures() const { return failures_; }
    int successes() const { return successes_; }
    bool isDegraded() const { return isDegraded_; }

    // Whether the sampler counts as degraded after this report.
    bool record(bool available);
    void reset();

    friend bool operator==(const SamplerHealth&, const SamplerHealth&) = default;

private:
    int failureThreshold_;
    int recoveryThreshold_;
    int failures_ = 0;
    int successes_ = 0;
    bool isDegraded_ = false;
};

} // namespace halvrick
