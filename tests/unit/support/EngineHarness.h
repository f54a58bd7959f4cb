// The script engine on a bare InstallState with the progress window as its
// face; the window is made only when a test makes it (face.Create()).
#pragma once
#include "progress/ProgressWindow.h"
#include "script/ScriptEngine.h"

struct EngineHarness {
    explicit EngineHarness(InstallState& state, bool billboards = false)
        : face(state, nullptr, billboards), engine(state, face)
    {
    }
    ProgressWindow face;
    ScriptEngine engine;
};
