// The script engine on a bare InstallState with the progress window as its
// face; the window is made only when a test makes it (face.Create()).
#pragma once
#include "progress/ProgressWindow.h"
#include "script/ScriptEngine.h"

struct EngineFace {
    EngineFace(InstallState& state, bool billboards) : face(state, nullptr, billboards) {}
    ProgressWindow face;
};

struct EngineHarness : EngineFace, ScriptEngine {
    explicit EngineHarness(InstallState& state, bool billboards = false)
        : EngineFace(state, billboards), ScriptEngine(state, face)
    {
    }
};
