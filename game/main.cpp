// main.cpp - the program entry of Hollow Pikes.
#include "game.h"
#include "options.h"

int main(int argc, char** argv) {
  int status = OptionsApply(argc, argv);
  if (status >= 0) return status;
  return GameMain();
}
