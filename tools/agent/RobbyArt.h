#pragma once

#include "CharacterArt.h"

// A silver robot on treads: box head with antenna, visor eyes, panel lights.
class RobbyArt : public CharacterArt {
public:
    void draw(QPainter& p, const Pose& pose) const override;
    QPointF headCenter() const override { return {64, 38}; }
};
