#pragma once

#include "mixer/IMixer.h"

#include <map>
#include <utility>
#include <vector>

// A sound card mixer with chosen lines and levels, or none at all. Records
// every level sent and how many opened mixers are still alive.
class FakeMixer : public platform::IMixer {
public:
    struct Line {
        bool present = true;
        std::uint32_t minimum = 0;
        std::uint32_t maximum = 65535;
        std::uint32_t level = 0;
    };

    Opened open() override;

    bool available = true;      // false: no mixer answers
    bool refusesWrites = false; // every write fails, as on a broken line
    std::map<platform::MixerLine, Line> lines{
        {platform::MixerLine::Speaker, {true, 0, 65535, 40000}},
        {platform::MixerLine::Microphone, {true, 0, 65535, 20000}}};
    std::vector<std::pair<platform::MixerLine, std::uint32_t>> writes; // accepted ones
    int opens = 0;
    int openDevices = 0; // opened and not yet closed
};
