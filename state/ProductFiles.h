// The file names the installer itself looks for or makes, and the ones of
// the product that its string table names (beside the install script's).
#pragma once

#include <string>

namespace product_file {
// On the media, in the source directory.
constexpr char kLicense[] = "LICENSE.TXT";
// The installer's help file.
constexpr char kHelp[] = "INSTALL.HLP";
// The record of an install, in its first component's directory.
constexpr char kInstallLog[] = "INSTALL.LOG";
// The installed product's own list of what it changes, merged into the log.
constexpr char kProductUninstallLog[] = "UNINST.LOG";
// The uninstaller, beside the installer on the media and copied into the
// product directory, and its record of the install beside INSTALL.LOG.
constexpr char kUninstaller[] = "CVREMOVE.EXE";
constexpr char kRemovalLog[] = "CVREMOVE.LOG";
// One installer or uninstaller at a time: both hold this mutex while they run.
constexpr char kSetupMutex[] = "CorvaneSetupRunning";

// The product's own files, as its string table names them. Each is empty
// when the product has none, and what the installer would do with it is
// left out.
// The product INI in the Windows directory (Path and Group of the install).
std::string ProductIni();
// In the first component's directory: the program whose version an install
// over it checks, and the file the question about a newer one names.
std::string CheckedProgram();
std::string CheckedDriver();
// In the first component's directory: the setup tool that a completed
// install starts, or the completion page's button.
std::string SetupTool();
// Beside the installer: the maker's cleanup program, started at the end.
std::string CleanupProgram();
// The shared libraries the first component brings up to date (n = 0, 1),
// and the string of the lowest version each may keep.
std::string SharedLibrary(int n);
unsigned SharedLibraryVersionId(int n);
// The first component's tuning file, without its extension (.DEF, .NOT).
std::string TuningFile();
// The third component's INI file, under the first component's directory.
std::string TrainerIni();
}  // namespace product_file
