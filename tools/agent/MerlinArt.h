#pragma once

#include "CharacterArt.h"

// An old wizard: tall starry hat, white beard, long purple robe.
class MerlinArt : public CharacterArt {
public:
    void draw(QPainter& p, const Pose& pose) const override;
    QPointF headCenter() const override { return {64, 44}; }
};
