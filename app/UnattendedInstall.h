// An install without a person at the screen (/S): the wizard's sequence
// with steps that take the command line's choices and make each page's
// checks without its window, the same engine with a face that asks nobody,
// the same records and the same undo. Every message goes into the
// diagnostic log instead of a box.
#pragma once
#include <windows.h>

#include <string>

#include "app/InstallOptions.h"

struct InstallState;

// The whole unattended run on `state` (installer and source directories
// set): its exit code (install_exit).
int RunUnattended(InstallState& state, const InstallOptions& options);

// The answer that changes least, for a box nobody sees: a file moved aside
// goes back to its own name (the system as it was); any other question is
// declined (No, Cancel), a report acknowledged (OK).
int UnattendedAnswer(UINT textId, UINT type);

// The folder of diskette `disk` beside `folder`: its name with the
// diskette number at its end replaced (...\DISK1 -> ...\DISK2); empty when
// the name ends in no number or names that diskette already.
std::string SiblingDisketteFolder(const std::string& folder, int disk);
