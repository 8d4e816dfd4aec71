// The one QApplication of the test program, on the offscreen platform.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application.reset(); }

private:
    int argc = 1;
    char name[16] = "page_tests";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> application;
};

[[maybe_unused]] testing::Environment* const environment = testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
