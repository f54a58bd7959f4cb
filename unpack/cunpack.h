// CUNPCK32.DLL: the unpack library that the installer loads at run time to
// unpack the product's ".ZPK" archives.
//
// A ".ZPK" archive is an ordinary ZIP file whose members are stored or
// deflated, so any zip tool can make or inspect one; ZIP64 archives (more
// than 65,535 members, members or archives past 4 GB, or made so on request)
// are read as well. The library unpacks one archive at a time:
//
//   _cunpack_init@28   opens the archive and checks every member;
//   _cunpack_exec@8    writes the next file, one file per call;
//   _cunpack_exit@0    closes the archive.
//
// All three are 32-bit stdcall functions (the callee removes the arguments)
// and are looked up by exactly these names with GetProcAddress.
//
// The archive is checked as a whole by init before anything is written: a
// file that is not a ZIP archive or is cut short, a member that is encrypted,
// uses a method other than stored (0) or deflated (8), or whose name is
// absolute, carries a drive letter or a ":", climbs out with "..", or would
// give a full path longer than the name buffer makes init return 1, and
// nothing is written. A member whose data turns out to be damaged (CRC-32
// mismatch, truncated or invalid deflate data) makes exec return 1; the file
// it was writing is removed, and a file of that name that existed before is
// left as it was. Nothing is ever written outside the destination directory.
//
// Member names are decoded as the ZIP format says (UTF-8 when the member is
// marked so or carries an Info-ZIP Unicode Path field, otherwise code page
// 437) and files and directories are made under that name in the system's
// ANSI code page, through the ANSI file calls; the name buffer gets that
// ANSI path. A name that the ANSI code page cannot hold exactly is never
// written under a look-alike: when its turn comes exec returns 1 before any
// file or directory of that member is made. The members before it stay
// unpacked; the ones after it are not unpacked.
#ifndef CUNPACK_H
#define CUNPACK_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Size of the name buffer that exec fills, terminating zero included.
#define CUNPACK_NAME_BUFFER 256

// Results.
#define CUNPACK_READY 0         // init: the archive is open
#define CUNPACK_DONE 0          // exec: no more files; exit: ended cleanly
#define CUNPACK_FAILED 1        // init: cannot open the archive; exec: error; exit: not ended cleanly
#define CUNPACK_FILE_WRITTEN 2  // exec: one file written (see below)
#define CUNPACK_STOPPED 4       // exec: stopped because the cancel flag became 1

// init(archivePath, destinationDir, progressBase, progressShare, window,
//      message, cancelFlag)
//   Opens archivePath for unpacking into destinationDir (created when
//   missing; subdirectories of the archive are created as needed, existing
//   files are overwritten). While exec works it sends `message` to `window`
//   with wParam = overall percent, from progressBase up to progressBase +
//   progressShare in proportion to the bytes written; the values never go
//   backwards and never pass progressBase + progressShare. It reads
//   *cancelFlag between files and inside large files and stops when it is 1.
//   window and cancelFlag may be null.
//   Returns 1 when the archive cannot be opened (see above), 0 otherwise.
typedef int(WINAPI* CunpackInitProc)(const char* archivePath, const char* destinationDir,
                                     int progressBase, int progressShare, HWND window,
                                     UINT message, volatile LONG* cancelFlag);

// exec(nameBuffer, auxValue)
//   Unpacks the next member. Directory members are created on the way.
//   Result 2 means that ONE file has just been written and closed: its full
//   path is now in nameBuffer (CUNPACK_NAME_BUFFER characters), so the
//   caller may stamp that very file (its times, its log record) before the
//   next call. *auxValue receives the file's size in bytes (may be null).
//   Result 0: the archive is finished (nameBuffer is left unchanged).
//   Result 1: an error; result 4: stopped by the cancel flag. In both cases
//   the partly written file has been removed; later calls give the same
//   result again.
typedef int(WINAPI* CunpackExecProc)(char* nameBuffer, DWORD* auxValue);

// exit()
//   Closes the archive and releases everything init took. Returns 1 when the
//   archive could not be closed cleanly, 0 otherwise (also when nothing was
//   open).
typedef int(WINAPI* CunpackExitProc)(void);

// Questions to the window given to init, sent (SendMessage) on the thread
// that calls exec, with lParam = the full ANSI path, before the library
//   CUNPACK_REPLACING     writes over a file that exists, and
//   CUNPACK_MAKING_FOLDER makes a directory (each level it makes).
// A window that does not know them answers 0, and the library does what it
// always did: an existing file is replaced once the new data is whole
// (through a temporary file beside it). For CUNPACK_REPLACING the window
// may answer
//   CUNPACK_ANSWER_KEPT     the old file has been moved aside: the new one
//                           is written in its place;
//   CUNPACK_ANSWER_REFUSED  the file must not be written: exec returns 1.
// Any nonzero answer to CUNPACK_MAKING_FOLDER means the window noted it.
#define CUNPACK_REPLACING (WM_APP + 0x2C01)
#define CUNPACK_MAKING_FOLDER (WM_APP + 0x2C02)
#define CUNPACK_ANSWER_KEPT 1
#define CUNPACK_ANSWER_REFUSED 2
// Asked once, by init, with lParam = a CunpackFileTimes that the window may
// fill: a window that answers CUNPACK_ANSWER_TIMES has every file of the
// archive given those three times on its open handle, before it is closed,
// instead of the member's own last-write time. A caller that stamps every
// file alike (with the archive's times, say) spares itself reopening each
// one. A window that does not know the question answers 0.
#define CUNPACK_FILE_TIMES (WM_APP + 0x2C03)
#define CUNPACK_ANSWER_TIMES 1
typedef struct {
    FILETIME created;
    FILETIME accessed;
    FILETIME written;
} CunpackFileTimes;

#define CUNPACK_INIT_NAME "_cunpack_init@28"
#define CUNPACK_EXEC_NAME "_cunpack_exec@8"
#define CUNPACK_EXIT_NAME "_cunpack_exit@0"

#ifdef __cplusplus
}
#endif

#endif
