// kegraphicsogl.cpp - the OpenGL 3.3 renderer core: context, the sprite and line programs,
// render state, projection and transforms, tint, texture binding, meshes and debug lines.
#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "kegraphics.h"
#include "kegraphicsogl_still.h"
#include "kegraphicsogl_trim.h"
#include "kelog.h"
#include "keos.h"

#define GFX_CHECK() GfxCheckError(__LINE__)

namespace {

const uint32_t kMaxTriangles = 8192;
const uint32_t kMaxLineVertices = 16384;

// What a sprite program's uniforms last received: a draw sends only what changed, since every
// uniform call costs the software renderer a state check at the next draw.
struct SpriteSent {
  bool valid = false;
  Mtx44 viewProj;
  Mtx33 texTransform;
  uint32_t modColor = 0;
  GLint useModColor = 0, useTexture = 0;
};

// Where the sprite program's uniforms live; fixed once the program is linked.
struct SpriteUniforms {
  GLint viewProj = -1, model = -1, texture = -1, modColor = -1, useModColor = -1,
        useTexture = -1;
  SpriteSent sent;
};

struct SpriteVertex {
  float x, y, z, r, g, b, a, u, v;
};
struct LineVertex {
  float x, y, z, r, g, b, a;
};

struct GfxState {
  float top = 0, right = 0, bottom = 0, left = 0;
  Mtx44 projection, view, viewProj, model;
  Mtx33 texTransform;
  uint32_t modColor = 0xFFFFFFFF;
  bool useModColor = true;
  Texture* currentTexture = nullptr;
  BlendMode blendMode = BLEND_ALPHA;
  GLuint spriteProgram = 0, lineProgram = 0, leanProgram = 0;
  SpriteUniforms sprite, lean;
  uint32_t fillPaths = GFX_FILL_ALL;
  int viewW = 0, viewH = 0;
  uint32_t meshSerials = 0;  // the last one given
  bool blending = true;  // GL_BLEND as last set here
  GLuint boundVao = 0, boundProgram = 0;  // as last bound here: a repeat is skipped
  void (*drawHook)(const Mesh*) = nullptr;
  GLuint lineVao = 0, lineVbo = 0;
  SpriteVertex tris[kMaxTriangles * 3];
  uint32_t triCount = 0;
  bool collecting = false;
  LineVertex lines[kMaxLineVertices];
  uint32_t lineCount = 0;
  struct MeshGl {
    GLuint vao, vbo;
    GfxQuad quad;  // for the trimmed sprites
  };
  std::unordered_map<Mesh*, MeshGl> meshRegistry;
  std::vector<Mesh*> liveMeshes;
};
GfxState* gGfx = new GfxState();  // large arrays: keep them off the static image

const char* kSpriteVertexSrc =
    "#version 330\n"
    "layout(location = 0) in vec3 vertexPos;\n"
    "layout(location = 1) in vec4 vertexColor;\n"
    "layout(location = 2) in vec2 vertexUV;\n"
    "noperspective out vec2 vtxUV;  // texture coordinates; w is 1, so no perspective divide\n"
    "out vec4 vtxColor;   // vtx color.\n"
    "uniform mat4 mtxModel;      // model matrix.\n"
    "uniform mat4 mtxViewProj;   // view projection matrix.\n"
    "uniform mat3 mtxTexture;    // texture matrix.\n"
    "void main(){\n"
    "    gl_Position = (mtxViewProj * mtxModel * vec4(vertexPos, 1));\n"
    "    vtxUV = (mtxTexture * vec3(vertexUV, 1)).xy;\n"
    "    vtxColor = vertexColor;}\n";

const char* kSpriteFragmentSrc =
    "#version 330\n"
    "in vec4 vtxColor;   // vertex color\n"
    "noperspective in vec2 vtxUV;      // texture coord\n"
    "out vec4 color;     // final fragment color\n"
    "uniform sampler2D colorTexture;   // texture sampler (passed by application).\n"
    "uniform int useTexture;           // whether or not to use a texture.\n"
    "uniform vec4 modColor;            // modulation color.\n"
    "uniform int useModColor;          // whether or not to use modulation color.\n"
    "void main(){\n"
    "    vec4 mc = modColor;\n"
    "    if (useModColor == 0)\n"
    "        mc = vec4(1, 1, 1, 1);\n"
    "    if (useTexture == 1)\n"
    "        color = texture(colorTexture, vtxUV) * mc;\n"
    "    else\n"
    "        color = vtxColor * mc;}\n";

// The textured case alone, without branches: the software rasteriser runs it on a much faster
// path than the general shader above, for the same colour.
const char* kLeanFragmentSrc =
    "#version 330\n"
    "noperspective in vec2 vtxUV;\n"
    "out vec4 color;\n"
    "uniform sampler2D colorTexture;\n"
    "uniform vec4 modColor;            // white when the draw is not tinted\n"
    "void main(){\n"
    "    color = texture(colorTexture, vtxUV) * modColor;}\n";

const char* kLineVertexSrc =
    "#version 330\n"
    "layout(location = 0) in vec3 vertexPos;\n"
    "layout(location = 1) in vec4 vertexColor;\n"
    "out vec4 vtxColor;          // vtx color\n"
    "uniform mat4 mtxViewProj;   // view projection\n"
    "void main(){\n"
    "    gl_Position = (mtxViewProj * vec4(vertexPos, 1));\n"
    "    vtxColor = vertexColor;}\n";

const char* kLineFragmentSrc =
    "#version 330\n"
    "in vec4 vtxColor;       // vtx color (interpolated per fragment).\n"
    "out vec4 color;         // final fragment color\n"
    "uniform vec4 modColor;      // modulation color.\n"
    "uniform int useModColor;    // whether or not to use modulation color.\n"
    "void main(){\n"
    "    if (useModColor == 1)\n"
    "        color = vtxColor * modColor;\n"
    "    else\n"
    "        color = vtxColor;}\n";

GLuint BuildProgram(const char* vsSrc, const char* fsSrc) {
  GLuint vs = glCreateShader(GL_VERTEX_SHADER);
  GLuint fs = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(vs, 1, &vsSrc, nullptr);
  glShaderSource(fs, 1, &fsSrc, nullptr);
  glCompileShader(vs);
  GfxCheckShader(vs);
  glCompileShader(fs);
  GFX_CHECK();
  GfxCheckShader(fs);
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  GFX_CHECK();
  glLinkProgram(program);
  GFX_CHECK();
  GfxCheckProgram(program);
  glDetachShader(program, vs);
  glDetachShader(program, fs);
  glDeleteShader(vs);
  glDeleteShader(fs);
  return program;
}

void ColorToFloats(uint32_t argb, float out[4]) {
  out[0] = ((argb >> 16) & 0xFF) / 255.0f;
  out[1] = ((argb >> 8) & 0xFF) / 255.0f;
  out[2] = (argb & 0xFF) / 255.0f;
  out[3] = ((argb >> 24) & 0xFF) / 255.0f;
}

void SetUniformMat4(GLuint program, const char* name, const Mtx44& m, GLboolean transpose) {
  GLint loc = glGetUniformLocation(program, name);
  if (loc != -1) glUniformMatrix4fv(loc, 1, transpose, &m.m[0][0]);
}

void SetUniformColor(GLuint program, uint32_t argb) {
  GLint loc = glGetUniformLocation(program, "modColor");
  if (loc == -1) return;
  float c[4];
  ColorToFloats(argb, c);
  glUniform4f(loc, c[0], c[1], c[2], c[3]);
}

void SetUniformInt(GLuint program, const char* name, int value) {
  GLint loc = glGetUniformLocation(program, name);
  if (loc != -1) glUniform1i(loc, value);
}

// Looking the names up once instead of in every draw saves the software renderer's string
// lookups, several per sprite.
void FindSpriteUniforms(GLuint p, SpriteUniforms& u) {
  u.viewProj = glGetUniformLocation(p, "mtxViewProj");
  u.model = glGetUniformLocation(p, "mtxModel");
  u.texture = glGetUniformLocation(p, "mtxTexture");
  u.modColor = glGetUniformLocation(p, "modColor");
  u.useModColor = glGetUniformLocation(p, "useModColor");
  u.useTexture = glGetUniformLocation(p, "useTexture");
  u.sent = SpriteSent();  // a new program has received nothing yet
}

// GLEW 2.2 under EGL reports a missing GLX display although the entry points load.
bool GlewErrorIsHarmless(GLenum err) {
#ifdef GLEW_ERROR_NO_GLX_DISPLAY
  if (err == GLEW_ERROR_NO_GLX_DISPLAY) {
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major > 3 || (major == 3 && minor >= 3);
  }
#endif
  (void)err;
  return false;
}

bool Gl33Supported() {
  char name[32];
  snprintf(name, sizeof name, "GL_VERSION_%d_%d", 3, 3);
  if (glewIsSupported(name)) return true;
  GLint major = 0, minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &major);
  glGetIntegerv(GL_MINOR_VERSION, &minor);
  return major > 3 || (major == 3 && minor >= 3);
}

