#pragma once

// What a character does in one drawn frame. Every character draws the same
// pose in its own way, so one table of movements serves all four.
struct Pose {
    enum class Effect { None, Sparkles, Confetti, Question, Exclaim, Tear, Hearts, Puff, Waves };

    double bob = 0;       // vertical offset in pixels, negative is up
    double lean = 0;      // body rotation in degrees, positive leans right
    double armLeft = 25;  // arm on the viewer's left: 0 hangs down, 90 points out, 170 is up
    double armRight = 25; // arm on the viewer's right, the same way
    double mouthOpen = 0; // 0 closed .. 1 wide open
    double smile = 0.4;   // -1 frown .. 1 broad smile
    double eyeOpen = 1;   // 0 closed, 1 normal, 1.4 wide
    double look = 0;      // pupils: -1 left .. 1 right
    double headTilt = 0;  // degrees
    double scale = 1;     // whole figure, for appearing and vanishing
    Effect effect = Effect::None;
    double effectPhase = 0; // 0..1, advances the effect's own motion
};
