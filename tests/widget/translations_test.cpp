// Every language of po/LINGUAS, as a person first meets it: `ambrel --help`, the status line of a
// signed-out `ambrel-widget`, and the faces drawn from the sample. Each differs from English and
// holds no English sentence of the catalog (commands and file names, which every language
// keeps, do not count), and no face cuts a text short.

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QProcess>
#include <clocale>
#include <fstream>
#include <regex>
#include <sstream>

#include "core/platform/localization.h"
#include "face_test_support.h"
#include "support/temp_dir.h"

namespace ambrel::widget {
namespace {

const auto* const kGui =
    ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment([] {
        // gettext translates outside the "C" locale only.
        std::setlocale(LC_ALL, "C.UTF-8");
        const std::string build = std::getenv("AMBREL_BUILD_DIR");
        initLocalization((build + "/locale").c_str());
    }));

std::filesystem::path sourceDir() {
    return std::getenv("AMBREL_SOURCE_DIR");
}

std::vector<std::string> languages() {
    std::ifstream in(sourceDir() / "po" / "LINGUAS");
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') found.push_back(line);
    return found;
}

// The text of one PO string line ("..." with C escapes).
std::string unquote(std::string_view line) {
    line = line.substr(line.find('"') + 1);
    line = line.substr(0, line.rfind('"'));
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            out.push_back(line[i]);
            continue;
        }
        const char escaped = line[++i];
        out.push_back(escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped);
    }
    return out;
}

using Messages = std::vector<std::pair<std::string, std::string>>;

// msgid and msgstr of each message of a catalog as msgmerge writes it (no plurals, no context).
Messages readCatalog(const std::filesystem::path& file) {
    std::ifstream in(file);
    Messages messages;
    std::string* open = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("msgid ")) {
            messages.emplace_back();
            open = &messages.back().first;
        } else if (line.starts_with("msgstr ") && open) {
            open = &messages.back().second;
        } else if (!line.starts_with("\"")) {
            open = nullptr;
            continue;
        }
        if (open) *open += unquote(line);
    }
    return messages;
}

// The English pieces between placeholders, line breaks and punctuation that have two words or
// more, less what every language keeps as it is: commands, options and file names.
std::vector<std::string> englishSentences(const Messages& messages) {
    static const std::regex separators(R"re(%@|\n|[.,:;()"?!]|  +)re");
    static const std::regex twoWords(R"([A-Za-z]{2,}[^A-Za-z]+[A-Za-z]{2,})");
    std::vector<std::string> sentences;
    for (const auto& message : messages) {
        const std::string& english = message.first;
        if (english.empty()) continue;  // the header
        std::sregex_token_iterator piece(english.begin(), english.end(), separators, -1);
        for (; piece != std::sregex_token_iterator(); ++piece) {
            std::string text = *piece;
            text.erase(0, text.find_first_not_of(' '));
            text.erase(text.find_last_not_of(' ') + 1);
            const bool command = text.find_first_of("-_|[/=*") != std::string::npos ||
                                 text.starts_with("man ");
            if (!command && std::regex_search(text, twoWords)) sentences.push_back(text);
        }
    }
    return sentences;
}

// A program's standard output in a clean session without a bus, a display or a keyring: signed
// out, whatever the machine's own session holds.
std::string run(const char* program, const QStringList& args, const std::string& language,
                const std::filesystem::path& home) {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(home.string()));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.insert(QString::fromLatin1(name), QString::fromStdString((home / name).string()));
    environment.insert(QStringLiteral("LANGUAGE"), QString::fromStdString(language));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QString::fromLatin1(program), args);
    EXPECT_TRUE(process.waitForFinished(30000)) << program;
    return process.readAllStandardOutput().toStdString();
}

struct Faces {
    QString texts;  // every text drawn on each face, with the large face's spoken description
    QImage large;
};