void ShowNotSupported() {
  char text[128], caption[64];
  snprintf(text, sizeof text, "OpenGL %d.%d is not supported! Please download latest GPU drivers!", 3, 3);
  snprintf(caption, sizeof caption, "OpenGL %d.%d Not Supported", 3, 3);
  OsMessageBox(text, caption, OS_MB_ICONINFORMATION);
}

}  // namespace

bool GfxCreateContext() {
  if (!OsGlCreateContext()) {
    ShowNotSupported();
    return false;
  }
  glewExperimental = GL_TRUE;
  GLenum err = glewInit();
  if (err != GLEW_OK && !GlewErrorIsHarmless(err)) {
    LogPrint("Error: %s\n", (const char*)glewGetErrorString(err));
    return false;
  }
  while (glGetError() != GL_NO_ERROR) {
  }  // initialisation may leave a stray error behind
  if (Gl33Supported()) return true;
  ShowNotSupported();
  return false;
}

void GfxBuildShaders() {
  gGfx->spriteProgram = BuildProgram(kSpriteVertexSrc, kSpriteFragmentSrc);
  FindSpriteUniforms(gGfx->spriteProgram, gGfx->sprite);
  gGfx->leanProgram = BuildProgram(kSpriteVertexSrc, kLeanFragmentSrc);
  FindSpriteUniforms(gGfx->leanProgram, gGfx->lean);
  gGfx->lineProgram = BuildProgram(kLineVertexSrc, kLineFragmentSrc);
  gGfx->boundProgram = 0;
}

