#pragma once

#include "FakePlatform.h"

namespace platform {
class IRegistry;
}

// Makes the real image button library creatable through `writer` (a test's
// own registry store): the library registers itself once per test run in a
// per-user registry of a temporary folder, and its class entries are copied
// into `writer`. False when the library cannot be loaded or registered.
bool AddGlyphonTo(platform::IRegistry& writer);

// The fake platform on which the windows' image buttons can be made.
struct FakePlatformWithGlyphon : FakePlatform {
    FakePlatformWithGlyphon() { glyphon = AddGlyphonTo(registryWriter); }
    bool glyphon = false;
};
