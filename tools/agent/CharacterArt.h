#pragma once

#include "Pose.h"

#include <QPainter>
#include <QPointF>

// How one character looks. draw() paints the figure in a 128 x 128 frame,
// standing on the bottom edge and centred; the builder applies the pose's
// scale, bob and lean around the feet before calling it.
class CharacterArt {
public:
    virtual ~CharacterArt() = default;
    virtual void draw(QPainter& p, const Pose& pose) const = 0;
    // The head's centre, around which effects are drawn.
    virtual QPointF headCenter() const = 0;

protected:
    // Rotates the painter by the pose's head tilt around the neck.
    static void tiltHead(QPainter& p, QPointF neck, const Pose& pose) {
        p.translate(neck);
        p.rotate(pose.headTilt);
        p.translate(-neck);
    }
};
