#include "model/IgnoredApp.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

std::vector<std::string> ids(const std::vector<IgnoredApp>& apps) {
    std::vector<std::string> list;
    for (const IgnoredApp& app : apps) {
        list.push_back(app.id);
    }
    return list;
}

TEST(IgnoredAppTest, OrderedByNameIgnoringCaseInTheLocale) {
    const std::map<std::string, std::string> names{
        {"/usr/share/applications/firefox.desktop", "firefox"},
        {"process:zed", "zed"},
        {"/usr/share/applications/Alacritty.desktop", "Alacritty"},
        {"process:emacs", "\xc3\x89macs"}, // "Émacs": a byte order would put it last
        {"process:Bash", "Bash"},
        {"process:ark", "ark"},
    };
    const std::vector<IgnoredApp> list = IgnoredApp::list(names, "en_US");
    EXPECT_EQ(ids(list), (std::vector<std::string>{
                             "/usr/share/applications/Alacritty.desktop", "process:ark", "process:Bash",
                             "process:emacs", "/usr/share/applications/firefox.desktop", "process:zed"}));
    EXPECT_EQ(list[3], (IgnoredApp{"process:emacs", "\xc3\x89macs"}));
}

TEST(IgnoredAppTest, NamesThatCompareEqualKeepTheOrderOfTheirIds) {
    const std::map<std::string, std::string> names{
        {"d", "Files"}, {"a", "files"}, {"c", "FILES"}, {"b", "Editor"}, {"e", "files"}};
    EXPECT_EQ(ids(IgnoredApp::list(names, "en_US")), (std::vector<std::string>{"b", "a", "c", "d", "e"}));
    EXPECT_TRUE(IgnoredApp::list({}).empty());
}

} // namespace
} // namespace halvrick
