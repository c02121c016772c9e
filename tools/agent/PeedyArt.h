#pragma once

#include "CharacterArt.h"

// A green parrot on a perch: orange crest, hooked yellow beak, wings for arms.
class PeedyArt : public CharacterArt {
public:
    void draw(QPainter& p, const Pose& pose) const override;
    QPointF headCenter() const override { return {64, 44}; }
};