// The faces of every state (fresh and old figures, an ended sign-in, the placeholder, signed
// out), in the language now in LANGUAGE. A text that did not fit its line was elided; a wrapped
// text must fit its box.
Faces drawFaces() {
    Faces faces;
    const EarningsEntry sample = testing::entryWith(sampleSnapshot());
    const EarningsEntry signedOut = testing::entryWith(sampleSnapshot(), false);
    const EarningsEntry states[] = {
        sample,
        signedOut,
        testing::entryFor(testing::FaceCase::stale),
        testing::entryFor(testing::FaceCase::signInAgain),
        testing::entryFor(testing::FaceCase::sample),
    };
    for (const EarningsEntry* entry = std::begin(states); entry != std::end(states); ++entry) {
        for (WidgetFamily family : {WidgetFamily::systemSmall, WidgetFamily::systemMedium,
                                    WidgetFamily::systemLarge}) {
            for (const FaceItem& item : testing::recordFace(*entry, family)) {
                if (item.kind != FaceItem::Kind::text) continue;
                faces.texts += item.text + u'\n';
                EXPECT_FALSE(item.text.contains(u'…')) << "cut short: " << item.text.toStdString();
                // A shrunk line is drawn with the font scaled down: measure it unscaled. A line
                // may stand a little taller than its box (a fallback font's ascent); more lines
                // than the box holds may not.
                const QFontMetricsF metrics(item.font);
                const QRectF unscaled(0, 0, item.rect.width() / item.scale + 1, 1e6);
                const double needed =
                    metrics.boundingRect(unscaled, Qt::AlignCenter | Qt::TextWordWrap, item.text)
                        .height();
                const double oneLine = metrics.boundingRect(unscaled, 0, item.text).height();
                if (needed > oneLine + 0.5) {
                    EXPECT_LE(needed * item.scale, item.rect.height() + 0.5)
                        << "wraps past its box: " << item.text.toStdString();
                }
            }
        }
    }
    faces.texts += EarningsWidget::accessibleDescription(sample, WidgetFamily::systemLarge);
    faces.large = EarningsWidget::image(sample, WidgetFamily::systemLarge, 1);
    return faces;
}

// The language of the faces drawn in this process. glibc keeps the translations it found until
// the locale changes, whatever LANGUAGE says meanwhile: leave it and come back.
void useLanguage(const std::string& language) {
    setenv("LANGUAGE", language.c_str(), 1);
    std::setlocale(LC_MESSAGES, "C");
    std::setlocale(LC_MESSAGES, "C.UTF-8");
}

void expectNoEnglish(const std::string& text, const std::vector<std::string>& sentences,
                     const char* what) {
    for (const std::string& sentence : sentences)
        EXPECT_EQ(text.find(sentence), std::string::npos)
            << what << " holds \"" << sentence << "\":\n" << text;
}

TEST(Translations, HelpStatusAndFacesSpeakEachLanguage) {
    const std::vector<std::string> all = languages();
    ASSERT_GE(all.size(), 9u);
    testing::TempDir home;
    const QStringList help{QStringLiteral("--help")};
    const QStringList status{QStringLiteral("status")};
    const std::string englishHelp = run(AMBREL_APP_EXE, help, "en", home.path());
    const std::string englishStatus = run(AMBREL_WIDGET_EXE, status, "en", home.path());
    ASSERT_NE(englishHelp.find("Shows your AdSense earnings"), std::string::npos) << englishHelp;
    ASSERT_EQ(englishStatus, "Ambrel: not connected\n");
    useLanguage("en");
    const Faces english = drawFaces();

    for (const std::string& language : all) {
        SCOPED_TRACE(language);
        const auto sentences = englishSentences(readCatalog(sourceDir() / "po" / (language + ".po")));
        ASSERT_FALSE(sentences.empty());

        const std::string helpText = run(AMBREL_APP_EXE, help, language, home.path());
        EXPECT_NE(helpText, englishHelp);
        expectNoEnglish(helpText, sentences, "ambrel --help");

        const std::string statusLine = run(AMBREL_WIDGET_EXE, status, language, home.path());
        EXPECT_FALSE(statusLine.empty());
        EXPECT_NE(statusLine, englishStatus);
        expectNoEnglish(statusLine, sentences, "ambrel-widget status");

        useLanguage(language);
        const Faces faces = drawFaces();
        EXPECT_NE(faces.large, english.large);
        expectNoEnglish(faces.texts.toStdString(), sentences, "the faces");
        if (const auto folder = testing::screenshotFolder(); !folder.empty())
            faces.large.save(QString::fromStdString(
                (folder / ("translated-large-" + language + ".png")).string()));
    }
    unsetenv("LANGUAGE");
}

}  // namespace
}  // namespace ambrel::widget
