// online_wire.h - the packets two machines exchange in an online game, and their encoding: every
// field is checked on the way in, and a packet that is not exactly one message is refused.
#pragma once
#include <cstddef>
#include <cstdint>

// Told at connect; machines of other versions do not play together. Raise it with every change
// to the packets or to anything the battle does.
const uint32_t kOnlineVersion = 1;
const uint16_t kOnlineDefaultPort = 41317;

const int kWireMaxInputs = 128;         // presses per packet
const uint32_t kWireInputMask = 0x0FFFFFFFu;  // the bits a press may use (online_input.h)
const uint32_t kWireMaxDelay = 60;      // frames
const size_t kWireMaxSize = 8 + kWireMaxInputs * 6 + 20;  // the largest encoded message

enum WireType : uint8_t {
  WIRE_Input = 1,  // presses, which of the other's it has, how far it has got
  WIRE_Ready,      // joiner: on the hero selection, ready to begin
  WIRE_Setup,      // host: the input delay; the first frame begins now
  WIRE_Ping,       // host: measuring the round trip
  WIRE_Pong,       // joiner: the answer, at once
  WIRE_Hash,       // the state's hash after a number of frames
  WIRE_Bye,        // the sender ends the game, and why
  WIRE_TypeCount
};

enum WireBye : uint8_t {
  BYE_Quit = 1,    // the player quit the game
  BYE_Stopped,     // the host stopped hosting
  BYE_Desync,      // the states differed
  BYE_Done,        // the matches asked for are played
  BYE_Broken,      // the receiver sent something the sender refused
  BYE_Count
};

const uint8_t kWireAway = 1;  // Input flag: the sender shows a screen of its own over the pause

struct WireMessage {
  uint8_t type;
  uint32_t frame;     // Input: the first press's frame; Hash, Bye: a frame; Ping, Pong: an id
  uint16_t count;     // Input: presses that follow
  uint32_t inputs[kWireMaxInputs];
  uint32_t ack;       // Input: the sender has the receiver's presses for the frames below this
  uint32_t next;      // Input: the next frame the sender will play
  int16_t earliness;  // Input: how early the receiver's presses reach the sender, 1/16 frames
  uint8_t flags;      // Input: kWireAway
  uint32_t value;     // Setup: the delay in frames; Hash: the hash; Bye: a WireBye
};

// The bytes of a message into out; 0 when it does not fit or is no valid message.
size_t WireEncode(const WireMessage& m, uint8_t* out, size_t capacity);
// A message from exactly `size` bytes; false for anything else.
bool WireDecode(const uint8_t* data, size_t size, WireMessage* out);
