// The product's own records outside its directory: CRVN.INI in the Windows
// directory (where the product lives, its program group), and, with the
// memory manager, its registry entries, the shared system libraries it
// needs and its tuning file; the game trainer's settings file. Read back by
// a later install to propose the same place again.
#pragma once

struct InstallState;

// Fills productDir, targetDir1 and installLogPath from an earlier install,
// when one is recorded. Runs once, after the welcome page.
void DetectPreviousInstall(InstallState& state);

// Writes the records of a completed install.
void WriteProductIni(InstallState& state);
