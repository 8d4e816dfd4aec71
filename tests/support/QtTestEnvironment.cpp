// The one QApplication of a Qt test program, on the offscreen platform,
// created before the first test and destroyed after the last.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtTestEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "mousecfg-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new QtTestEnvironment);

}  // namespace
