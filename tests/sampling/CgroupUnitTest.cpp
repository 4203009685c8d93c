#include "sampling/CgroupUnit.h"

#include <gtest/gtest.h>
#include <string>

namespace halvrick {
namespace {

TEST(CgroupUnitTest, ReadsTheScopeFromTheCgroup) {
    const std::string app = "0::/user.slice/user-1000.slice/user@1000.service/app.slice/";
    const struct {
        std::string cgroup;
        CgroupUnit expected;
    } cases[] = {
        {app + "app-flatpak-org.example.Paint-12345.scope\n",
         {CgroupUnit::Kind::flatpak, "org.example.Paint", ""}},
        {app + "app-flatpak-org.example.My\\x2dApp-77.scope\n",
         {CgroupUnit::Kind::flatpak, "org.example.My-App", ""}},
        {app + "snap.chromium.chromium-2c3b4d5e-1111-2222-3333-444455556666.scope\n",
         {CgroupUnit::Kind::snap, "chromium", "chromium"}},
        {app + "snap.chromium.chromium.2c3b4d5e-1111-2222-3333-444455556666.scope\n",
         {CgroupUnit::Kind::snap, "chromium", "chromium"}},
        {"0::/system.slice/snap.lxd.daemon.service\n", {CgroupUnit::Kind::snap, "lxd", "daemon"}},
        // cgroup v1: the systemd hierarchy's line names the scope
        {"12:pids:/\n1:name=systemd:" + app.substr(3) + "app-flatpak-org.example.Paint-9.scope\n0::/\n",
         {CgroupUnit::Kind::flatpak, "org.example.Paint", ""}},
        // a scope below the application's own
        {app + "app-flatpak-org.example.Paint-9.scope/worker\n",
         {CgroupUnit::Kind::flatpak, "org.example.Paint", ""}},
        // an ordinary application's scope is inherited by what it starts: not a sandbox
        {app + "app-gnome-org.gnome.Terminal-1234.scope\n", {}},
        {app + "app-flatpak-noid.scope\n", {}},
        {"0::/\n", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CgroupUnit::fromCgroup(c.cgroup), c.expected) << c.cgroup;
    }
}

} // namespace
} // namespace halvrick
