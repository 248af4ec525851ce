#pragma once
#include "join/Engines.h"

// The two engines by name, for tests that run both.
inline const Engine &encoderEngine() { return Engines::byName(QStringLiteral("Encoder")); }
inline const Engine &writerEngine() { return Engines::byName(QStringLiteral("Builtin")); }
