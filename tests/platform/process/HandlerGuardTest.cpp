#include "process/HandlerGuard.h"
#include "FakeProgramEnd.h"
#include "PlatformError.h"

#include <QCoreApplication>
#include <QTimer>
#include <functional>
#include <new>
#include <stdexcept>

#include <gtest/gtest.h>

using platform::HandlerGuard;

namespace {

struct Failure {
    const char* name;
    std::function<void()> raise;
    QString report;
};

class HandlerGuardTest : public ::testing::TestWithParam<Failure> {};

// Whatever a handler throws stops at the guard, and the report names it.
TEST_P(HandlerGuardTest, reportsWhatTheHandlerThrew) {
    FakeProgramEnd end;
    const HandlerGuard guard(&end);
    bool after = false;
    guard.run([&] {
        GetParam().raise();
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(end.runtimeErrors.size(), 1);
    EXPECT_EQ(end.runtimeErrors[0], GetParam().report);
}

// A handler connected through the guard fails inside a real signal emission
// from the event loop; the loop goes on and the failure is reported once.
TEST_P(HandlerGuardTest, connectedHandlerFailsInsideTheEventLoop) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    FakeProgramEnd end;
    const HandlerGuard guard(&end);
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &app, guard(GetParam().raise));
    QTimer::singleShot(0, &timer, [&] { timer.start(0); });
    QTimer::singleShot(50, &app, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(app.exec(), 7);
    ASSERT_EQ(end.runtimeErrors.size(), 1);
    EXPECT_EQ(end.runtimeErrors[0], GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HandlerGuardTest,
    ::testing::Values(
        Failure{"platform", [] { throw platform::PlatformError(QStringLiteral("声卡不可用")); },
                QStringLiteral("声卡不可用")},
        Failure{"standard", [] { throw std::runtime_error("disk full"); },
                QStringLiteral("disk full")},
        Failure{"memory", [] { throw std::bad_alloc(); }, QStringLiteral("Out of memory")},
        Failure{"other", [] { throw 42; }, QStringLiteral("unknown error")}),
    [](const auto& info) { return std::string(info.param.name); });

// Arguments reach the handler, by reference where the signal passes them so.
TEST(HandlerGuard, passesTheSignalArguments) {
    FakeProgramEnd end;
    const HandlerGuard guard(&end);
    short button = 1;
    auto wrapped = guard([](short& b, int add) { b = static_cast<short>(b + add); });
    wrapped(button, 2);
    EXPECT_EQ(button, 3);
    EXPECT_TRUE(end.runtimeErrors.isEmpty());
}

} // namespace
