// kegraphicsogl_texture.cpp - textures from PNG files and from memory, and the accounting of
// every live graphics resource with the leak report at shut-down.
#include <GL/glew.h>
#include <dirent.h>
#include <stb_image.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "kegraphics.h"
#include "kegraphicsogl_still.h"
#include "kegraphicsogl_trim.h"
#include "kelog.h"
#include "keos.h"

#define GFX_CHECK() GfxCheckError(__LINE__)

namespace {

const size_t kMaxPathLength = 255;

struct TextureState {
  std::vector<Texture*> live;  // creation order; its size names the next "Texture%i"
  std::unordered_set<GLuint> opaque;  // names of textures with no transparent pixel
  bool sizesOnly = false;
  uint32_t serials = 0;  // the last one given
};
TextureState gTex;

// The data folder was first made on a file system that ignores case, so its names do not
// always match the code's spelling: "data/Arrow2.png" has to find "data/arrow2.png".
FILE* OpenIgnoringCase(const char* path) {
  FILE* f = fopen(path, "rb");
  if (f) return f;
  const char* slash = strrchr(path, '/');
  std::string dir = slash ? std::string(path, (size_t)(slash - path)) : ".";
  const char* name = slash ? slash + 1 : path;
  if (dir.empty()) dir = "/";
  DIR* d = opendir(dir.c_str());
  if (!d) return nullptr;
  std::string found;
  for (dirent* e = readdir(d); e; e = readdir(d)) {
    if (strcasecmp(e->d_name, name) == 0) {
      found = dir + "/" + e->d_name;
      break;
    }
  }
  closedir(d);
  return found.empty() ? nullptr : fopen(found.c_str(), "rb");
}

// Upload into a new texture object, leaving the binding the renderer believes in untouched.
GLuint UploadRgba(int32_t w, int32_t h, const uint8_t* rgba) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  GFX_CHECK();
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  GFX_CHECK();
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // Otherwise a later GfxTextureSet of the current texture would be skipped as a repeat.
  Texture* current = GfxGetCurrentTexture();
  glBindTexture(GL_TEXTURE_2D, current ? current->textureName : 0);
  return name;
}

bool AllOpaque(const uint8_t* rgba, int32_t w, int32_t h) {
  if (!rgba) return false;
  const uint64_t alpha = 0xFF000000FF000000ull;  // two texels' alpha bytes, little-endian
  size_t n = (size_t)w * (size_t)h * 4, i = 0;
  for (; i + 8 <= n; i += 8) {  // two texels at a time: this pass is part of every picture's load
    uint64_t q;
    memcpy(&q, rgba + i, 8);
    if ((q & alpha) != alpha) return false;
  }
  return i == n || rgba[i + 3] == 255;
}

Texture* AddLive(GLuint name, int32_t w, int32_t h, const uint8_t* rgba, Texture* t) {
  bool opaque = AllOpaque(rgba, w, h);
  if (opaque) gTex.opaque.insert(name);
  t->textureName = name;
  t->width = w;
  t->height = h;
  t->serial = ++gTex.serials;
  if (!opaque) GfxTrimTextureAdd(t, rgba);
  gTex.live.push_back(t);
  return t;
}

// A record with the picture's size and no texture object behind it (name 0, which GL ignores).
Texture* LoadSizeOnly(FILE* f, const char* path) {
  int w = 0, h = 0, channels = 0;
  bool read = stbi_info_from_file(f, &w, &h, &channels) != 0;
  fclose(f);
  if (!read) {
    LogPrint("[gfx] cannot decode picture %s: %s\n", path, stbi_failure_reason());
    return nullptr;
  }
  Texture* t = (Texture*)calloc(1, sizeof(Texture));
  snprintf(t->name, sizeof t->name, "%s", path);
  return AddLive(0, w, h, nullptr, t);
}

}  // namespace

void GfxTextureSetSizesOnly(bool on) {
  gTex.sizesOnly = on;
}

