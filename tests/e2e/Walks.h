// Walks that other walk files continue.
#pragma once
#include <windows.h>

#include "Driver.h"

namespace e2e {

// From the installation type page: Express, with a screenshot of the
// progress window, the diskette prompt (answered with the next diskette of
// the media beside the source), the completion page and the program
// group's folder, then Finish.
void DemoInstall(const Args& args, Installer& installer);

}  // namespace e2e
