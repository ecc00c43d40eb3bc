// quad.cpp - builds the unit square as two white triangles, textured from (0, 0) at the
// bottom-left to (1, 1) at the top-right.
#include "quad.h"

#include "kegraphics.h"

Mesh* gQuadMesh = nullptr;

Mesh* CreateQuadMesh() {
  const uint32_t white = 0xFFFFFFFF;
  GfxMeshStart();
  GfxTriAdd(-0.5f, 0.5f, white, 0, 1, -0.5f, -0.5f, white, 0, 0, 0.5f, -0.5f, white, 1, 0);
  GfxTriAdd(-0.5f, 0.5f, white, 0, 1, 0.5f, -0.5f, white, 1, 0, 0.5f, 0.5f, white, 1, 1);
  return GfxMeshEnd("gQuadMesh");
}
