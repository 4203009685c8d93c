#pragma once

#include "sampling/AppDirectory.h"
#include "sampling/AppIcons.h"
#include "sampling/ApplicationIndex.h"
#include "sampling/ProcessReader.h"
#include "sampling/X11WindowCloser.h"

#include <functional>
#include <memory>
#include <optional>

namespace halvrick {

// Applications as the desktop entries describe them: a process belongs to an application when the
// application index attributes it so, exactly as the process sampler does; quitting closes the windows
// of those processes.
class LinuxAppDirectory final : public AppDirectory {
public:
    // Whatever is left empty is this machine's.
    struct Sources {
        std::unique_ptr<ProcessReader> processReader;
        // The X11 closer on the session's display; it closes nothing in a Wayland session.
        std::unique_ptr<WindowCloser> windowCloser;
        std::optional<AppIcons::Theme> iconTheme;
    };

    // `applications` gives the current index, shared with the process sampler.
    explicit LinuxAppDirectory(std::function<std::shared_ptr<const ApplicationIndex>()> applications,
                               Sources sources = {});

    QIcon icon(const AppKey& key) override;
    // Each pid that the index attributes to the key's desktop entry now, once, in the given order, with
    // the start time it has now: a pid reused since the sample runs another program and drops out here.
    std::vector<RunningApplication> runningApplications(const AppKey& key,
                                                        const std::vector<std::int32_t>& pids) override;
    bool quit(const AppKey& key, const std::vector<std::int32_t>& pids) override;

private:
    std::function<std::shared_ptr<const ApplicationIndex>()> applications_;
    std::unique_ptr<ProcessReader> processReader_;
    std::unique_ptr<WindowCloser> windowCloser_;
    AppIcons icons_;
};

} // namespace halvrick