bool GfxInit() {
  if (!GfxCreateContext()) return false;

  glGenVertexArrays(1, &gGfx->lineVao);
  glGenBuffers(1, &gGfx->lineVbo);
  glBindVertexArray(gGfx->lineVao);
  glBindBuffer(GL_ARRAY_BUFFER, gGfx->lineVbo);
  glBufferData(GL_ARRAY_BUFFER, sizeof gGfx->lines, nullptr, GL_DYNAMIC_DRAW);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(LineVertex), (void*)0);
  glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(LineVertex), (void*)12);
  glEnableVertexAttribArray(0);  // kept in the vertex array, so a draw need not enable them
  glEnableVertexAttribArray(1);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  GFX_CHECK();

  GfxBuildShaders();

  int w, h;
  OsGetClientSize(&w, &h);
  GfxSetCameraBounds((float)w, (float)h);
  MathMtx44Identity(gGfx->view);
  GfxUpdateProjection();

  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendEquation(GL_FUNC_ADD);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glActiveTexture(GL_TEXTURE0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glClearDepth(1.0);
  glDepthMask(GL_TRUE);
  glDepthRange(0.0, 1.0);
  GFX_CHECK();

  GfxSetBlendMode(BLEND_ALPHA);
  gGfx->triCount = 0;
  gGfx->collecting = false;
  gGfx->lineCount = 0;
  MathMtx44Identity(gGfx->model);
  MathMtx33Identity(gGfx->texTransform);
  GfxImGuiInit();
  return true;
}

