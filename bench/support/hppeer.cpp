// hppeer.cpp - the SDL_Renderer peer: each frame's draws captured through the renderer's draw hook
// (vertices read back from the mesh's buffer, pictures from their textures) and replayed with
// SDL_RenderGeometry, which draws the same triangles SDL_RenderCopyEx would.
#include "hppeer.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#include <unordered_map>
#include <vector>

#include "hpbench.h"
#include "kegraphics.h"

namespace {

struct Picture {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;  // OpenGL's row order: row 0 is where v = 0, as in SDL
  SDL_Texture* sdl = nullptr;
};

// What the hook keeps of a draw; the sums that give the screen's vertices wait for the replay.
struct Draw {
  int picture = -1;
  BlendMode blend = BLEND_ALPHA;
  uint32_t tint = 0xFFFFFFFFu;
  int mesh = -1;  // its vertices in the frame's store
  Mtx44 viewProj, model;
  Mtx33 texture;
  GLint view[4];
};

struct Peer {
  std::unordered_map<const Texture*, int> pictureOf;
  // The frame's mesh vertices. Named meshes (the shared quads) live across frames and are read
  // once a frame; unnamed ones (text) are made and freed around a single draw, read at each.
  std::vector<std::vector<float>> meshes;
  std::unordered_map<const Mesh*, int> namedMesh;
  std::vector<std::vector<SDL_Vertex>> screen;  // each draw's vertices on screen, for the replay
  std::vector<Picture> pictures;
  std::vector<Draw> draws;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Window* gameWindow = nullptr;
  SDL_GLContext gameContext = nullptr;
  bool shot = true;  // the next replay is the first
  double hookWall = 0;  // what recording cost, taken out of our frame's figures
  int frames = 0, drawsReplayed = 0;
};
Peer gPeer;

int PictureOf(const Texture* t) {
  auto it = gPeer.pictureOf.find(t);
  if (it != gPeer.pictureOf.end()) return it->second;
  Picture p;
  p.w = t->width;
  p.h = t->height;
  p.rgba.resize((size_t)p.w * p.h * 4);
  glBindTexture(GL_TEXTURE_2D, t->textureName);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
  Texture* current = GfxGetCurrentTexture();
  glBindTexture(GL_TEXTURE_2D, current ? current->textureName : 0);
  gPeer.pictures.push_back(std::move(p));
  return gPeer.pictureOf[t] = (int)gPeer.pictures.size() - 1;
}

// The mesh's vertices as the sprite program stores them: x y z, r g b a, u v.
std::vector<float> MeshVertices(const Mesh* mesh) {
  std::vector<float> v((size_t)mesh->vertexCount * 9);
  GLint vao = 0, vbo = 0;
  glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
  glBindVertexArray(mesh->vertexArray);
  glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &vbo);
  glBindBuffer(GL_ARRAY_BUFFER, (GLuint)vbo);
  glGetBufferSubData(GL_ARRAY_BUFFER, 0, (GLsizeiptr)(v.size() * sizeof(float)), v.data());
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray((GLuint)vao);
  return v;
}

int MeshIndex(const Mesh* mesh) {
  bool named = strncmp(mesh->name, "Mesh", 4) != 0;
  if (named) {
    auto it = gPeer.namedMesh.find(mesh);
    if (it != gPeer.namedMesh.end()) return it->second;
  }
  gPeer.meshes.push_back(MeshVertices(mesh));
  int i = (int)gPeer.meshes.size() - 1;
  if (named) gPeer.namedMesh[mesh] = i;
  return i;
}

// Kept as it is; the hook's own time is taken out of our frame (no clock but the wall's, whose
// reading costs nothing: the game's thread runs alone while it submits).
void RecordDraw(const Mesh* mesh) {
  double w0 = BenchWall();
  Draw d;
  d.blend = GfxGetBlendMode();
  if (GfxGetCurrentTexture()) d.picture = PictureOf(GfxGetCurrentTexture());
  if (GfxGetUseModColor()) d.tint = GfxGetModColor();
  d.mesh = MeshIndex(mesh);
  d.viewProj = GfxGetViewProjection();
  d.model = GfxGetModelTransform();
  d.texture = GfxGetTextureTransform();
  glGetIntegerv(GL_VIEWPORT, d.view);
  gPeer.draws.push_back(d);
  gPeer.hookWall += BenchWall() - w0;
}

uint8_t Channel(uint32_t argb, int shift) { return (uint8_t)((argb >> shift) & 0xFF); }

