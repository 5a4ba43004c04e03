#include "core/platform/locale.h"

#include <gtest/gtest.h>

#include "core/platform/localization.h"
#include "support/scoped_env.h"

namespace ambrel {
namespace {

struct LocaleCase {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    const char* expected;
};

TEST(Locale, DisplayLocaleFollowsLanguageThenPosixVariables) {
    const LocaleCase cases[] = {
        {"de_DE:fr_FR", "it_IT.UTF-8", nullptr, "fr_FR.UTF-8", "de_DE"},
        {"pt_BR", nullptr, nullptr, nullptr, "pt_BR"},
        {"", "es_ES.UTF-8", "it_IT.UTF-8", "fr_FR.UTF-8", "es_ES"},
        {nullptr, nullptr, "it_IT.UTF-8", "fr_FR.UTF-8", "it_IT"},
        {nullptr, nullptr, nullptr, "fr_FR.UTF-8@euro", "fr_FR"},
        {nullptr, "", "", "ja_JP", "ja_JP"},
        {nullptr, "C", nullptr, "fr_FR.UTF-8", "en_US"},  // LC_ALL overrides, even with C
        {nullptr, nullptr, nullptr, "POSIX", "en_US"},
        {nullptr, nullptr, nullptr, nullptr, "en_US"},
        {"C", nullptr, nullptr, "nl_NL.UTF-8", "nl_NL"},  // a language-less LANGUAGE is skipped
    };
    for (const LocaleCase& c : cases) {
        testing::ScopedEnv env;
        env.set("LANGUAGE", c.language)
            .set("LC_ALL", c.lcAll)
            .set("LC_MESSAGES", c.lcMessages)
            .set("LANG", c.lang);
        EXPECT_EQ(displayLocale(), c.expected)
            << "LANGUAGE=" << (c.language ? c.language : "-")
            << " LC_ALL=" << (c.lcAll ? c.lcAll : "-") << " LANG=" << (c.lang ? c.lang : "-");
    }
}

TEST(Localization, FillPlaceholdersReplacesInOrder) {
    EXPECT_EQ(fillPlaceholders("Updated at %@", {"10:42"}), "Updated at 10:42");
    EXPECT_EQ(fillPlaceholders("%@ / %@", {"3 €", "10 €"}), "3 € / 10 €");
    // Arguments are inserted verbatim, never scanned again for placeholders.
    EXPECT_EQ(fillPlaceholders("%@ and %@", {"%@", "b"}), "%@ and b");
    EXPECT_EQ(fillPlaceholders("%@ %@", {"only"}), "only %@");
    EXPECT_EQ(fillPlaceholders("100% sure %", {"x"}), "100% sure %");
    EXPECT_EQ(fillPlaceholders("no placeholder", {"x"}), "no placeholder");
}

}  // namespace
}  // namespace ambrel
