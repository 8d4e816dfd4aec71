#include <QApplication>

#include <gtest/gtest.h>

namespace {

// One QApplication on the offscreen platform for every test of this executable.
class QtEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = new QApplication(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[10] = "app_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

const testing::Environment* const kQtEnvironment = testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
