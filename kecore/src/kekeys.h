// kekeys.h - the key numbers of the engine's keyboard state: the desktop's virtual-key numbers,
// which the OS layer produces from physical keys and the input module is indexed by.
#pragma once

enum : int {
  VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
  VK_CAPITAL = 20, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35,
  VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_DELETE = 46,
  VK_NUMPAD0 = 96, VK_F1 = 112, VK_F4 = 115, VK_F11 = 122, VK_F12 = 123,
  VK_OEM_1 = 186, VK_OEM_PLUS = 187, VK_OEM_COMMA = 188, VK_OEM_MINUS = 189, VK_OEM_PERIOD = 190,
};

const int KEY_ALT = 10;  // Alt is kept here, never in its own slot 18
