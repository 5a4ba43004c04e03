// The autostart entry starts exactly the program that runs now, whatever its path holds: the
// arguments are quoted as the Desktop Entry rules ask, then escaped as a string value, so no
// character of the path can end the Exec line or start a key of its own.

#include "widget/panel/autostart_entry.h"

#include <gtest/gtest.h>

namespace ambrel::panel {
namespace {

TEST(AutostartEntry, AnyProgramPathStaysOnTheExecLine) {
    const QString path = QStringLiteral("/opt/my apps/a\"b$c`d\\e%f\nX-Evil=1\rg\th/ambrel-widget");
    const QString entry = AutostartEntry::desktopEntry({path, QStringLiteral("indicator")});

    const QStringList lines = entry.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 11) << entry.toStdString();
    for (const QString& line : lines) EXPECT_FALSE(line.contains(u'\r')) << line.toStdString();
    EXPECT_TRUE(lines.contains(
        QStringLiteral(R"(Exec="/opt/my apps/a\\"b\\$c\\`d\\\\e%%f\nX-Evil=1\rg\th/ambrel-widget")"
                       R"( indicator)")))
        << entry.toStdString();
    EXPECT_TRUE(AutostartEntry::desktopEntry(
                    {QStringLiteral("/usr/bin/ambrel-widget"), QStringLiteral("indicator")})
                    .contains(QStringLiteral("\nExec=/usr/bin/ambrel-widget indicator\n")));
}

}  // namespace
}  // namespace ambrel::panel
