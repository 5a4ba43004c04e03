#include "widget/render_command.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <charconv>
#include <cmath>
#include <ostream>

#include "widget/commands.h"
#include "widget/faces/earnings_widget.h"
#include "widget/host/widget_program.h"

namespace ambrel::widget {
namespace {

std::expected<double, std::string> parseScale(std::string_view text) {
    double scale = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), scale);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(scale) ||
        scale <= 0 || scale > kMaximumRenderScale) {
        return std::unexpected("--scale takes a number above 0 and at most 8, not \"" +
                               std::string(text) + "\"");
    }
    return scale;
}

std::expected<WidgetFamily, std::string> parseFamily(std::string_view text) {
    if (auto family = familyFromName(text)) return *family;
    return std::unexpected("--family takes small, medium or large, not \"" + std::string(text) +
                           "\"");
}

// The option that `arg` turns on, for the arguments that take no value.
bool* switchNamed(RenderOptions& options, std::string_view arg) {
    if (arg == "--placeholder") return &options.placeholder;
    if (arg == "--cached") return &options.cached;
    if (arg == "--describe") return &options.describe;
    return nullptr;
}

}  // namespace

std::expected<RenderOptions, std::string> parseRenderOptions(
    std::span<const std::string_view> args) {
    RenderOptions options;
    bool hasFamily = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (bool* flag = switchNamed(options, arg)) {
            *flag = true;
            continue;
        }
        if (arg != "--family" && arg != "--output" && arg != "--scale") {
            return std::unexpected("unknown argument \"" + std::string(arg) + "\"");
        }
        if (i + 1 >= args.size()) return std::unexpected(std::string(arg) + " needs a value");
        const std::string_view value = args[++i];
        if (arg == "--family") {
            auto family = parseFamily(value);
            if (!family) return std::unexpected(family.error());
            options.family = *family;
            hasFamily = true;
        } else if (arg == "--output") {
            options.output = std::filesystem::path(std::string(value));
        } else {
            auto scale = parseScale(value);
            if (!scale) return std::unexpected(scale.error());
            options.scale = *scale;
        }
    }
    if (!hasFamily) return std::unexpected("--family is required");
    if (options.output.empty() && !options.describe) return std::unexpected("--output is required");
    if (options.placeholder && options.cached)
        return std::unexpected("--placeholder and --cached name different entries");
    return options;
}

bool writeWidgetPng(const EarningsEntry& entry, WidgetFamily family, double scale,
                    const std::filesystem::path& output) {
    const QImage image = EarningsWidget::image(entry, family, scale);
    return image.save(QString::fromStdString(output.string()), "PNG");
}

std::string faceDescriptionLines(const EarningsEntry& entry, WidgetFamily family) {
    return EarningsWidget::displayName().toStdString() + '\n' +
           EarningsWidget::accessibleDescription(entry, family).toStdString() + '\n';
}

int runRenderCommand(int& argc, char** argv, std::span<const std::string_view> args,
                     const std::string& program, std::ostream& out, std::ostream& err) {
    auto options = parseRenderOptions(args);
    if (!options) {
        err << "ambrel-widget render: " << options.error() << '\n';
        return printUsage(err);
    }
    // Drawing into an image needs no screen; a platform the user chose still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const WidgetProgram entries(program);
    std::optional<EarningsEntry> entry;
    if (options->placeholder) {
        entry = entries.placeholder();
    } else if (options->cached) {
        entry = entries.snapshot();
    } else if (auto timeline = entries.timeline()) {
        entry = std::move(timeline->entry);
    }
    if (!entry) {
        err << "ambrel-widget render: " << entries.path() << " gave no entry\n";
        return 1;
    }
    if (!options->output.empty() &&
        !writeWidgetPng(*entry, options->family, options->scale, options->output)) {
        err << "ambrel-widget render: cannot write " << options->output.string() << '\n';
        return 1;
    }
    if (options->describe) out << faceDescriptionLines(*entry, options->family) << std::flush;
    return out ? 0 : 1;
}

}  // namespace ambrel::widget
