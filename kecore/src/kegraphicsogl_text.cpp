// kegraphicsogl_text.cpp - text: "data/font.ttf" baked into a glyph atlas with its kerning,
// a textured mesh per string, kept while it is printed frame after frame, printed in a colour.
#include <stb_rect_pack.h>
#include <stb_truetype.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "kegraphics.h"

#include "kelog.h"

namespace {

const char* kFontPath = "data/font.ttf";
const float kPixelHeight = 40.0f;
const int kFirstCode = 32;
const int kEndCode = 197;  // exclusive
const int kGlyphCount = kEndCode - kFirstCode;
const int kMaxAtlasSize = 2048;
const off_t kMaxFontFileSize = 64 << 20;  // far above any real face
const size_t kMaxKeptTexts = 4096;  // a program that never ends a frame still lets them go

struct Glyph {
  int32_t code;
  float x0, y0, x1, y1;  // box around the pen on the baseline, pixels, y up
  float s0, t0, s1, t1;  // atlas coordinates, t from the bottom
  float advance;
  bool drawable;         // false: the face has no glyph for this code
};

}  // namespace

struct FontData {
  float pixelHeight;
  float lineHeight;
  int32_t firstCode, endCode, glyphCount;
  Glyph* glyphs;
  float** kerning;  // [a][b]: extra advance from code 32+a to code 32+b
};

namespace {

// A text printed again is the same mesh, so the still layers see the same draw; a text not
// printed in a frame is freed at its end.
struct KeptText {
  Mesh* mesh;
  const Font* font;
  uint32_t frame;  // the last one that printed it
};
struct TextState {
  std::vector<Font*> live;  // creation order
  std::unordered_map<std::string, KeptText> kept;  // by font, outline and text
  std::string key;  // the key being looked up, its room kept from print to print
  uint32_t frame = 0;
};
TextState gText;

// A folder opens like a file and may claim a size near LONG_MAX: only a regular file of a size
// a font can have is read.
bool ReadWholeFile(const char* path, std::vector<unsigned char>* out) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  struct stat st;
  off_t size = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : 0;
  bool ok = size > 0 && size <= kMaxFontFileSize;
  if (ok) {
    out->resize((size_t)size);
    ok = fread(out->data(), 1, out->size(), f) == out->size();
  }
  fclose(f);
  return ok;
}

// One-pixel gap and no oversampling; codes the face lacks take no room. False when a glyph
// does not fit, so the caller can try a larger atlas.
bool PackAtlas(stbtt_fontinfo& info, int size, uint8_t* coverage, stbtt_packedchar* packed) {
  stbtt_pack_context pc;
  if (!stbtt_PackBegin(&pc, coverage, size, size, 0, 1, nullptr)) return false;
  stbtt_PackSetOversampling(&pc, 1, 1);
  stbtt_PackSetSkipMissingCodepoints(&pc, 1);
  stbtt_pack_range range = {kPixelHeight, kFirstCode, nullptr, kGlyphCount, packed, 0, 0};
  stbrp_rect rects[kGlyphCount];
  int n = stbtt_PackFontRangesGatherRects(&pc, &info, &range, 1, rects);
  stbtt_PackFontRangesPackRects(&pc, rects, n);
  bool fits = true;
  for (int i = 0; i < n; ++i)
    if (rects[i].w && rects[i].h && !rects[i].was_packed) fits = false;
  if (fits) stbtt_PackFontRangesRenderIntoRects(&pc, &info, &range, 1, rects);
  stbtt_PackEnd(&pc);
  return fits;
}

void FillGlyphs(const stbtt_fontinfo& info, float k, int size, const stbtt_packedchar* packed,
                Glyph* glyphs, int* indices) {
  float s = (float)size;
  for (int i = 0; i < kGlyphCount; ++i) {
    int code = kFirstCode + i;
    int index = stbtt_FindGlyphIndex(&info, code);
    int bx0 = 0, by0 = 0, bx1 = 0, by1 = 0, advance = 0, lsb = 0;
    stbtt_GetGlyphBox(&info, index, &bx0, &by0, &bx1, &by1);
    stbtt_GetGlyphHMetrics(&info, index, &advance, &lsb);
    const stbtt_packedchar& p = packed[i];
    glyphs[i] = {code, bx0 * k, by0 * k, bx1 * k, by1 * k,
                 p.x0 / s, 1.0f - p.y1 / s, p.x1 / s, 1.0f - p.y0 / s,
                 advance * k, index != 0};
    indices[i] = index;
  }
}

