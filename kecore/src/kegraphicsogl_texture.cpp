// kegraphicsogl_texture.cpp - textures from PNG files and from memory, and the accounting of
// every live graphics resource with the leak report at shut-down.
// Placeholder until textures arrive: nothing loads, only meshes are accounted for.
#include "kegraphics.h"

Texture* GfxTextureLoad(const char*) { return nullptr; }
Texture* GfxTextureCreate(int32_t, int32_t, const uint8_t*) { return nullptr; }
void GfxTextureUnload(Texture*) {}
int GfxTextureLiveCount() { return 0; }
int GfxRenderTextureCount() { return 0; }

void GfxReleaseAll() {
  GfxMeshFreeAll();
}
