// The file names the installer itself looks for or makes, beside the ones
// the install script and the string table name.
#pragma once

namespace product_file {
// On the media, in the source directory.
constexpr char kLicense[] = "LICENSE.TXT";
// Beside the installer: the maker's cleanup program, started at the end.
constexpr char kCleanupProgram[] = "CVDEL.EXE";
// The installer's help file.
constexpr char kHelp[] = "INSTALL.HLP";
// In the product directory: the memory manager's file whose version an
// install over it checks, the driver the question names, and the setup tool
// started after a completed install.
constexpr char kMemoryManagerProgram[] = "RHREG.COM";
constexpr char kMemoryManagerDriver[] = "RHOLD386.SYS";
constexpr char kSetupTool[] = "RHSETUP.EXE";
// The record of an install, in its first component's directory.
constexpr char kInstallLog[] = "INSTALL.LOG";
// The installed product's own list of what it changes, merged into the log.
constexpr char kProductUninstallLog[] = "UNINST.LOG";
// The uninstaller, beside the installer on the media and copied into the
// product directory, and its record of the install beside INSTALL.LOG.
constexpr char kUninstaller[] = "CVREMOVE.EXE";
constexpr char kRemovalLog[] = "CVREMOVE.LOG";
// The product INI in the Windows directory.
constexpr char kProductIni[] = "CRVN.INI";
// One installer or uninstaller at a time: both hold this mutex while they run.
constexpr char kSetupMutex[] = "CorvaneSetupRunning";
}  // namespace product_file
