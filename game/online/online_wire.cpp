// online_wire.cpp - encoding and checked decoding of the online packets: numbers as variable-length
// integers, presses as runs of equal values (a frame's presses rarely differ from the last one's).
#include "online/online_wire.h"

namespace {

struct Writer {
  uint8_t* at;
  uint8_t* end;
  bool ok = true;

  void Byte(uint8_t b) {
    if (at == end) ok = false;
    else *at++ = b;
  }
  void Number(uint32_t v) {
    while (v >= 0x80) {
      Byte((uint8_t)(v | 0x80));
      v >>= 7;
    }
    Byte((uint8_t)v);
  }
};

struct Reader {
  const uint8_t* at;
  const uint8_t* end;
  bool ok = true;

  uint8_t Byte() {
    if (at == end) {
      ok = false;
      return 0;
    }
    return *at++;
  }
  // At most five bytes, nothing above 32 bits, and no longer than needed (one number, one
  // spelling: a packet cannot smuggle bytes past the checks).
  uint32_t Number() {
    uint32_t v = 0;
    for (int i = 0; i < 5; ++i) {
      uint8_t b = Byte();
      if (i == 4 && b > 0x0F) ok = false;
      if (i > 0 && b == 0) ok = false;
      v |= (uint32_t)(b & 0x7F) << (7 * i);
      if (!(b & 0x80)) return v;
    }
    ok = false;
    return 0;
  }
  uint32_t Fixed() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= (uint32_t)Byte() << (8 * i);
    return v;
  }
};

void WriteFixed(Writer& w, uint32_t v) {
  for (int i = 0; i < 4; ++i) w.Byte((uint8_t)(v >> (8 * i)));
}

uint32_t ZigZag(int16_t v) { return ((uint32_t)(int32_t)v << 1) ^ (uint32_t)((int32_t)v >> 31); }
int16_t UnZigZag(uint32_t v) { return (int16_t)((int32_t)(v >> 1) ^ -(int32_t)(v & 1)); }

bool ValidMessage(const WireMessage& m) {
  switch (m.type) {
    case WIRE_Input:
      if (m.count > kWireMaxInputs || (m.flags & ~kWireAway)) return false;
      for (int i = 0; i < m.count; ++i)
        if (m.inputs[i] & ~kWireInputMask) return false;
      return true;
    case WIRE_Setup: return m.value >= 1 && m.value <= kWireMaxDelay;
    case WIRE_Bye: return m.value >= BYE_Quit && m.value < BYE_Count;
    case WIRE_Ready: case WIRE_Ping: case WIRE_Pong: case WIRE_Hash: return true;
    default: return false;
  }
}

void WriteInputs(Writer& w, const WireMessage& m) {
  w.Number(m.frame);
  w.Number(m.count);
  for (int i = 0; i < m.count;) {
    int run = 1;
    while (i + run < m.count && m.inputs[i + run] == m.inputs[i]) ++run;
    w.Number((uint32_t)run);
    w.Number(m.inputs[i]);
    i += run;
  }
  w.Number(m.ack);
  w.Number(m.next);
  w.Number(ZigZag(m.earliness));
  w.Byte(m.flags);
}

void ReadInputs(Reader& r, WireMessage* m) {
  m->frame = r.Number();
  uint32_t count = r.Number();
  if (count > (uint32_t)kWireMaxInputs) {
    r.ok = false;
    return;
  }
  m->count = (uint16_t)count;
  // Runs are as long as they can be: two neighbours never hold the same value.
  for (uint32_t i = 0; i < count && r.ok;) {
    uint32_t run = r.Number(), value = r.Number();
    if (run == 0 || run > count - i || (i > 0 && m->inputs[i - 1] == value)) {
      r.ok = false;
      return;
    }
    for (uint32_t k = 0; k < run; ++k) m->inputs[i++] = value;
  }
  m->ack = r.Number();
  m->next = r.Number();
  uint32_t earliness = r.Number();
  if (earliness > 0xFFFF) r.ok = false;
  m->earliness = UnZigZag(earliness);
  m->flags = r.Byte();
}

}  // namespace

size_t WireEncode(const WireMessage& m, uint8_t* out, size_t capacity) {
  if (!ValidMessage(m)) return 0;
  Writer w{out, out + capacity};
  w.Byte(m.type);
  switch (m.type) {
    case WIRE_Input: WriteInputs(w, m); break;
    case WIRE_Setup: w.Number(m.value); break;
    case WIRE_Ping: case WIRE_Pong: w.Number(m.frame); break;
    case WIRE_Hash:
      w.Number(m.frame);
      WriteFixed(w, m.value);
      break;
    case WIRE_Bye:
      w.Byte((uint8_t)m.value);
      w.Number(m.frame);
      break;
  }
  return w.ok ? (size_t)(w.at - out) : 0;
}

bool WireDecode(const uint8_t* data, size_t size, WireMessage* out) {
  if (!data || size == 0 || size > kWireMaxSize) return false;
  Reader r{data, data + size};
  WireMessage m = {};
  m.type = r.Byte();
  switch (m.type) {
    case WIRE_Input: ReadInputs(r, &m); break;
    case WIRE_Ready: break;
    case WIRE_Setup: m.value = r.Number(); break;
    case WIRE_Ping: case WIRE_Pong: m.frame = r.Number(); break;
    case WIRE_Hash:
      m.frame = r.Number();
      m.value = r.Fixed();
      break;
    case WIRE_Bye:
      m.value = r.Byte();
      m.frame = r.Number();
      break;
    default: return false;
  }
  if (!r.ok || r.at != r.end || !ValidMessage(m)) return false;
  *out = m;
  return true;
}