bool GfxShutdown() {
  GfxStillFree();
  bool clean = GfxReleaseAll();
  GfxImGuiShutdown();
  return clean;
}

void GfxFrameReset() {
  gGfx->triCount = 0;
  gGfx->collecting = false;
  MathMtx44Identity(gGfx->model);
  gGfx->lineCount = 0;
  gGfx->useModColor = false;
  MathMtx33Identity(gGfx->texTransform);
  if (gGfx->currentTexture) {
    gGfx->currentTexture = nullptr;
    glBindTexture(GL_TEXTURE_2D, 0);
  }
  glEnable(GL_BLEND);
  gGfx->blending = true;
}

void GfxSetCameraBounds(float width, float height) {
  gGfx->right = width * 0.5f;
  gGfx->left = -gGfx->right;
  gGfx->top = height * 0.5f;
  gGfx->bottom = -gGfx->top;
}

void GfxUpdateProjection() {
  Mtx44& p = gGfx->projection;
  p = Mtx44{{{2.0f / (gGfx->right - gGfx->left), 0, 0, 0},
             {0, 2.0f / (gGfx->top - gGfx->bottom), 0, 0},
             {0, 0, -0.0020000201f, -1.00002f},
             {0, 0, 0, 1}}};
  MathMtx44Concat(gGfx->viewProj, gGfx->projection, gGfx->view);
}

void GfxSetViewport(int w, int h) {
  gGfx->viewW = w, gGfx->viewH = h;
  glViewport(0, 0, w, h);
  glScissor(0, 0, w, h);
}

// Everything is drawn at z = 0 and the depth test lets equal depths through, so it never rejects
// a fragment: without it the rasteriser neither reads nor writes nor clears depth.
void GfxClear() {
  bool depth = (gGfx->fillPaths & GFX_FILL_NO_DEPTH) == 0;
  if (depth) glEnable(GL_DEPTH_TEST);
  else glDisable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT | (depth ? GL_DEPTH_BUFFER_BIT : 0));
  GfxStillFrameStart();
}

void GfxFrameFinish() {
  GfxStillFrameEnd();
  GfxTextFrameEnd();  // after the frame's draws: freeing a mesh draws what is held back
}

void GfxSetFillPaths(uint32_t paths) { gGfx->fillPaths = paths & GFX_FILL_ALL; }
uint32_t GfxGetFillPaths() { return gGfx->fillPaths; }
void GfxSetMeshDrawHook(void (*fn)(const Mesh*)) { gGfx->drawHook = fn; }

void GfxSetTransform(const Mtx33& m) {
  gGfx->model = Mtx44{{{m.m[0][0], m.m[0][1], 0, m.m[0][2]},
                       {m.m[1][0], m.m[1][1], 0, m.m[1][2]},
                       {m.m[2][0], m.m[2][1], 1, 0},
                       {0, 0, 0, 1}}};
}

void GfxSetModColor(uint32_t argb) {
  uint32_t c = argb < 0xFFFFFFFEu ? argb : 0xFFFFFFFEu;
  if (c != gGfx->modColor) gGfx->modColor = c;
}

void GfxSetUseModColor(bool on) {
  if (on != gGfx->useModColor) gGfx->useModColor = on;
}

void GfxTextureSet(Texture* texture) {
  if (texture == gGfx->currentTexture) return;
  gGfx->currentTexture = texture;
  glBindTexture(GL_TEXTURE_2D, texture ? texture->textureName : 0);
}

