#pragma once

#include "Platform.h"

#include <memory>

namespace platform {

// The real platform services of a running program, built in one place.
class RealPlatform {
public:
    RealPlatform();
    ~RealPlatform();
    RealPlatform(const RealPlatform&) = delete;
    RealPlatform& operator=(const RealPlatform&) = delete;

    Platform& services() { return m_platform; }

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    Platform m_platform;
};

} // namespace platform
