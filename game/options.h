// options.h - the command line: which seats the computer takes, its seed, or the balance lab in
// place of the game. Nothing else is read, and nothing is kept between runs.
#pragma once

// Applies the options; returns -1 to run the game, or the exit status to leave with at once
// (0 after --help, 2 after an unknown option or a bad value, which is reported on standard
// error; the balance lab's own status after --balance).
int OptionsApply(int argc, char** argv);
