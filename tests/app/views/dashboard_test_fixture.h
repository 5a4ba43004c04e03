#pragma once

// A main window with a toolbar, an AppState over fake operations and the dashboard's context,
// for the tests of the dashboard and of the root view.

#include <QMainWindow>
#include <QToolBar>
#include <QUrl>
#include <memory>
#include <vector>

#include "app/dashboard_context.h"
#include "app/delta_line.h"
#include "app/value_row.h"
#include "support/memory_secret_store.h"
#include "view_test_support.h"

namespace ambrel::testing {

class DashboardFixture : public ::testing::Test {
  protected:
    DashboardFixture() : toolbar(*host.addToolBar(QStringLiteral("toolbar"))) {
        host.resize(600, 800);
    }

    ~DashboardFixture() override { backend.release(); }  // no worker may stay blocked

    void startState() { state = std::make_unique<AppState>(backend.operations()); }

    // Connected, with the first refresh done: a snapshot on screen.
    void startWithSnapshot(const AmbrelSnapshot& snapshot) {
        backend.setToken("refresh-token");
        backend.setRefreshResult(snapshot);
        startState();
        ASSERT_TRUE(waitFor([&] { return state->hasDashboard() && !state->isWorking(); }));
    }

    // Ten minutes after the known snapshot's refresh: fresh figures.
    DashboardContext context() {
        return DashboardContext{secrets, [this] { ++saveReloads; },
                                [this](const QUrl& url) { opened.push_back(url); },
                                [this] { return now; }};
    }

    static ValueRow* row(const QWidget& root, const char* id) {
        return root.findChild<ValueRow*>(QStringLiteral("row_") + QLatin1String(id));
    }

    // Declared so that the window and its views go before the state and stores they use.
    FakeBackend backend;
    MemorySecretStore secrets;
    int saveReloads = 0;
    Instant now = knownSnapshot().updatedAt + std::chrono::minutes(10);
    std::vector<QUrl> opened;  // pages the dashboard asked the browser to open
    std::unique_ptr<AppState> state;
    QMainWindow host;
    QToolBar& toolbar;
};

// The texts of one row: title, value, and the delta line's texts ("" when absent).
struct RowTexts {
    const char* id;
    QString title;
    QString value;
    QString delta;
    QString percent;
};

inline RowTexts textsOf(const QWidget& root, const char* id) {
    RowTexts texts{id, {}, {}, {}, {}};
    const auto* found = root.findChild<ValueRow*>(QStringLiteral("row_") + QLatin1String(id));
    if (found == nullptr) return texts;
    texts.title = found->titleLabel()->text();
    texts.value = found->valueLabel()->text();
    if (const DeltaLine* line = found->deltaLine()) {
        texts.delta = textOf(*line, QStringLiteral("deltaText"));
        if (labelNamed(*line, QStringLiteral("percentChangeText")) != nullptr) {
            texts.percent = textOf(*line, QStringLiteral("percentChangeText"));
        }
    }
    return texts;
}

inline void expectRow(const QWidget& root, const RowTexts& expected) {
    const RowTexts actual = textsOf(root, expected.id);
    EXPECT_EQ(actual.title, expected.title) << expected.id;
    EXPECT_EQ(actual.value, expected.value) << expected.id;
    EXPECT_EQ(actual.delta, expected.delta) << expected.id;
    EXPECT_EQ(actual.percent, expected.percent) << expected.id;
}

}  // namespace ambrel::testing