float** BuildKerning(const stbtt_fontinfo& info, float k, const int* indices) {
  float** rows = (float**)calloc(kGlyphCount, sizeof(float*));
  for (int a = 0; a < kGlyphCount; ++a) {
    rows[a] = (float*)calloc(kGlyphCount, sizeof(float));
    if (!indices[a]) continue;
    for (int b = 0; b < kGlyphCount; ++b)
      if (indices[b]) rows[a][b] = stbtt_GetGlyphKernAdvance(&info, indices[a], indices[b]) * k;
  }
  return rows;
}

// Coverage in every channel, so the print colour is the text colour and its alpha the edge.
Texture* MakeAtlasTexture(const uint8_t* coverage, int size) {
  std::vector<uint8_t> rgba((size_t)size * size * 4);
  for (int y = 0; y < size; ++y) {
    uint8_t* dst = &rgba[(size_t)(size - 1 - y) * size * 4];
    const uint8_t* src = &coverage[(size_t)y * size];
    for (int x = 0; x < size; ++x) memset(dst + x * 4, src[x], 4);
  }
  Texture* t = GfxTextureCreate(size, size, rgba.data());
  snprintf(t->name, sizeof t->name, "%s", kFontPath);
  return t;
}

uint32_t ReadBigEndian32(const unsigned char* p) {
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// stb_truetype trusts the table directory; a cut-off file would send it past the buffer.
bool TablesInsideFile(const std::vector<unsigned char>& ttf, int offset) {
  size_t size = ttf.size(), start = (size_t)offset;
  if (start + 12 > size) return false;
  size_t tables = (size_t)ttf[start + 4] << 8 | ttf[start + 5];
  if (start + 12 + tables * 16 > size) return false;
  for (size_t i = 0; i < tables; ++i) {
    const unsigned char* entry = &ttf[start + 12 + i * 16];
    uint64_t end = (uint64_t)ReadBigEndian32(entry + 8) + ReadBigEndian32(entry + 12);
    if (end > size) return false;
  }
  return true;
}

// Wide faces do not fit the usual atlas at 40 pixels; rather than lose letters, the atlas
// doubles until every glyph has its place.
bool PackGrowing(stbtt_fontinfo& info, int* size, std::vector<uint8_t>* coverage,
                 stbtt_packedchar* packed) {
  for (; *size <= kMaxAtlasSize; *size *= 2) {
    coverage->assign((size_t)*size * *size, 0);
    memset(packed, 0, sizeof(stbtt_packedchar) * kGlyphCount);
    if (PackAtlas(info, *size, coverage->data(), packed)) return true;
  }
  return false;
}

FontData* BakeFont(const std::vector<unsigned char>& ttf, int size, Texture** atlas) {
  stbtt_fontinfo info = {};
  if (ttf.size() < 12) return nullptr;  // shorter than a font header
  int offset = stbtt_GetFontOffsetForIndex(ttf.data(), 0);
  if (offset < 0 || !TablesInsideFile(ttf, offset)) return nullptr;
  if (!stbtt_InitFont(&info, ttf.data(), offset)) return nullptr;
  int ascent = 0, descent = 0, lineGap = 0;
  stbtt_GetFontVMetrics(&info, &ascent, &descent, &lineGap);
  if (ascent - descent <= 0) return nullptr;
  float k = kPixelHeight / (float)(ascent - descent);
  std::vector<uint8_t> coverage;
  stbtt_packedchar packed[kGlyphCount];
  if (!PackGrowing(info, &size, &coverage, packed)) return nullptr;

  FontData* fd = (FontData*)calloc(1, sizeof(FontData));
  fd->pixelHeight = kPixelHeight;
  fd->lineHeight = ascent * k - descent * k + lineGap * k;
  fd->firstCode = kFirstCode;
  fd->endCode = kEndCode;
  fd->glyphCount = kGlyphCount;
  fd->glyphs = (Glyph*)calloc(kGlyphCount, sizeof(Glyph));
  int indices[kGlyphCount];
  FillGlyphs(info, k, size, packed, fd->glyphs, indices);
  fd->kerning = BuildKerning(info, k, indices);
  *atlas = MakeAtlasTexture(coverage.data(), size);
  return fd;
}

void FreeFontData(FontData* fd) {
  if (!fd) return;
  for (int a = 0; a < fd->glyphCount; ++a) free(fd->kerning[a]);
  free(fd->kerning);
  free(fd->glyphs);
  free(fd);
}

// Codes are bytes; anything outside the baked range, or that the face lacks, has no glyph.
const Glyph* FindGlyph(const FontData* fd, unsigned char c) {
  if (c < fd->firstCode || c >= fd->endCode) return nullptr;
  const Glyph* g = &fd->glyphs[c - fd->firstCode];
  return g->drawable ? g : nullptr;
}

// Lays the text out: each glyph with its pen position on its baseline, lines going down.
template <typename Fn>
void LayOut(const FontData* fd, const char* text, Fn&& glyphAt) {
  float penX = 0, penY = 0;
  for (const unsigned char* p = (const unsigned char*)text; *p; ++p) {
    if (*p == '\n') {
      penY -= fd->lineHeight;
      penX = 0;
      continue;
    }
    const Glyph* g = FindGlyph(fd, *p);
    if (!g) continue;
    glyphAt(*g, penX, penY);
    penX += g->advance;
    const Glyph* next = FindGlyph(fd, p[1]);
    if (next) penX += fd->kerning[g - fd->glyphs][next - fd->glyphs];
  }
}

void AddGlyphQuad(const Glyph& g, float penX, float penY) {
  float x0 = penX + g.x0, y0 = penY + g.y0, x1 = penX + g.x1, y1 = penY + g.y1;
  GfxTriAdd(x0, y1, 0, g.s0, g.t1, x0, y0, 0, g.s0, g.t0, x1, y0, 0, g.s1, g.t0);
  GfxTriAdd(x0, y1, 0, g.s0, g.t1, x1, y0, 0, g.s1, g.t0, x1, y1, 0, g.s1, g.t1);
}

}  // namespace

