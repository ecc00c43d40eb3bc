// main.cpp - the program entry of Hollow Pikes.
#include "game.h"

int main() {
  return GameMain();
}
