// kegraphics.h - the engine's 2D renderer on OpenGL 3.3: render state and transforms, meshes,
// textures with resource accounting, text from a baked font, and the Dear ImGui debug layer.
#pragma once
#include <cstdint>

#include "kemath.h"

enum BlendMode : int32_t {
  BLEND_NONE = 0,
  BLEND_ALPHA = 1,
  BLEND_ADD = 2,
  BLEND_ADD_ALPHA = 3,
  BLEND_MULTIPLY = 4,
};

struct Mesh {
  uint32_t vertexArray;
  uint32_t vertexCount;
  uint32_t serial;  // never reused, where a freed mesh's address and names may come back
  char name[256];
};

struct Texture {
  uint32_t textureName;  // first, so the record can stand for its OpenGL name
  int32_t width;
  int32_t height;
  uint32_t serial;  // as a mesh's
  char name[256];
};

struct FontData;
struct Font {
  char name[256];
  int32_t size;
  FontData* fontData;
  Texture* texture;
};

// Renderer core.
bool GfxInit();
bool GfxCreateContext();
void GfxBuildShaders();
bool GfxShutdown();          // false: resources were left and the leak report was given
void GfxFrameReset();        // per-frame drawing state back to its start values
void GfxSetCameraBounds(float width, float height);
void GfxUpdateProjection();
void GfxSetViewport(int w, int h);
void GfxClear();
void GfxFrameFinish();       // the frame's own draws are all given: before the overlays and swap
void GfxSetTransform(const Mtx33& m);
void GfxSetModColor(uint32_t argb);
void GfxSetUseModColor(bool on);
void GfxTextureSet(Texture* texture);
void GfxSetBlendMode(BlendMode mode);
void GfxCheckError(int line);
void GfxCheckShader(uint32_t shader);
void GfxCheckProgram(uint32_t program);

// Read back, for tests and tools.
const Mtx44& GfxGetProjection();
const Mtx44& GfxGetViewProjection();
const Mtx44& GfxGetModelTransform();
const Mtx33& GfxGetTextureTransform();
void GfxSetTextureTransform(const Mtx33& m);
uint32_t GfxGetModColor();
bool GfxGetUseModColor();
Texture* GfxGetCurrentTexture();
BlendMode GfxGetBlendMode();
void GfxGetCameraBounds(float* left, float* right, float* bottom, float* top);
uint32_t GfxGetSpriteProgram();
// Reads the back buffer: (x, y) in pixels from the bottom-left, RGBA bytes.
void GfxReadPixels(int x, int y, int w, int h, uint8_t* rgba);

// Cheaper ways to fill the same pixels, which matter on a software rasteriser; all on by default.
// Benchmarks and the pictures test turn them off one by one to compare.
enum GfxFillPath : uint32_t {
  GFX_FILL_NO_DEPTH = 1,        // every vertex lies at z = 0: no depth test, no depth buffer clear
  GFX_FILL_LEAN_SHADER = 2,     // textured draws through a shader without branches
  GFX_FILL_OPAQUE_NO_BLEND = 4, // opaque pictures at full alpha are copied, not blended
  GFX_FILL_STILL = 8,           // the draws a frame opens with, as the last frame's: one copy
  GFX_FILL_TRIM = 16,           // a sprite drawn over only the part of its picture with any alpha
  GFX_FILL_ALL = 31,
};
void GfxSetFillPaths(uint32_t paths);
uint32_t GfxGetFillPaths();

// Meshes.
void GfxMeshStart();
void GfxTriAdd(float x0, float y0, uint32_t c0, float u0, float v0,
               float x1, float y1, uint32_t c1, float u1, float v1,
               float x2, float y2, uint32_t c2, float u2, float v2);
Mesh* GfxMeshEnd(const char* name);
void GfxMeshFree(Mesh* mesh);
void GfxMeshDraw(Mesh* mesh);
// Called by GfxMeshDraw for every draw that reaches OpenGL, with the render state set (benchmarks
// record a frame's draw list through it); null turns it off.
void GfxSetMeshDrawHook(void (*fn)(const Mesh* mesh));
void GfxLineAdd(float x0, float y0, uint32_t c0, float x1, float y1, uint32_t c1);
void GfxFlushDebugLines();
void GfxMeshFreeAll();
int GfxMeshLiveCount();
uint32_t GfxTriCount();   // triangles in the open collection

// Textures. With sizes only on, a loaded picture's file is checked and its size read, but its
// pixels are neither decoded nor uploaded: for runs that draw nothing.
void GfxTextureSetSizesOnly(bool on);
Texture* GfxTextureLoad(const char* path);
Texture* GfxTextureCreate(int32_t width, int32_t height, const uint8_t* rgba);
void GfxTextureUnload(Texture* texture);
int GfxTextureLiveCount();
bool GfxTextureIsOpaque(const Texture* texture);  // every pixel at alpha 255

// Text.
Font* GfxFontCreate(float scale);
void GfxFontFree(Font* font);
Mesh* GfxTextMeshBuild(Font* font, const char* text);
void GfxPrint(Font* font, const char* text, uint32_t argb);
// How far right of its origin the text's widest line reaches, in font pixels (0 for null).
float GfxTextWidth(Font* font, const char* text);
// The text over an outline: drawn in outlineArgb shifted by `thickness` font pixels in eight
// directions, then in argb on top.
void GfxPrintOutlined(Font* font, const char* text, uint32_t argb, uint32_t outlineArgb,
                      float thickness);
int GfxFontLiveCount();
void GfxFontFreeAll();   // shut-down frees every font still alive
void GfxTextFrameEnd();  // the printed texts' meshes not printed this frame are freed
void GfxTextKeptFree();  // every printed text's mesh is freed
int GfxTextKeptCount();

// Dear ImGui.
void GfxImGuiInit();
void GfxImGuiShutdown();
// Feeds the frame's input (keys and mouse from the input module) and starts its frame.
void GfxImGuiNewFrame(double frameTime, int windowWidth, int windowHeight);
void GfxImGuiRender();

// Leak report and release of every graphics resource still alive; false when there was any.
bool GfxReleaseAll();
