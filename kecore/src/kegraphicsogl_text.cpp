// kegraphicsogl_text.cpp - text: the font baked into an atlas, a mesh per string, printing.
// Placeholder until text arrives.
#include "kegraphics.h"

Font* GfxFontCreate(float) { return nullptr; }
void GfxFontFree(Font*) {}
Mesh* GfxTextMeshBuild(Font*, const char*) { return nullptr; }
void GfxPrint(Font*, const char*, uint32_t) {}
int GfxFontLiveCount() { return 0; }
