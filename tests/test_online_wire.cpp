// test_online_wire.cpp - the online packets and the checks on what the other machine claims: a
// million random and mutated packets through the decoder and into the frames, none accepted that
// is not exactly one message, none able to break what the frames promise.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "online/online_lockstep.h"
#include "online/online_wire.h"

namespace {

std::vector<uint8_t> Encode(const WireMessage& m) {
  std::vector<uint8_t> bytes(kWireMaxSize);
  bytes.resize(WireEncode(m, bytes.data(), bytes.size()));
  return bytes;
}

bool Decodes(std::vector<uint8_t> bytes) {
  WireMessage m;
  return WireDecode(bytes.data(), bytes.size(), &m);
}

WireMessage Presses(uint32_t first, std::vector<uint32_t> presses, uint32_t ack, uint32_t next) {
  WireMessage m = {};
  m.type = WIRE_Input;
  m.frame = first;
  m.count = (uint16_t)presses.size();
  for (size_t i = 0; i < presses.size(); ++i) m.inputs[i] = presses[i];
  m.ack = ack;
  m.next = next;
  return m;
}

// Messages at the edges of every field come back as they went.
TEST(OnlineWire, MessagesComeBackAsTheyWent) {
  std::vector<uint32_t> full(kWireMaxInputs);
  for (int i = 0; i < kWireMaxInputs; ++i) full[i] = i % 3 ? kWireInputMask : 0;
  WireMessage input = Presses(0xFFFFFFFFu - kWireMaxInputs, full, 0xFFFFFFFFu, 7);
  input.earliness = -32768;
  input.flags = kWireAway;
  WireMessage hash = {};
  hash.type = WIRE_Hash;
  hash.frame = 120;
  hash.value = 0xDEADBEEF;
  WireMessage bye = {};
  bye.type = WIRE_Bye;
  bye.value = BYE_Broken;
  bye.frame = 1u << 31;
  for (const WireMessage& m : {input, hash, bye}) {
    std::vector<uint8_t> bytes = Encode(m);
    ASSERT_FALSE(bytes.empty());
    WireMessage back;
    ASSERT_TRUE(WireDecode(bytes.data(), bytes.size(), &back));
    EXPECT_EQ(Encode(back), bytes);
    EXPECT_EQ(back.frame, m.frame);
    EXPECT_EQ(back.value, m.value);
  }
  EXPECT_LE(Encode(input).size(), kWireMaxSize);
}

TEST(OnlineWire, AnythingButOneExactMessageIsRefused) {
  std::vector<uint8_t> good = Encode(Presses(5, {0, 0, 3}, 4, 2));
  ASSERT_TRUE(Decodes(good));
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_FALSE(Decodes(longer)) << "a trailing byte";
  EXPECT_FALSE(Decodes({good.begin(), good.end() - 1})) << "cut short";
  EXPECT_FALSE(Decodes({})) << "empty";
  EXPECT_FALSE(Decodes({WIRE_Setup, 0})) << "no delay";
  EXPECT_FALSE(Decodes({WIRE_Setup, (uint8_t)(kWireMaxDelay + 1)})) << "too long a delay";
  EXPECT_FALSE(Decodes({WIRE_Bye, BYE_Count, 0})) << "no such reason";
  EXPECT_FALSE(Decodes({WIRE_TypeCount})) << "no such message";
  EXPECT_FALSE(Decodes({WIRE_Ping, 0x80, 0x00})) << "a number spelt long";
  EXPECT_FALSE(Decodes({WIRE_Ping, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F})) << "above 32 bits";
  // type, first frame 0, count 2, a run of 1 then another run of the same value.
  EXPECT_FALSE(Decodes({WIRE_Input, 0, 2, 1, 5, 1, 5, 0, 0, 0, 0})) << "two runs of one value";
  EXPECT_FALSE(Decodes({WIRE_Input, 0, 1, 0, 5, 0, 0, 0, 0})) << "a run of nothing";
  EXPECT_FALSE(Decodes({WIRE_Input, 0, 1, 2, 5, 0, 0, 0, 0})) << "runs beyond the count";
  EXPECT_FALSE(Decodes({WIRE_Input, 0, 0x81, 0x01, 0, 0, 0, 0})) << "more presses than fit";
  EXPECT_FALSE(Decodes({WIRE_Input, 0, 1, 1, 0x80, 0x80, 0x80, 0x80, 0x01, 0, 0, 0, 0}))
      << "a press outside its bits";
  EXPECT_FALSE(Decodes({WIRE_Input, 0, 0, 0, 0, 0, 2})) << "an unknown flag";
}

// What the other machine says it has done must fit what this one let it do.
TEST(OnlineWire, ThePeersClaimsMustFitOurFrames) {
  Lockstep l;
  LockstepStart(l, 0, 3);  // frames 0 .. 2 carry no presses; ours are known below 3
  LockstepSample(l, 9);    // our press for frame 3
  EXPECT_EQ(LockstepReceive(l, Presses(3, {1, 1, 2}, 4, 0)), nullptr);
  EXPECT_EQ(l.received, 6u);
  EXPECT_EQ(LockstepPresses(l, 1, 5), 2u);
  EXPECT_NE(LockstepReceive(l, Presses(7, {1}, 4, 0)), nullptr) << "a gap";
  EXPECT_NE(LockstepReceive(l, Presses(4, {1, 3}, 4, 0)), nullptr) << "a press that changed";
  EXPECT_NE(LockstepReceive(l, Presses(0, {0, 0, 4}, 4, 0)), nullptr) << "presses at the start";
  EXPECT_NE(LockstepReceive(l, Presses(6, {1}, 5, 0)), nullptr) << "ours it cannot have";
  EXPECT_NE(LockstepReceive(l, Presses(6, {1}, 4, 5)), nullptr) << "a frame it cannot play";
  EXPECT_NE(LockstepReceive(l, Presses(6, std::vector<uint32_t>(4, 1), 4, 4)), nullptr)
      << "presses beyond its reach";
  EXPECT_EQ(LockstepReceive(l, Presses(3, {1, 1, 2, 1}, 4, 4)), nullptr) << "resent, and more";
  EXPECT_TRUE(LockstepReady(l));
  EXPECT_NE(LockstepPeerHash(l, 61, 1), nullptr) << "no hashed frame";
}

TEST(OnlineWire, HashesAreComparedFrameByFrame) {
  Lockstep l;
  LockstepStart(l, 1, 2);
  for (int i = 0; i < 200; ++i) LockstepSample(l, 0);
  LockstepOwnHash(l, 60, 7);
  LockstepOwnHash(l, 120, 8);
  EXPECT_EQ(LockstepPeerHash(l, 60, 7), nullptr);
  EXPECT_EQ(LockstepMismatch(l), 0u);
  EXPECT_EQ(LockstepPeerHash(l, 120, 9), nullptr);
  EXPECT_NE(LockstepPeerHash(l, 120, 9), nullptr) << "the same frame twice";
  EXPECT_EQ(LockstepMismatch(l), 120u);
}

// A million packets, random or mutated from real ones: a packet that decodes is exactly the
// encoding of what it decodes to, and no claim it carries moves the frames past what this
// machine allowed.
TEST(OnlineWire, AMillionHostilePackets) {
  std::mt19937 random(2024);
  std::vector<std::vector<uint8_t>> seeds;
  for (uint32_t n : {0u, 1u, 5u, 40u, 128u}) {
    std::vector<uint32_t> presses(n);
    for (uint32_t& p : presses) p = random() % 4 ? 0 : random() & kWireInputMask;
    seeds.push_back(Encode(Presses(random() % 50, presses, random() % 50, random() % 50)));
  }
  for (uint8_t type = WIRE_Ready; type < WIRE_TypeCount; ++type) {
    WireMessage m = {};
    m.type = type;
    m.frame = 60;
    m.value = type == WIRE_Bye ? BYE_Quit : 5;
    seeds.push_back(Encode(m));
  }
  Lockstep l;
  LockstepStart(l, 0, 4);
  int accepted = 0;
  for (int i = 0; i < 1000000; ++i) {
    std::vector<uint8_t> bytes;
    if (i % 2) {
      bytes.resize(random() % (kWireMaxSize + 8));
      for (uint8_t& b : bytes) b = (uint8_t)random();
      if (!bytes.empty()) bytes[0] = (uint8_t)(random() % (WIRE_TypeCount + 1));
    } else {
      bytes = seeds[random() % seeds.size()];
      for (int k = 0, n = 1 + random() % 4; k < n && !bytes.empty(); ++k) {
        size_t at = random() % bytes.size();
        switch (random() % 4) {
          case 0: bytes[at] = (uint8_t)random(); break;
          case 1: bytes[at] ^= (uint8_t)(1u << random() % 8); break;
          case 2: bytes.insert(bytes.begin() + at, (uint8_t)random()); break;
          default: bytes.erase(bytes.begin() + at); break;
        }
      }
    }
    WireMessage m;
    if (!WireDecode(bytes.data(), bytes.size(), &m)) continue;
    ++accepted;
    ASSERT_EQ(Encode(m), bytes) << "packet " << i;
    if (m.type != WIRE_Input) continue;
    if (i % 1000 == 0) LockstepSample(l, 0);
    Lockstep before = l;
    if (LockstepReceive(l, m)) {
      // Refused: the caller cuts the peer off; what the frames hold is whatever it was.
      l = before;
      continue;
    }
    ASSERT_LE(l.received, l.sampled + l.delay + 1);
    ASSERT_LE(l.peerHas, l.sampled);
    ASSERT_LE(l.peerNext, l.sampled);
  }
  EXPECT_GT(accepted, 1000) << "the mutations hardly ever kept a packet whole";
}

}  // namespace
