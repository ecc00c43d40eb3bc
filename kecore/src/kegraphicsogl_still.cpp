// kegraphicsogl_still.cpp - the still layers: the frame after the first draws that did not change
// since the last frame (background, board, lanes, frames), kept in a texture and copied back.
#include <GL/glew.h>

#include <cstring>
#include <vector>

#include "kegraphicsogl_still.h"

namespace {

enum StillMode { SM_Off, SM_Matching, SM_Drawing };

// The picture holds the frame just after its draws `keys`, at its size. A frame whose first
// draws are those keys, at that size, starts from the picture; until it is sure of that, its
// draws are held back. It is taken again where a frame first leaves the one before it.
struct StillState {
  StillMode mode = SM_Off;
  std::vector<GfxDrawKey> keys;       // what the picture holds
  std::vector<GfxDrawKey> last, now;  // the last frame's draws, this frame's so far
  std::vector<GfxDraw> held;          // matching the picture, not drawn yet
  bool nowFilled = false;             // `now` is a whole frame's, to become `last`
  size_t restored = 0;                // draws the picture stood for this frame
  size_t leftLast = SIZE_MAX;         // where this frame first left the last one
  GLuint framebuffer = 0, texture = 0;
  int w = 0, h = 0;
  bool unusable = false;  // a multisampled window, or no complete framebuffer: every frame whole
};
StillState gStill;

bool Same(const GfxDrawKey& a, const GfxDrawKey& b) { return memcmp(&a, &b, sizeof a) == 0; }

void Blit(GLuint from, GLuint to, int w, int h) {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
  glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The frame as drawn so far, which is this frame's first n draws, becomes the picture.
void Take(size_t n) {
  StillState& s = gStill;
  const GfxDrawKey& k = s.now[n - 1];
  if (s.unusable) return;
  if (!s.framebuffer || s.w != k.viewW || s.h != k.viewH) {
    GLint samples = 0;  // a multisampled window could not take the picture back
    glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
    if (samples) {
      s.unusable = true;
      return;
    }
    if (!s.framebuffer) glGenFramebuffers(1, &s.framebuffer), glGenTextures(1, &s.texture);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, k.viewW, k.viewH, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    Texture* current = GfxGetCurrentTexture();
    glBindTexture(GL_TEXTURE_2D, current ? current->textureName : 0);
    glBindFramebuffer(GL_FRAMEBUFFER, s.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, s.texture, 0);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    s.w = k.viewW, s.h = k.viewH;
    s.keys.clear();
    if (!complete) {
      s.unusable = true;
      return;
    }
  }
  Blit(0, s.framebuffer, s.w, s.h);
  s.keys.assign(s.now.begin(), s.now.begin() + (long)n);
}

// Before draw n is drawn: the frame has left the last one here, so what came before is still.
void MaybeTake(size_t n) {
  if (n == gStill.leftLast && n > gStill.restored && n > 0) Take(n);
}

void DrawHeld() {
  StillState& s = gStill;
  for (size_t i = 0; i < s.held.size(); ++i) {
    MaybeTake(i);
    GfxDrawHeld(s.held[i]);
  }
  s.held.clear();
  s.mode = SM_Drawing;
}

}  // namespace

void GfxStillFrameStart() {
  StillState& s = gStill;
  s.held.clear();
  if (!(GfxGetFillPaths() & GFX_FILL_STILL)) {
    s.mode = SM_Off;  // the lists stay as they were, for the next frame that has it on
    return;
  }
  if (s.nowFilled) s.last.swap(s.now);
  s.now.clear();
  s.nowFilled = true;
  s.restored = 0;
  s.leftLast = SIZE_MAX;
  s.mode = s.keys.empty() ? SM_Drawing : SM_Matching;
}

void GfxStillSubmit(const GfxDraw& draw) {
  StillState& s = gStill;
  if (s.mode == SM_Off) return GfxDrawGiven(draw);
  size_t i = s.now.size();
  s.now.push_back(draw.key);
  if (s.leftLast == SIZE_MAX && (i >= s.last.size() || !Same(s.last[i], draw.key))) s.leftLast = i;
  if (s.mode == SM_Matching) {
    if (i < s.keys.size() && Same(s.keys[i], draw.key) && draw.key.viewW == s.w &&
        draw.key.viewH == s.h) {
      s.held.push_back(draw);
      if (i + 1 < s.keys.size()) return;
      Blit(s.framebuffer, 0, s.w, s.h);  // over the clear: the frame as its first draws left it
      s.held.clear();
      s.restored = i + 1;
      s.mode = SM_Drawing;
      return;
    }
    DrawHeld();
  }
  MaybeTake(i);
  GfxDrawGiven(draw);
}

void GfxStillFlush() {
  if (gStill.mode == SM_Matching) DrawHeld();
}

void GfxStillFrameEnd() {
  StillState& s = gStill;
  GfxStillFlush();
  // A frame the same as the last one from end to end is still as a whole.
  if (s.mode == SM_Drawing && s.leftLast == SIZE_MAX && s.now.size() == s.last.size() &&
      s.now.size() > s.restored)
    Take(s.now.size());
  if (s.mode != SM_Off) s.mode = SM_Drawing;  // the overlays are drawn at once
}

void GfxStillFree() {
  StillState& s = gStill;
  if (s.framebuffer) glDeleteFramebuffers(1, &s.framebuffer), glDeleteTextures(1, &s.texture);
  s = StillState();
}
