// SPDX-License-Identifier: MIT
// One QApplication for the whole test program, made before the first test runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "test_ui";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace
