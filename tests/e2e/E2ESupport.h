#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QProcess;

// What the end-to-end tests do on the X server of the test run: run the X
// tools, find windows, take screenshots, click as a learner does.
namespace e2e {

// Runs a program to its end (at most 20 s) and returns its standard output.
QString run(const QString& program, const QStringList& args, int* exitCode = nullptr);

QSize screenSize();
void setScreen(const QString& mode);

// The visible windows whose title matches the pattern; waits up to `ms` for
// at least one.
QStringList waitForWindows(const QString& title, int ms);
// xdotool's description of a window (position and size).
QString windowSize(const QString& id);
// A window's position and size on the screen; empty when it is gone.
QRect windowGeometry(const QString& id);

// The whole screen; null when it cannot be taken.
QImage screenshot();

// Polls `condition` every `pollMs` until it holds or `ms` have passed.
bool waitFor(const std::function<bool()>& condition, int ms, int pollMs = 100);

// A mouse click (or double click) at a screen position, with the pointer
// left there.
void click(const QPoint& at, int count = 1);
void moveMouse(const QPoint& to);

// What a test needs of the test run's services.
enum class Services { X, Sound, XAndSound };
// Why the services cannot be used (no X server with RandR, no sound server);
// empty when they answer.
QString missingServices(Services needed);
// Whether the run insists on the services (VERBARO_REQUIRE_SERVICES=1): a
// missing one then fails the test instead of skipping it.
bool servicesRequired();

// Double-clicks a lesson row of the unit menu (a position within the menu
// window) and waits for the exercise window; loading a lesson takes a while
// on a slow machine. Clicks again only while the menu is the program's only
// window, so a late window never takes the click. Empty when no window came
// or the trainer ended.
QString openLessonFromMenu(const QString& menu, const QPoint& row, const QProcess& trainer);

} // namespace e2e