void GfxSetBlendMode(BlendMode mode) {
  gGfx->blendMode = mode;
  glBlendEquation(GL_FUNC_ADD);
  GFX_CHECK();
  switch (mode) {
    case BLEND_NONE: glBlendFunc(GL_ONE, GL_ZERO); break;
    case BLEND_ALPHA: glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case BLEND_ADD: glBlendFunc(GL_ONE, GL_ONE); break;
    case BLEND_ADD_ALPHA: glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case BLEND_MULTIPLY: glBlendFunc(GL_DST_COLOR, GL_ZERO); break;
  }
  GFX_CHECK();
}

void GfxCheckError(int line) {
  for (GLenum err = glGetError(); err != GL_NO_ERROR; err = glGetError()) {
    const char* name = "";
    switch (err) {
      case GL_INVALID_ENUM: name = "INVALID_ENUM"; break;
      case GL_INVALID_VALUE: name = "INVALID_VALUE"; break;
      case GL_INVALID_OPERATION: name = "INVALID_OPERATION"; break;
      case GL_OUT_OF_MEMORY: name = "OUT_OF_MEMORY"; break;
      case GL_INVALID_FRAMEBUFFER_OPERATION: name = "INVALID_FRAMEBUFFER_OPERATION"; break;
    }
    char text[128];
    snprintf(text, sizeof text, "GL_%s - kecore/src/kegraphicsogl:%d\n", name, line);
    LogPrint("%s", text);  // the debugger's channel
    fputs(text, stdout);
  }
}

namespace {

// Shaders and programs report failures the same way; only their query calls differ.
void ShowInfoLogOnFailure(GLuint id, GLenum statusQuery, PFNGLGETSHADERIVPROC getIv,
                          PFNGLGETSHADERINFOLOGPROC getLog, const char* caption) {
  GLint ok = 0, len = 0;
  getIv(id, statusQuery, &ok);
  getIv(id, GL_INFO_LOG_LENGTH, &len);
  if (ok || len <= 0) return;
  std::vector<char> log(len + 1, 0);
  getLog(id, len, nullptr, log.data());
  OsMessageBox(log.data(), caption, OS_MB_ICONERROR | OS_MB_TASKMODAL | OS_MB_SETFOREGROUND);
}

}  // namespace

void GfxCheckShader(uint32_t shader) {
  // The caption names the stage that failed, so a broken fragment shader is not blamed on the
  // vertex shader.
  GLint type = 0;
  glGetShaderiv(shader, GL_SHADER_TYPE, &type);
  ShowInfoLogOnFailure(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog,
                       type == GL_FRAGMENT_SHADER ? "Fragment Shader Compilation Error"
                                                  : "Vertex Shader Compilation Error");
}

void GfxCheckProgram(uint32_t program) {
  ShowInfoLogOnFailure(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog,
                       "Shader Linking Error");
}

const Mtx44& GfxGetProjection() { return gGfx->projection; }
const Mtx44& GfxGetViewProjection() { return gGfx->viewProj; }
const Mtx44& GfxGetModelTransform() { return gGfx->model; }
const Mtx33& GfxGetTextureTransform() { return gGfx->texTransform; }
void GfxSetTextureTransform(const Mtx33& m) { gGfx->texTransform = m; }
uint32_t GfxGetModColor() { return gGfx->modColor; }
bool GfxGetUseModColor() { return gGfx->useModColor; }
Texture* GfxGetCurrentTexture() { return gGfx->currentTexture; }
BlendMode GfxGetBlendMode() { return gGfx->blendMode; }
uint32_t GfxGetSpriteProgram() { return gGfx->spriteProgram; }

void GfxGetCameraBounds(float* left, float* right, float* bottom, float* top) {
  *left = gGfx->left;
  *right = gGfx->right;
  *bottom = gGfx->bottom;
  *top = gGfx->top;
}

