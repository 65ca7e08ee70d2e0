// What the program does before it opens a window: --help and --version, and
// the start-up check that lets a script run the installed program unattended.
#pragma once

// Handles the command line before QApplication exists, so --help and
// --version work without a display. Returns -1 when the program should go on
// to open its windows, otherwise the exit status: 0 after printing the usage
// or the version on standard output, 2 (with one line on standard error)
// for anything else on the command line.
int HandleCommandLine(int argc, char** argv);

// When CORVAIR_QUIT_AFTER_SHOW_MS holds a whole number of milliseconds
// (0 or more), the program quits with status 0 that long after its first
// window is shown. Installed-program checks use it to start the real program
// offscreen and see it come up. Call once, right after creating QApplication;
// without the variable it does nothing.
void ArmQuitAfterShow();