// The sprite program's sums: clip = viewProj (as uploaded) * model (transposed) * position;
// uv = texture matrix (transposed) * (u, v, 1).
void ScreenVertices(const Draw& d, std::vector<SDL_Vertex>& out) {
  const Mtx44 &vp = d.viewProj, &m = d.model;
  const Mtx33& t = d.texture;
  const std::vector<float>& v = gPeer.meshes[(size_t)d.mesh];
  bool textured = d.picture >= 0;
  out.clear();
  for (size_t i = 0; i + 9 <= v.size(); i += 9) {
    float p[4] = {v[i], v[i + 1], v[i + 2], 1}, w[4], c[4];
    for (int r = 0; r < 4; ++r) w[r] = m.m[r][0] * p[0] + m.m[r][1] * p[1] + m.m[r][2] * p[2] + m.m[r][3];
    for (int r = 0; r < 4; ++r)
      c[r] = vp.m[0][r] * w[0] + vp.m[1][r] * w[1] + vp.m[2][r] * w[2] + vp.m[3][r] * w[3];
    SDL_Vertex sv;
    sv.position.x = (c[0] / c[3] + 1) * 0.5f * (float)d.view[2];
    sv.position.y = (1 - c[1] / c[3]) * 0.5f * (float)d.view[3];
    sv.tex_coord.x = t.m[0][0] * v[i + 7] + t.m[0][1] * v[i + 8] + t.m[0][2];
    sv.tex_coord.y = t.m[1][0] * v[i + 7] + t.m[1][1] * v[i + 8] + t.m[1][2];
    sv.color.r = (uint8_t)(Channel(d.tint, 16) * (textured ? 1 : v[i + 3]));
    sv.color.g = (uint8_t)(Channel(d.tint, 8) * (textured ? 1 : v[i + 4]));
    sv.color.b = (uint8_t)(Channel(d.tint, 0) * (textured ? 1 : v[i + 5]));
    sv.color.a = (uint8_t)(Channel(d.tint, 24) * (textured ? 1 : v[i + 6]));
    out.push_back(sv);
  }
}

// Pictures first seen in the last recorded frame get their SDL textures.
void UploadNewPictures() {
  for (Picture& p : gPeer.pictures) {
    if (p.sdl) continue;
    p.sdl = SDL_CreateTexture(gPeer.renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, p.w, p.h);
    SDL_UpdateTexture(p.sdl, nullptr, p.rgba.data(), p.w * 4);
    SDL_SetTextureScaleMode(p.sdl, SDL_ScaleModeLinear);
  }
}

// Our blend modes as SDL blend modes with the same factors.
SDL_BlendMode SdlBlend(BlendMode b) {
  auto mode = [](SDL_BlendFactor src, SDL_BlendFactor dst, SDL_BlendFactor srcA,
                 SDL_BlendFactor dstA) {
    return SDL_ComposeCustomBlendMode(src, dst, SDL_BLENDOPERATION_ADD, srcA, dstA,
                                      SDL_BLENDOPERATION_ADD);
  };
  switch (b) {
    case BLEND_NONE: return SDL_BLENDMODE_NONE;
    case BLEND_ADD: return mode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE);
    case BLEND_ADD_ALPHA:
      return mode(SDL_BLENDFACTOR_SRC_ALPHA, SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_SRC_ALPHA,
                  SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA);
    case BLEND_MULTIPLY: return mode(SDL_BLENDFACTOR_DST_COLOR, SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_DST_COLOR, SDL_BLENDFACTOR_ZERO);
    default: return SDL_BLENDMODE_BLEND;
  }
}

// HP_BENCH_PEER_SHOT=file.png keeps the peer's first replay, to compare with our own picture.
void SaveShot() {
  gPeer.shot = false;
  const char* path = getenv("HP_BENCH_PEER_SHOT");
  if (!path) return;
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(gPeer.renderer, &w, &h);
  std::vector<uint8_t> rgba((size_t)w * h * 4);
  SDL_RenderReadPixels(gPeer.renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, rgba.data(), w * 4);
  stbi_write_png(path, w, h, 4, rgba.data(), w * 4);
}

void Restore() { SDL_GL_MakeCurrent(gPeer.gameWindow, gPeer.gameContext); }



}  // namespace

