// SPDX-License-Identifier: MIT
// One QGuiApplication for the whole test program, made by the guard a headless tool uses.
#include <gtest/gtest.h>

#include <memory>

#include "chart/chart_gui_guard.hpp"

namespace {

class ChartApplication : public ::testing::Environment {
  public:
    void SetUp() override {
        guard_ = std::make_unique<trakora::chart::ChartGuiGuard>();
        ASSERT_TRUE(guard_->ready());
    }
    void TearDown() override { guard_.reset(); }

  private:
    std::unique_ptr<trakora::chart::ChartGuiGuard> guard_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ChartApplication);

}  // namespace
