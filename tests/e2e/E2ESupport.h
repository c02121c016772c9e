#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

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

} // namespace e2e