void GfxReadPixels(int x, int y, int w, int h, uint8_t* rgba) {
  GfxStillFlush();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

// ---- Meshes ----

void GfxMeshStart() {
  gGfx->collecting = true;
}

// A vertex colour shows on an untextured mesh; a textured one shows its picture.
void GfxTriAdd(float x0, float y0, uint32_t c0, float u0, float v0,
               float x1, float y1, uint32_t c1, float u1, float v1,
               float x2, float y2, uint32_t c2, float u2, float v2) {
  if (!gGfx->collecting || gGfx->triCount >= kMaxTriangles) return;
  SpriteVertex* v = &gGfx->tris[gGfx->triCount * 3];
  float a[4], b[4], c[4];
  ColorToFloats(c0, a);
  ColorToFloats(c1, b);
  ColorToFloats(c2, c);
  v[0] = {x0, y0, 0, a[0], a[1], a[2], a[3], u0, v0};
  v[1] = {x1, y1, 0, b[0], b[1], b[2], b[3], u1, v1};
  v[2] = {x2, y2, 0, c[0], c[1], c[2], c[3], u2, v2};
  ++gGfx->triCount;
}

uint32_t GfxTriCount() {
  return gGfx->triCount;
}

Mesh* GfxMeshEnd(const char* name) {
  uint32_t n = gGfx->triCount * 3;
  if (n == 0) return nullptr;
  Mesh* mesh = (Mesh*)calloc(1, sizeof(Mesh));
  GLuint vao = 0, vbo = 0;
  glGenVertexArrays(1, &vao);
  glGenBuffers(1, &vbo);
  mesh->vertexArray = vao;
  mesh->vertexCount = n;
  mesh->serial = ++gGfx->meshSerials;
  glBindVertexArray(vao);
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glBufferData(GL_ARRAY_BUFFER, n * sizeof(SpriteVertex), gGfx->tris, GL_STATIC_DRAW);
  GFX_CHECK();
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex), (void*)0);
  glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex), (void*)12);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex), (void*)28);
  for (GLuint i = 0; i < 3; ++i) glEnableVertexAttribArray(i);  // kept in the vertex array
  glBindVertexArray(0);
  gGfx->boundVao = 0;
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  gGfx->triCount = 0;
  gGfx->collecting = false;
  if (name) snprintf(mesh->name, sizeof mesh->name, "%s", name);
  else snprintf(mesh->name, sizeof mesh->name, "Mesh%i", (int)gGfx->liveMeshes.size());
  gGfx->meshRegistry[mesh] = {vao, vbo, GfxQuadOf(&gGfx->tris[0].x, n, 9)};
  gGfx->liveMeshes.push_back(mesh);
  return mesh;
}

void GfxMeshFree(Mesh* mesh) {
  if (!mesh) return;
  GfxStillFlush();  // a draw held back may be this mesh's
  auto it = gGfx->meshRegistry.find(mesh);
  if (it != gGfx->meshRegistry.end()) {
    // Deleting the bound array unbinds it, and its name may come back for a new mesh.
    if (gGfx->boundVao == it->second.vao) gGfx->boundVao = 0;
    glDeleteVertexArrays(1, &it->second.vao);
    glDeleteBuffers(1, &it->second.vbo);
    gGfx->meshRegistry.erase(it);
  }
  std::vector<Mesh*>& live = gGfx->liveMeshes;
  for (size_t i = live.size(); i-- > 0;)
    if (live[i] == mesh) live.erase(live.begin() + (long)i);
  free(mesh);
}

// The printed texts' meshes are the renderer's own, freed when they are no longer printed.
int GfxMeshLiveCount() {
  return (int)gGfx->liveMeshes.size() - GfxTextKeptCount();
}

