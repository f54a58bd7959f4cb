#include "script/EngineStages.h"

#include <windows.h>

#include <cstdio>

namespace engine_stages {
namespace {

int64_t ticks[kCount];
long calls[kCount];

int64_t Frequency()
{
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

}  // namespace

int64_t Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Add(Stage stage, int64_t since)
{
    ticks[stage] += Now() - since;
    ++calls[stage];
}

void Trace()
{
    static const char* const names[kCount] = {"library", "progress", "stamp", "records", "display"};
    char line[160];
    for (int i = 0; i < kCount; ++i) {
        std::snprintf(line, sizeof line, "CVENGINE: stage %s %.3f s in %ld calls\n", names[i],
                      double(ticks[i]) / double(Frequency()), calls[i]);
        OutputDebugStringA(line);
        ticks[i] = 0;
        calls[i] = 0;
    }
}

}  // namespace engine_stages
