#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

namespace {

// The application object the widget tests need, made before the first test
// and gone before the program ends (a QApplication left to static destruction
// outlives parts of Qt it depends on). On the offscreen platform unless the
// environment names another.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[19] = "test_platform_help";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
