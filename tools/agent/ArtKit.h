#pragma once

#include "Pose.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

// Drawing pieces the four characters share: limbs, eyes, mouths and the
// effects drawn around a figure.
class ArtKit {
public:
    // An arm from `shoulder`; `side` -1 for the viewer's left arm, +1 for the right.
    // Returns where the hand is.
    static QPointF arm(QPainter& p, QPointF shoulder, double angle, double length, int side,
                       const QColor& color, double width);
    static void hand(QPainter& p, QPointF at, double radius, const QColor& color);
    static void eyes(QPainter& p, QPointF left, QPointF right, double radius, const Pose& pose,
                     const QColor& white, const QColor& pupil);
    static void mouth(QPainter& p, QPointF center, double width, const Pose& pose,
                      const QColor& line);
    // Effects are drawn in frame coordinates around the head at `head`.
    static void effect(QPainter& p, QPointF head, const Pose& pose);
    static void star(QPainter& p, QPointF center, double radius, const QColor& color);
    static QPen outline(double width = 2.0);
};
