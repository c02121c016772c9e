#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>

// Test main for tests that need widgets or an event loop. Listing the tests
// (as the build does to register them) needs no display, so it makes no
// application object.
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
