// The render command's arguments and the PNG it writes.

#include "widget/render_command.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <array>

#include "face_test_support.h"
#include "support/temp_dir.h"

namespace ambrel::widget {
namespace {

using Args = std::vector<std::string_view>;

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment);

TEST(RenderCommand, ParsesFamilyOutputScaleAndPlaceholder) {
    const Args args{"--family", "medium", "--output",     "/tmp/w.png",
                    "--scale",  "2.5",    "--placeholder"};
    const auto options = parseRenderOptions(args);
    ASSERT_TRUE(options.has_value()) << options.error();
    EXPECT_EQ(options->family, WidgetFamily::systemMedium);
    EXPECT_EQ(options->output, "/tmp/w.png");
    EXPECT_EQ(options->scale, 2.5);
    EXPECT_TRUE(options->placeholder);

    const auto plain = parseRenderOptions(Args{"--output", "a.png", "--family", "large"});
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->scale, 1);
    EXPECT_FALSE(plain->placeholder);
    EXPECT_FALSE(plain->cached);
    EXPECT_FALSE(plain->describe);

    // A description alone needs no file.
    const auto described = parseRenderOptions(Args{"--family", "small", "--cached", "--describe"});
    ASSERT_TRUE(described.has_value()) << described.error();
    EXPECT_TRUE(described->cached);
    EXPECT_TRUE(described->describe);
    EXPECT_TRUE(described->output.empty());
}

TEST(RenderCommand, RejectsWhatItCannotDraw) {
    const std::array<Args, 10> wrong{
        Args{"--output", "a.png"},                            // no family
        Args{"--family", "small"},                            // no output
        Args{"--family", "huge", "--output", "a.png"},        // unknown family
        Args{"--family", "extraLarge", "--output", "a.png"},  // never offered
        Args{"--family", "small", "--output", "a.png", "--scale", "0"},
        Args{"--family", "small", "--output", "a.png", "--scale", "9"},
        Args{"--family", "small", "--output", "a.png", "--scale", "2x"},
        Args{"--family", "small", "--output"},  // value missing
        Args{"--family", "small", "--output", "a.png", "--verbose"},
        Args{"--family", "small", "--output", "a.png", "--placeholder", "--cached"}};
    for (const Args& args : wrong) {
        const auto options = parseRenderOptions(args);
        EXPECT_FALSE(options.has_value()) << args.size();
        if (!options) {
            EXPECT_FALSE(options.error().empty());
        }
    }
}

// The file has the family's size times the scale, transparent corners and the gradient.
TEST(RenderCommand, WritesAScaledPngWithTransparentCorners) {
    testing::TempDir folder;
    const auto path = folder.path() / "large.png";
    ASSERT_TRUE(
        writeWidgetPng(testing::entryWith(sampleSnapshot()), WidgetFamily::systemLarge, 2, path));
    const QImage image(QString::fromStdString(path.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(728, 764));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(364, 382)), 255);

    EXPECT_FALSE(writeWidgetPng(testing::entryWith(sampleSnapshot()), WidgetFamily::systemSmall, 1,
                                folder.path() / "missing-folder" / "small.png"));
}

// The program itself: `ambrel-widget render` hands over to the drawing program, writes the
// placeholder at twice the size without a display, and prints the face's accessible texts.
TEST(RenderCommand, ProgramRendersThePlaceholder) {
    testing::TempDir folder;
    const auto path = folder.path() / "small.png";
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"),
                       QString::fromStdString(folder.path().string()));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(AMBREL_WIDGET_EXE),
                  {QStringLiteral("render"), QStringLiteral("--placeholder"),
                   QStringLiteral("--family"), QStringLiteral("small"), QStringLiteral("--scale"),
                   QStringLiteral("2"), QStringLiteral("--output"),
                   QString::fromStdString(path.string()), QStringLiteral("--describe")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage image(QString::fromStdString(path.string()));
    EXPECT_EQ(image.size(), QSize(340, 340));
    auto placeholder = testing::entryWith(sampleSnapshot(), true, Objectives{});
    placeholder.isSample = true;
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              faceDescriptionLines(placeholder, WidgetFamily::systemSmall));
}

}  // namespace
}  // namespace ambrel::widget
