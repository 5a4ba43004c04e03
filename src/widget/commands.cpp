#include "widget/commands.h"

#include <ostream>

#include "core/platform/json.h"
#include "core/platform/localization.h"
#include "widget/earnings_provider.h"
#include "widget/entry_json.h"

namespace ambrel::widget {
namespace {

// One line, so a caller can read the answer with a single line read.
int printJson(const Result<json::Json>& object, std::ostream& out, std::ostream& err) {
    if (!object) {
        err << "ambrel-widget: " << errorMessage(object.error()) << '\n';
        return 1;
    }
    auto text = json::dump(*object, "widget entry");
    if (!text) {
        err << "ambrel-widget: " << text.error().message << '\n';
        return 1;
    }
    out << *text << '\n' << std::flush;
    return out ? 0 : 1;
}

}  // namespace

int runTimelineJson(const Services& services, std::ostream& out, std::ostream& err) {
    return printJson(timelineJson(EarningsProvider(services).timeline()), out, err);
}

int runSnapshotJson(const Services& services, std::ostream& out, std::ostream& err) {
    return printJson(entryJson(EarningsProvider(services).snapshot()), out, err);
}

int runPlaceholderJson(const Services& services, std::ostream& out, std::ostream& err) {
    return printJson(entryJson(EarningsProvider(services).placeholder()), out, err);
}

int printUsage(std::ostream& out) {
    // One text, so that a translation can keep the columns.
    out << tr(
        "usage: ambrel-widget status [--format text|json|waybar|i3blocks] [--max-age SECONDS]\n"
        "                                         print today's figures for a status bar,\n"
        "                                         refreshing first when the cache is older\n"
        "                                         than SECONDS (1800)\n"
        "       ambrel-widget timeline --json     refresh once and print the entry\n"
        "       ambrel-widget snapshot --json     print the cached entry, without network\n"
        "       ambrel-widget placeholder --json  print the placeholder entry\n"
        "       ambrel-widget indicator           keep the earnings in the panel's status area\n"
        "       ambrel-widget [show [--indicator] [--family small|medium|large ...]]\n"
        "                                         keep the widgets on the desktop (all three\n"
        "                                         families unless some are given), and the\n"
        "                                         panel indicator with --indicator\n"
        "       ambrel-widget render --family small|medium|large [--output FILE.png]\n"
        "                            [--scale N] [--placeholder|--cached] [--describe]\n"
        "                                         draw the current entry into a PNG, and\n"
        "                                         print its accessible texts with --describe\n"
        "       ambrel-widget --help | --version\n"
        "Files, environment and exit statuses: man ambrel-widget\n");
    return kExitUsage;
}

}  // namespace ambrel::widget
