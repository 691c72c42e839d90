#pragma once

#include "platform/dao/error.h"

// Runs `body` and returns the engine error number it threw (0 for none).
template <typename Body>
int EngineErrorOf(Body body) {
    try {
        body();
    } catch (const dao::Error& e) {
        return e.Number();
    }
    return 0;
}