namespace {

// An opaque picture at full alpha blends to itself (src * 1 + dst * 0), so a plain copy gives
// the same pixels without reading the ones beneath.
bool DrawIsOpaque() {
  const GfxState& g = *gGfx;
  return (g.fillPaths & GFX_FILL_OPAQUE_NO_BLEND) && g.blendMode == BLEND_ALPHA &&
         GfxTextureIsOpaque(g.currentTexture) && (!g.useModColor || (g.modColor >> 24) == 0xFF);
}

void SetBlending(bool on) {
  if (on == gGfx->blending) return;
  gGfx->blending = on;
  if (on) glEnable(GL_BLEND);
  else glDisable(GL_BLEND);
}

void BindVertexArray(GLuint vao) {
  if (vao == gGfx->boundVao) return;
  gGfx->boundVao = vao;
  glBindVertexArray(vao);
}

void UseProgram(GLuint program) {
  if (program == gGfx->boundProgram) return;
  gGfx->boundProgram = program;
  glUseProgram(program);
}

// The model transform changes with every object; the rest seldom does. The sampler is never
// sent: a linked program's uniforms start at 0, which is texture unit 0.
void SendSpriteUniforms(SpriteUniforms& u, uint32_t modColor) {
  const GfxState& g = *gGfx;
  SpriteSent& s = u.sent;
  if (u.viewProj != -1 && (!s.valid || memcmp(&s.viewProj, &g.viewProj, sizeof g.viewProj)))
    glUniformMatrix4fv(u.viewProj, 1, GL_FALSE, &g.viewProj.m[0][0]);
  if (u.model != -1) glUniformMatrix4fv(u.model, 1, GL_TRUE, &g.model.m[0][0]);
  if (u.texture != -1 &&
      (!s.valid || memcmp(&s.texTransform, &g.texTransform, sizeof g.texTransform)))
    glUniformMatrix3fv(u.texture, 1, GL_TRUE, &g.texTransform.m[0][0]);
  if (u.modColor != -1 && (!s.valid || s.modColor != modColor)) {
    float c[4];
    ColorToFloats(modColor, c);
    glUniform4f(u.modColor, c[0], c[1], c[2], c[3]);
  }
  GLint useModColor = g.useModColor ? 1 : 0, useTexture = g.currentTexture ? 1 : 0;
  if (u.useModColor != -1 && (!s.valid || s.useModColor != useModColor))
    glUniform1i(u.useModColor, useModColor);
  if (u.useTexture != -1 && (!s.valid || s.useTexture != useTexture))
    glUniform1i(u.useTexture, useTexture);
  s = {true, g.viewProj, g.texTransform, modColor, useModColor, useTexture};
}

// The render state as a draw's key sees it, the mesh left out.
GfxDrawKey KeyNow() {
  const GfxState& g = *gGfx;
  GfxDrawKey k = {};
  k.texture = g.currentTexture ? g.currentTexture->serial : 0;
  k.model = g.model, k.viewProj = g.viewProj, k.texTransform = g.texTransform;
  k.modColor = g.modColor, k.fillPaths = g.fillPaths & ~GFX_FILL_TRIM;  // trimming changes no pixel
  k.useModColor = g.useModColor, k.blend = g.blendMode, k.viewW = g.viewW, k.viewH = g.viewH;
  return k;
}

void StateSet(const GfxDrawKey& k, Texture* texture) {
  GfxState& g = *gGfx;
  g.model = k.model, g.viewProj = k.viewProj, g.texTransform = k.texTransform;
  g.modColor = k.modColor, g.useModColor = k.useModColor != 0;
  if (g.blendMode != (BlendMode)k.blend) GfxSetBlendMode((BlendMode)k.blend);
  GfxTextureSet(texture);
}

void DrawWhole(Mesh* mesh) {
  SetBlending(!DrawIsOpaque());
  BindVertexArray(mesh->vertexArray);
  bool lean = (gGfx->fillPaths & GFX_FILL_LEAN_SHADER) && gGfx->currentTexture;
  UseProgram(lean ? gGfx->leanProgram : gGfx->spriteProgram);
  SendSpriteUniforms(lean ? gGfx->lean : gGfx->sprite,
                     lean && !gGfx->useModColor ? 0xFFFFFFFFu : gGfx->modColor);
  GFX_CHECK();
  glDrawArrays(GL_TRIANGLES, 0, (GLsizei)mesh->vertexCount);
  GFX_CHECK();
}

// Under alpha blending a texel of alpha 0 leaves its pixel as it was, so a sprite's quad may be
// cut down to the part of its picture that has any alpha.
GfxTrimResult Trim(Mesh* mesh, Mtx44* model, Mtx33* tex) {
  const GfxState& g = *gGfx;
  if (!(g.fillPaths & GFX_FILL_TRIM) || !g.currentTexture ||
      (g.blendMode != BLEND_ALPHA && g.blendMode != BLEND_ADD_ALPHA))
    return GFX_TRIM_WHOLE;
  auto it = g.meshRegistry.find(mesh);
  if (it == g.meshRegistry.end()) return GFX_TRIM_WHOLE;
  *model = g.model, *tex = g.texTransform;
  return GfxTrim(it->second.quad, g.currentTexture, model, tex);
}

void DrawMesh(Mesh* mesh) {
  Mtx44 model;
  Mtx33 tex;
  GfxTrimResult trim = Trim(mesh, &model, &tex);
  if (trim == GFX_TRIM_NOTHING) return;
  if (trim == GFX_TRIM_PART) std::swap(model, gGfx->model), std::swap(tex, gGfx->texTransform);
  DrawWhole(mesh);
  if (trim == GFX_TRIM_PART) std::swap(model, gGfx->model), std::swap(tex, gGfx->texTransform);
}

}  // namespace