Font* GfxFontCreate(float scale) {
  int size = (int)(scale * 256);
  if (size <= 0) {
    LogPrint("[gfx] font atlas scale %g gives no pixels\n", (double)scale);
    return nullptr;
  }
  std::vector<unsigned char> ttf;
  if (!ReadWholeFile(kFontPath, &ttf)) {
    LogPrint("[gfx] cannot read %s\n", kFontPath);
    return nullptr;
  }
  Texture* atlas = nullptr;
  FontData* fd = BakeFont(ttf, size, &atlas);
  if (!fd) {
    LogPrint("[gfx] %s is not a TrueType font\n", kFontPath);
    return nullptr;
  }
  Font* font = (Font*)calloc(1, sizeof(Font));
  snprintf(font->name, sizeof font->name, "%s", kFontPath);
  font->size = (int32_t)kPixelHeight;
  font->fontData = fd;
  font->texture = atlas;
  gText.live.push_back(font);
  return font;
}

namespace {

// Frees the kept texts of a font (null: of every font), or only those this frame has not printed.
void KeptFree(const Font* font, bool notThisFrame) {
  for (auto it = gText.kept.begin(); it != gText.kept.end();) {
    const KeptText& t = it->second;
    if ((font && t.font != font) || (notThisFrame && t.frame == gText.frame)) {
      ++it;
      continue;
    }
    GfxMeshFree(t.mesh);
    it = gText.kept.erase(it);
  }
}

}  // namespace

void GfxTextFrameEnd() {
  KeptFree(nullptr, true);
  ++gText.frame;
}

void GfxTextKeptFree() { KeptFree(nullptr, false); }

