#pragma once

#include "Pose.h"

#include <vector>

// The movements the characters perform, as key poses. A character's animation
// is one of these drawn with its own art.
enum class Motion {
    Rest,
    Idle,
    Showing,
    Hiding,
    GestureLeft,
    Cheer,
    CheerJump,
    Suggest,
    Uncertain,
    StopListening,
    Announce,
    Surprised,
    Confused,
    DontRecognize,
    MagicWave,
    MagicCast,
    Pleased,
    Decline,
    Sad,
};

class Motions {
public:
    // One key pose: the figure goes from the previous pose to this one in
    // `steps` drawn frames of `frameMs` each.
    struct Key {
        Pose pose;
        int steps = 2;
        int frameMs = 90;
    };
    struct Script {
        std::vector<Key> keys;
        bool startsFromRest = true; // false: the first key is drawn as it is
        bool endsAtRest = true;     // true: the figure returns to its rest pose
    };

    static Script script(Motion motion);
};
