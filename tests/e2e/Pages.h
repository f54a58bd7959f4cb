// Getting to the pages of the wizard and working them, for every walk that
// goes past the welcome page.
#pragma once
#include <windows.h>

#include <string>

#include "Driver.h"

namespace e2e {

extern const char kLocationsTitle[];  // "Installation Locations"
extern const char kLicenseTitle[];    // "Corvane License Agreement"
extern const char kInstallTypeTitle[];  // "Installation Type"
extern const char kComponentsTitle[];   // "Installation Components"
extern const char kBrowseTitle[];     // "Browse for Destination Directory"
extern const char kInvalidPath[];     // "Path is invalid. Please Enter Valid Path."

// Starts the installer, presses Next on the welcome page (and Accept on the
// license page when the media carry one) and waits for the locations page;
// null when it did not come.
HWND StartAtLocations(const Args& args, Installer& installer);
// Replaces the text of an edit field by typing `text` into it.
void TypeInto(HWND edit, const std::string& text);
// Types `path` into the directory field of the locations page and presses
// Next.
void LocationsNext(HWND page, const std::string& path);

// The lamp of the free-space light that is lit, as the screen shows it:
// 0 red, 1 yellow, 2 green, -1 none recognised.
int LitLamp(HWND indicator);

}  // namespace e2e
