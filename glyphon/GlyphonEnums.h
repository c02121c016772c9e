#pragma once

// The enumerations the control's type library declares; their member names
// are part of the interface. (Kept out of the meta-object compiler's sight,
// which does not read non-ASCII names.)

enum class BorderStyl : int {
    无边框 = 0, // no border
    有边框 = 1, // single-line border
};

enum class Appear : int {
    None = 0,   // flat
    ThreeD = 1, // 3-D ("3D" cannot begin a C++ name)
};

// Declared only; no property uses it.
enum class BackStyl : int {
    透明 = 0,   // transparent
    不透明 = 1, // opaque
};
