// main.cpp - the program entry of Hollow Pikes: everything else starts from GameMain.
// Kept apart so that tests and benchmarks link the whole game without an entry of its own.
#include "game.h"
#include "options.h"

int main(int argc, char** argv) {
  int status = OptionsApply(argc, argv);
  if (status >= 0) return status;
  return GameMain();
}
