// Getting to the pages of the wizard and working them, for every walk that
// goes past the welcome page.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "Driver.h"
#include "resources/resource.h"

namespace e2e {

extern const char kLocationsTitle[];  // "Installation Locations"
extern const char kLicenseTitle[];    // "Corvane License Agreement"
extern const char kInstallTypeTitle[];  // "Installation Type"
extern const char kComponentsTitle[];   // "Installation Components"
extern const char kCompletionTitle[];   // "Installation Complete"
extern const char kBrowseTitle[];     // "Browse for Destination Directory"
extern const char kInvalidPath[];     // "Path is invalid. Please Enter Valid Path."

// The four boxes of the components page, slot 1 first.
constexpr int kComponentBoxes[] = {IDC_CHECK_MEMORY_MANAGER, IDC_CHECK_TECHNOTES, IDC_CHECK_TRAINER,
                                   IDC_CHECK_DISK_CACHE};

// Starts the installer, presses Next on the welcome page (and Accept on the
// license page when the media carry one) and waits for the locations page;
// null when it did not come.
// `options` go on the command line before the source.
HWND StartAtLocations(const Args& args, Installer& installer, const std::string& options = "");
// Replaces the text of an edit field by typing `text` into it.
void TypeInto(HWND edit, const std::string& text);
// Types `path` into the directory field of the locations page and presses
// Next.
void LocationsNext(HWND page, const std::string& path);

// Goes on from the locations page with `path` as the product directory
// (empty: the proposal) to the installation type page; null when it did not
// come. `proposal`, when given, gets what the locations page proposed.
HWND StartAtInstallType(const Args& args, Installer& installer, const std::string& path = "",
                        std::string* proposal = nullptr, const std::string& options = "");
// Clicks Express on the installation type page and waits until the page
// has gone.
void ChooseExpress(HWND page);
// Clicks Custom on the installation type page; the components page that
// follows, or null.
HWND ChooseCustom(HWND page);
// Ticks the four boxes of the components page as `checked` says (slot 1
// first) and presses Install.
void InstallComponents(HWND page, const std::array<bool, 4>& checked);
// Waits for the installer's message box whose text is `text` and presses
// `button` in it; the box's caption, or empty when no such box came.
std::string Answer(const Installer& installer, const std::string& text, int button);
// What the sequence does after Install on the components page or Express
// (and the version check): the install step. This is the one place that
// knows what the install step shows.
// The progress window of the install step, once it shows; null after
// `timeout`.
HWND WaitProgressWindow(const Installer& installer, DWORD timeout);
void ExpectInstallStepReached(Installer& installer);

// The demo's walk from the welcome page to the components page, a picture of
// each screen on the way; the components page, or null.
HWND DemoPages(const Args& args, Installer& installer);

// The lamp of the free-space light that is lit, as the screen shows it:
// 0 red, 1 yellow, 2 green, -1 none recognised.
int LitLamp(HWND indicator);

}  // namespace e2e
