// The headless commands over fakes: one JSON line on stdout, success whatever the refresh did.

#include "widget/commands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "core/auth/keychain.h"
#include "core/platform/json.h"
#include "support/fake_http_client.h"
#include "support/memory_secret_store.h"
#include "support/temp_dir.h"

namespace ambrel {
namespace {

// The commands print one JSON line and succeed even when the refresh behind them fails.
TEST(WidgetCommands, PrintOneJsonLineEvenWhenRefreshFails) {
    testing::TempDir folder;
    testing::FakeHttpClient http;
    testing::MemorySecretStore secrets;
    secrets.put(refreshTokenItem(), "1//token");
    Defaults defaults(folder.path());
    const Services services{.http = http,
                            .secrets = secrets,
                            .defaults = defaults,
                            .now = [] { return instantFromReferenceSeconds(5); },
                            .adsenseBase = "https://adsense.test/v2",
                            .clientSecretLocations = {folder.path() / "missing.json"}};

    using Command = int (*)(const Services&, std::ostream&, std::ostream&);
    const std::pair<Command, bool> commandsAndReload[] = {{widget::runTimelineJson, true},
                                                          {widget::runSnapshotJson, false},
                                                          {widget::runPlaceholderJson, false}};
    for (auto [command, hasReloadDate] : commandsAndReload) {
        std::ostringstream out, err;
        EXPECT_EQ(command(services, out, err), 0);
        const std::string text = out.str();
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.find('\n'), text.size() - 1);
        auto object = json::parseObject(text, "command output");
        ASSERT_TRUE(object.has_value()) << text;
        EXPECT_EQ((*object)["date"], 5.0);
        EXPECT_EQ((*object)["isConnected"], true);
        EXPECT_EQ(object->contains("reloadDate"), hasReloadDate);
        if (hasReloadDate) {
            EXPECT_EQ((*object)["reloadDate"], 1805.0);
        }
        EXPECT_TRUE(err.str().empty());
    }
}

}  // namespace
}  // namespace ambrel