GfxDraw GfxDrawOf(Mesh* mesh) {
  GfxDraw d = {KeyNow(), mesh, gGfx->currentTexture};
  d.key.mesh = mesh->serial;
  return d;
}

void GfxDrawGiven(const GfxDraw& d) { DrawMesh(d.mesh); }

void GfxDrawHeld(const GfxDraw& d) {
  GfxDrawKey was = KeyNow();
  Texture* wasTexture = gGfx->currentTexture;
  StateSet(d.key, d.texture);
  DrawMesh(d.mesh);
  StateSet(was, wasTexture);
}

void GfxMeshDraw(Mesh* mesh) {
  if (!mesh) return;
  // A tint of alpha 0 under alpha blending leaves every pixel as it was (src * 0 + dst * 1), so
  // the software renderer is spared the fill: a lifted curtain still covers the whole screen.
  if (gGfx->useModColor && (gGfx->modColor >> 24) == 0 && gGfx->blendMode == BLEND_ALPHA) return;
  if (gGfx->drawHook) gGfx->drawHook(mesh);
  GfxStillSubmit(GfxDrawOf(mesh));
}

void GfxLineAdd(float x0, float y0, uint32_t c0, float x1, float y1, uint32_t c1) {
  if (gGfx->lineCount + 2 > kMaxLineVertices) return;
  float a[4], b[4];
  ColorToFloats(c0, a);
  ColorToFloats(c1, b);
  gGfx->lines[gGfx->lineCount++] = {x0, y0, 0, a[0], a[1], a[2], a[3]};
  gGfx->lines[gGfx->lineCount++] = {x1, y1, 0, b[0], b[1], b[2], b[3]};
}

void GfxFlushDebugLines() {
  if (gGfx->lineCount == 0) return;
  BindVertexArray(gGfx->lineVao);
  glBindBuffer(GL_ARRAY_BUFFER, gGfx->lineVbo);
  glBufferSubData(GL_ARRAY_BUFFER, 0, gGfx->lineCount * sizeof(LineVertex), gGfx->lines);
  GFX_CHECK();
  GLuint p = gGfx->lineProgram;
  UseProgram(p);
  GFX_CHECK();
  SetUniformMat4(p, "mtxViewProj", gGfx->viewProj, GL_FALSE);
  SetUniformColor(p, 0xFF0000FF);
  SetUniformInt(p, "useModColor", 0);
  glDrawArrays(GL_LINES, 0, (GLsizei)gGfx->lineCount);
  gGfx->lineCount = 0;
}

// Frees every mesh still alive (shut-down walks the live list this way).
void GfxMeshFreeAll() {
  while (!gGfx->liveMeshes.empty()) GfxMeshFree(gGfx->liveMeshes.back());
}