Texture* GfxTextureLoad(const char* path) {
  if (!path || strlen(path) > kMaxPathLength) {
    LogPrint("[gfx] picture path too long or missing\n");
    return nullptr;
  }
  FILE* f = OpenIgnoringCase(path);
  if (!f) {
    LogPrint("[gfx] cannot open picture %s\n", path);
    return nullptr;
  }
  if (gTex.sizesOnly) return LoadSizeOnly(f, path);
  int w = 0, h = 0, channels = 0;
  // Pictures are stored top row first and OpenGL wants the bottom row first: stb flips the rows
  // in place as it decodes (a flipped copy was one more block of megabytes per picture, and such
  // blocks, freed, leave holes in the heap that stay resident). Off again for other callers.
  stbi_set_flip_vertically_on_load(1);
  uint8_t* pixels = stbi_load_from_file(f, &w, &h, &channels, 4);
  stbi_set_flip_vertically_on_load(0);
  fclose(f);
  if (!pixels) {
    LogPrint("[gfx] cannot decode picture %s: %s\n", path, stbi_failure_reason());
    return nullptr;
  }
  Texture* t = (Texture*)calloc(1, sizeof(Texture));
  snprintf(t->name, sizeof t->name, "%s", path);
  GLuint name = UploadRgba(w, h, pixels);
  Texture* added = AddLive(name, w, h, pixels, t);
  stbi_image_free(pixels);
  return added;
}

Texture* GfxTextureCreate(int32_t width, int32_t height, const uint8_t* rgba) {
  Texture* t = (Texture*)calloc(1, sizeof(Texture));
  snprintf(t->name, sizeof t->name, "Texture%i", (int)gTex.live.size());
  return AddLive(UploadRgba(width, height, rgba), width, height, rgba, t);
}

void GfxTextureUnload(Texture* texture) {
  if (!texture) return;
  GfxStillFlush();  // draws held back may still need it
  // A freed record's address can come back for the next texture; it must not look current.
  if (GfxGetCurrentTexture() == texture) GfxTextureSet(nullptr);
  gTex.opaque.erase(texture->textureName);
  GfxTrimTextureRemove(texture);
  glDeleteTextures(1, &texture->textureName);
  std::vector<Texture*>& live = gTex.live;
  for (size_t i = live.size(); i-- > 0;)
    if (live[i] == texture) live.erase(live.begin() + (long)i);
  free(texture);
}

int GfxTextureLiveCount() {
  return (int)gTex.live.size();
}

bool GfxTextureIsOpaque(const Texture* texture) {
  return texture && gTex.opaque.count(texture->textureName) != 0;
}

bool GfxReleaseAll() {
  GfxTextKeptFree();  // the renderer's own, not the game's to free
  int textures = GfxTextureLiveCount(), meshes = GfxMeshLiveCount();
  int fonts = GfxFontLiveCount();
  // The report keeps its line for render textures, which this renderer never makes.
  const int targets = 0;
  bool leaked = textures || meshes || fonts;
  if (leaked) {
    char text[512];
    snprintf(text, sizeof text,
             "NOT ALL RESOURCES HAVE BEEN RELEASED!\n"
             "\t\t\t\t\t\t  Remaining Textures = %i\n"
             "\t\t\t\t\t\t  Remaining Triangle Meshes = %i\n"
             "\t\t\t\t\t\t  Remaining Fonts = %i\n"
             "\t\t\t\t\t\t  Remaining Render Textures = %i\n",
             textures, meshes, fonts, targets);
    OsMessageBox(text, "ERROR", OS_MB_ICONEXCLAMATION);
  }
  GfxMeshFreeAll();
  // Fonts before the loose textures: a font's atlas is in the texture list too, and freeing
  // the font unloads it, so the other order would free the atlas twice.
  GfxFontFreeAll();
  while (!gTex.live.empty()) GfxTextureUnload(gTex.live.back());
  return !leaked;
}
