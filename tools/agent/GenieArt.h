#pragma once

#include "CharacterArt.h"

// A blue genie rising from a wisp of smoke: topknot, gold earring, red vest.
class GenieArt : public CharacterArt {
public:
    void draw(QPainter& p, const Pose& pose) const override;
    QPointF headCenter() const override { return {64, 38}; }
};
