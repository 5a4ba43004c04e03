#pragma once

// One QApplication for a whole GUI test program: made before the first test, destroyed after
// the last. Register it once per program:
//   const auto* const kGui = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

#include <gtest/gtest.h>

#include <QApplication>
#include <functional>
#include <memory>
#include <utility>

namespace ambrel::testing {

class QtApplicationEnvironment : public ::testing::Environment {
  public:
    // `setUp` runs once the application exists (locale choices and the like).
    explicit QtApplicationEnvironment(std::function<void()> setUp = {})
        : setUp_(std::move(setUp)) {}

    void SetUp() override {
        static int argc = 1;
        static char name[] = "ambrel-gui-test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        if (setUp_) setUp_();
    }
    void TearDown() override { app_.reset(); }

  private:
    std::function<void()> setUp_;
    std::unique_ptr<QApplication> app_;
};

}  // namespace ambrel::testing
