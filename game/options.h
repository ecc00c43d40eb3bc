// options.h - the command line: which seats the computer takes. Nothing else is read, and
// nothing is kept between runs.
#pragma once

// Applies the options; returns -1 to run the game, or the exit status to leave with at once
// (0 after --help, 2 after an unknown option, which is reported on standard error).
int OptionsApply(int argc, char** argv);