int GfxTextKeptCount() {
  int n = 0;  // an empty text has no mesh
  for (const auto& k : gText.kept) n += k.second.mesh != nullptr;
  return n;
}

void GfxFontFree(Font* font) {
  if (!font) return;
  KeptFree(font, false);
  GfxTextureUnload(font->texture);
  FreeFontData(font->fontData);
  std::vector<Font*>& live = gText.live;
  for (size_t i = live.size(); i-- > 0;)
    if (live[i] == font) live.erase(live.begin() + (long)i);
  free(font);
}

int GfxFontLiveCount() {
  return (int)gText.live.size();
}

void GfxFontFreeAll() {
  while (!gText.live.empty()) GfxFontFree(gText.live.back());
}

Mesh* GfxTextMeshBuild(Font* font, const char* text) {
  if (!font || !font->fontData || !text) return nullptr;
  GfxMeshStart();
  LayOut(font->fontData, text, AddGlyphQuad);
  return GfxMeshEnd(nullptr);
}

float GfxTextWidth(Font* font, const char* text) {
  if (!font || !font->fontData || !text) return 0;
  float width = 0;
  LayOut(font->fontData, text, [&width](const Glyph& g, float penX, float) {
    if (g.x1 > g.x0 && penX + g.x1 > width) width = penX + g.x1;  // blanks leave no mark
  });
  return width;
}

namespace {

// Draws a text mesh in a colour with the current model transform, leaving the modulation,
// texture and texture transform as they were.
void DrawTextMesh(Font* font, Mesh* mesh, uint32_t argb) {
  bool useMod = GfxGetUseModColor();
  uint32_t mod = GfxGetModColor();
  Texture* texture = GfxGetCurrentTexture();
  Mtx33 texTransform = GfxGetTextureTransform();
  GfxSetUseModColor(true);
  GfxSetModColor(argb);
  GfxTextureSet(font->texture);
  Mtx33 identity;
  MathMtx33Identity(identity);
  GfxSetTextureTransform(identity);
  GfxMeshDraw(mesh);
  GfxSetUseModColor(useMod);
  GfxSetModColor(mod);
  GfxTextureSet(texture);
  GfxSetTextureTransform(texTransform);
}

// Eight copies of the text around its place, one mesh for the whole outline.
Mesh* OutlineMeshBuild(Font* font, const char* text, float d) {
  GfxMeshStart();
  const float dirs[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {0.7f, 0.7f}, {-0.7f, 0.7f},
                            {0.7f, -0.7f}, {-0.7f, -0.7f}};
  for (const auto& dir : dirs)
    LayOut(font->fontData, text, [&](const Glyph& g, float penX, float penY) {
      AddGlyphQuad(g, penX + dir[0] * d, penY + dir[1] * d);
    });
  return GfxMeshEnd(nullptr);
}

// The text's mesh, or its outline's at a thickness, made at its first print.
Mesh* KeptMesh(Font* font, const char* text, bool outlined, float thickness = 0) {
  std::string& key = gText.key;
  key.assign((const char*)&font, sizeof font).push_back(outlined ? 'o' : 't');
  if (outlined) key.append((const char*)&thickness, sizeof thickness);
  key.append(text);
  auto it = gText.kept.find(key);
  if (it != gText.kept.end()) {
    it->second.frame = gText.frame;
    return it->second.mesh;
  }
  if (gText.kept.size() >= kMaxKeptTexts) KeptFree(nullptr, false);
  Mesh* mesh = outlined ? OutlineMeshBuild(font, text, thickness) : GfxTextMeshBuild(font, text);
  gText.kept[key] = {mesh, font, gText.frame};
  return mesh;
}

}  // namespace

void GfxPrint(Font* font, const char* text, uint32_t argb) {
  if (!font || !text) return;
  DrawTextMesh(font, KeptMesh(font, text, false), argb);
}

void GfxPrintOutlined(Font* font, const char* text, uint32_t argb, uint32_t outlineArgb,
                      float thickness) {
  if (!font || !font->fontData || !text) return;
  DrawTextMesh(font, KeptMesh(font, text, true, thickness), outlineArgb);
  DrawTextMesh(font, KeptMesh(font, text, false), argb);
}
