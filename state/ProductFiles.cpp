#include "state/ProductFiles.h"

#include "fw/ResString.h"
#include "resources/resource.h"

namespace product_file {

std::string ProductIni() { return fw::LoadResString(IDS_PRODUCT_INI); }
std::string CheckedProgram() { return fw::LoadResString(IDS_CHECKED_PROGRAM); }
std::string CheckedDriver() { return fw::LoadResString(IDS_CHECKED_DRIVER); }
std::string SetupTool() { return fw::LoadResString(IDS_SETUP_TOOL); }
std::string CleanupProgram() { return fw::LoadResString(IDS_CLEANUP_PROGRAM); }
std::string SharedLibrary(int n) { return fw::LoadResString(IDS_SHARED_LIBRARY_FIRST + n); }
unsigned SharedLibraryVersionId(int n) { return n == 0 ? IDS_CTL3D_MIN_VERSION : IDS_TOOLHELP_MIN_VERSION; }
std::string TuningFile() { return fw::LoadResString(IDS_TUNING_FILE); }
std::string TrainerIni() { return fw::LoadResString(IDS_TRAINER_INI); }

}  // namespace product_file
