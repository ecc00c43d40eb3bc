// kenet.h - the network layer: UDP endpoints that host or join, their peers, small packets in and
// out, and the figures of what crossed. The only engine code that includes ENet sits behind it.
#pragma once
#include <cstddef>
#include <cstdint>

struct NetHost;

enum NetEventKind { NET_None, NET_Connected, NET_Received, NET_Disconnected };

struct NetEvent {
  NetEventKind kind;
  uint32_t peer;         // the peer's number on this host
  uint32_t data;         // Connected: what the peer sent with its request; Disconnected: its reason
  const uint8_t* bytes;  // Received: the packet, valid until the next NetPoll on this host
  size_t size;
};

// Every byte that crossed this host, counted by the library (UDP payloads, its own headers in).
struct NetFigures {
  uint64_t bytesSent, bytesReceived;
  uint64_t datagramsSent, datagramsReceived;
};

// A host on `port` of every local address (0: a free port the system picks) for up to `peers`
// peers at once, or a client (port 0, one peer) to join with. Null on failure, with one line.
NetHost* NetHostCreate(uint16_t port, int peers);
NetHost* NetClientCreate();
void NetHostFree(NetHost* host);
uint16_t NetHostPort(const NetHost* host);

// Starts joining `address` (a dotted quad or a name) at `port`, handing `data` to the other side;
// false (with a line) when the address cannot be resolved. The outcome comes as an event.
bool NetConnect(NetHost* host, const char* address, uint16_t port, uint32_t data, uint32_t* peer);
// Sends what is queued, reads what arrived, and hands out one event, waiting up to waitMs for
// one. False when there is none.
bool NetPoll(NetHost* host, NetEvent* out, uint32_t waitMs);
// A packet to a connected peer: reliable ones are resent until they arrive, in order; the others
// go once, in no order. False when it could not be queued.
bool NetSend(NetHost* host, uint32_t peer, const void* bytes, size_t size, bool reliable);
// Sends what is queued now instead of at the next poll.
void NetFlush(NetHost* host);
// Ends a connection: after what is queued (`now` false), or at once without a word to the peer.
void NetDisconnect(NetHost* host, uint32_t peer, uint32_t reason, bool now);
// Forgets a peer on the spot: its slot is free again.
void NetForget(NetHost* host, uint32_t peer);
// "address:port" of a peer, for lines shown to players.
void NetPeerName(const NetHost* host, uint32_t peer, char* out, size_t size);
NetFigures NetHostFigures(const NetHost* host);