// SDL_Renderer's OpenGL back end asks for a 2.1 context, which the game's core-profile,
// forward-compatible attributes would refuse; they are put back once the peer has its window.
void WithRendererAttributes(int w, int h) {
  const SDL_GLattr kept[] = {SDL_GL_CONTEXT_MAJOR_VERSION, SDL_GL_CONTEXT_MINOR_VERSION,
                             SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_FLAGS};
  const int peer[] = {2, 1, 0, 0};
  int was[4];
  for (int i = 0; i < 4; ++i) {
    SDL_GL_GetAttribute(kept[i], &was[i]);
    SDL_GL_SetAttribute(kept[i], peer[i]);
  }
  gPeer.window = SDL_CreateWindow("SDL_Renderer peer", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  if (gPeer.window) gPeer.renderer = SDL_CreateRenderer(gPeer.window, -1, SDL_RENDERER_ACCELERATED);
  for (int i = 0; i < 4; ++i) SDL_GL_SetAttribute(kept[i], was[i]);
}

bool PeerOpen(bool fullscreen) {
  int w = fullscreen ? 1920 : 800, h = fullscreen ? 1080 : 600;
  gPeer.gameWindow = SDL_GL_GetCurrentWindow();
  gPeer.gameContext = SDL_GL_GetCurrentContext();
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
  SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
  WithRendererAttributes(w, h);
  if (!gPeer.renderer) {
    fprintf(stderr, "[bench] no SDL_Renderer peer: %s\n", SDL_GetError());
    PeerClose();
    return false;
  }
  static bool told = false;
  SDL_RendererInfo info;
  if (!told && SDL_GetRendererInfo(gPeer.renderer, &info) == 0) {
    told = true;
    printf("Peer: SDL_Renderer \"%s\"\n", info.name);
  }
  gPeer.shot = true;
  gPeer.frames = gPeer.drawsReplayed = 0;
  Restore();
  return true;
}

bool PeerFrame(bool (*frame)(), double* wall, double* cpu) {
  bool recording = gPeer.renderer != nullptr;
  if (recording) {
    gPeer.draws.clear();
    gPeer.meshes.clear();
    gPeer.namedMesh.clear();
    GfxSetMeshDrawHook(RecordDraw);
  }
  gPeer.hookWall = 0;
  double w0 = BenchWall(), c0 = BenchProcessCpu();
  bool ok = frame();
  *wall += BenchWall() - w0 - gPeer.hookWall;
  *cpu += BenchProcessCpu() - c0 - gPeer.hookWall;
  if (recording) GfxSetMeshDrawHook(nullptr);
  return ok;
}

double PeerReplay(double* cpu) {
  UploadNewPictures();
  gPeer.screen.resize(gPeer.draws.size());
  for (size_t i = 0; i < gPeer.draws.size(); ++i) ScreenVertices(gPeer.draws[i], gPeer.screen[i]);
  gPeer.drawsReplayed += (int)gPeer.draws.size();
  ++gPeer.frames;
  double w0 = BenchWall(), c0 = BenchProcessCpu();
  SDL_Renderer* r = gPeer.renderer;
  SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
  SDL_RenderClear(r);
  for (size_t i = 0; i < gPeer.draws.size(); ++i) {
    const Draw& d = gPeer.draws[i];
    const std::vector<SDL_Vertex>& v = gPeer.screen[i];
    SDL_Texture* t = d.picture >= 0 ? gPeer.pictures[(size_t)d.picture].sdl : nullptr;
    if (t) SDL_SetTextureBlendMode(t, SdlBlend(d.blend));
    else SDL_SetRenderDrawBlendMode(r, SdlBlend(d.blend));
    SDL_RenderGeometry(r, t, v.data(), (int)v.size(), nullptr, 0);
  }
  double shot = 0;
  if (gPeer.shot) {  // before the swap, which leaves the back buffer undefined; not timed
    double s0 = BenchWall();
    SaveShot();
    shot = BenchWall() - s0;
  }
  SDL_RenderPresent(r);
  double w = BenchWall() - w0 - shot;
  if (cpu) *cpu += BenchProcessCpu() - c0;
  Restore();
  return w;
}

double PeerRecordingSeconds() { return gPeer.hookWall; }

double PeerDrawsPerFrame() { return gPeer.frames ? (double)gPeer.drawsReplayed / gPeer.frames : 0; }

void PeerCompare(benchmark::State& state, bool (*frame)(), bool peer) {
  double ours = 0, oursCpu = 0, sdl = 0, sdlCpu = 0;
  for (auto _ : state) {
    PeerFrame(frame, &ours, &oursCpu);
    if (!peer) continue;
    state.PauseTiming();
    sdl += PeerReplay(&sdlCpu);
    state.ResumeTiming();
  }
  double n = (double)state.iterations();
  state.counters["wall_ms"] = ours / n * 1e3;
  state.counters["cpu_ms"] = oursCpu / n * 1e3;
  if (!peer) return;
  state.counters["sdl_ms"] = sdl / n * 1e3;
  state.counters["vs_sdl"] = ours / sdl;
  state.counters["vs_sdl_cpu"] = oursCpu / sdlCpu;  // steadier than wall on a busy machine
  state.counters["sdl_draws"] = PeerDrawsPerFrame();
}

void PeerClose() {
  for (Picture& p : gPeer.pictures) {
    if (p.sdl) SDL_DestroyTexture(p.sdl);
    p.sdl = nullptr;
  }
  if (gPeer.renderer) SDL_DestroyRenderer(gPeer.renderer);
  if (gPeer.window) SDL_DestroyWindow(gPeer.window);
  gPeer.renderer = nullptr;
  gPeer.window = nullptr;
  gPeer.pictures.clear();
  gPeer.pictureOf.clear();
  Restore();
}
