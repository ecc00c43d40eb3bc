// kenet_enet.cpp - the network layer on ENet 1.3: hosts and clients, connection events, packets
// sent reliably or once, and the library's own byte counts.
#include "kenet.h"

#include <enet/enet.h>

#include <cstdio>

#include "kelog.h"

// The library's host is ours: NetHost is only a name for it.
struct NetHost {
  ENetHost* enet;
  ENetPacket* received;  // handed out by the last NetPoll; destroyed by the next one
  uint64_t sentBefore, receivedBefore;  // counts moved out of the library's 32-bit counters
  uint64_t datagramsSentBefore, datagramsReceivedBefore;
};

namespace {

// Nothing we send comes near this; a peer that claims more is refused by the library itself.
const size_t kMaximumPacket = 4096;
const size_t kMaximumWaiting = 64 * 1024;
// A connection ends when a reliable packet goes unanswered this long; the game's own, shorter
// limit on silence normally comes first.
const enet_uint32 kTimeoutMs = 15000;

struct NetState {
  int hosts = 0;  // ENet is started with the first host and stopped with the last
};
NetState gNet;

bool NetStart() {
  if (gNet.hosts == 0 && enet_initialize() != 0) {
    LogPrint("[net] the network library could not start\n");
    return false;
  }
  gNet.hosts += 1;
  return true;
}

void NetStop() {
  if (--gNet.hosts == 0) enet_deinitialize();
}

NetHost* NetWrap(ENetHost* enet) {
  enet->maximumPacketSize = kMaximumPacket;
  enet->maximumWaitingData = kMaximumWaiting;
  return new NetHost{enet, nullptr, 0, 0, 0, 0};
}

ENetPeer* NetPeerOf(const NetHost* host, uint32_t peer) {
  return peer < host->enet->peerCount ? &host->enet->peers[peer] : nullptr;
}

void NetDropReceived(NetHost* host) {
  if (host->received) enet_packet_destroy(host->received);
  host->received = nullptr;
}

// The library's counters are 32 bits wide: move them into ours before they wrap.
void NetMoveCounts(NetHost* host) {
  ENetHost* e = host->enet;
  host->sentBefore += e->totalSentData;
  host->receivedBefore += e->totalReceivedData;
  host->datagramsSentBefore += e->totalSentPackets;
  host->datagramsReceivedBefore += e->totalReceivedPackets;
  e->totalSentData = e->totalReceivedData = e->totalSentPackets = e->totalReceivedPackets = 0;
}

}  // namespace

NetHost* NetHostCreate(uint16_t port, int peers) {
  if (!NetStart()) return nullptr;
  ENetAddress address;
  address.host = ENET_HOST_ANY;
  address.port = port;
  ENetHost* enet = enet_host_create(&address, (size_t)peers, 1, 0, 0);
  if (!enet) {
    LogPrint("[net] cannot open UDP port %u (is another game using it?)\n", (unsigned)port);
    NetStop();
    return nullptr;
  }
  return NetWrap(enet);
}

NetHost* NetClientCreate() {
  if (!NetStart()) return nullptr;
  ENetHost* enet = enet_host_create(nullptr, 1, 1, 0, 0);
  if (!enet) {
    LogPrint("[net] cannot open a UDP socket\n");
    NetStop();
    return nullptr;
  }
  return NetWrap(enet);
}

void NetHostFree(NetHost* host) {
  if (!host) return;
  NetDropReceived(host);
  enet_host_destroy(host->enet);
  delete host;
  NetStop();
}

uint16_t NetHostPort(const NetHost* host) {
  ENetAddress bound;
  if (!host || enet_socket_get_address(host->enet->socket, &bound) != 0) return 0;
  return bound.port;
}

bool NetConnect(NetHost* host, const char* address, uint16_t port, uint32_t data, uint32_t* peer) {
  ENetAddress to;
  to.port = port;
  if (enet_address_set_host(&to, address) != 0) {
    LogPrint("[net] no such address: %s\n", address);
    return false;
  }
  ENetPeer* p = enet_host_connect(host->enet, &to, 1, data);
  if (!p) return false;
  enet_peer_timeout(p, 0, kTimeoutMs, kTimeoutMs);
  *peer = (uint32_t)(p - host->enet->peers);
  return true;
}

bool NetPoll(NetHost* host, NetEvent* out, uint32_t waitMs) {
  NetDropReceived(host);
  ENetEvent e;
  int got = enet_host_service(host->enet, &e, waitMs);
  NetMoveCounts(host);
  if (got <= 0) return false;
  *out = NetEvent{NET_None, (uint32_t)(e.peer - host->enet->peers), e.data, nullptr, 0};
  switch (e.type) {
    case ENET_EVENT_TYPE_CONNECT:
      enet_peer_timeout(e.peer, 0, kTimeoutMs, kTimeoutMs);
      out->kind = NET_Connected;
      break;
    case ENET_EVENT_TYPE_DISCONNECT:
      out->kind = NET_Disconnected;
      break;
    case ENET_EVENT_TYPE_RECEIVE:
      host->received = e.packet;
      out->kind = NET_Received;
      out->bytes = e.packet->data;
      out->size = e.packet->dataLength;
      break;
    default:
      return false;
  }
  return true;
}

bool NetSend(NetHost* host, uint32_t peer, const void* bytes, size_t size, bool reliable) {
  ENetPeer* p = NetPeerOf(host, peer);
  if (!p || p->state != ENET_PEER_STATE_CONNECTED) return false;
  ENetPacket* packet = enet_packet_create(
      bytes, size, reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
  if (!packet) return false;
  if (enet_peer_send(p, 0, packet) == 0) return true;
  enet_packet_destroy(packet);
  return false;
}

void NetFlush(NetHost* host) {
  enet_host_flush(host->enet);
  NetMoveCounts(host);
}

void NetDisconnect(NetHost* host, uint32_t peer, uint32_t reason, bool now) {
  ENetPeer* p = NetPeerOf(host, peer);
  if (!p) return;
  if (now) enet_peer_disconnect_now(p, reason);
  else enet_peer_disconnect_later(p, reason);
}

void NetForget(NetHost* host, uint32_t peer) {
  if (ENetPeer* p = NetPeerOf(host, peer)) enet_peer_reset(p);
}

void NetPeerName(const NetHost* host, uint32_t peer, char* out, size_t size) {
  ENetPeer* p = NetPeerOf(host, peer);
  char ip[64] = "?";
  if (p) enet_address_get_host_ip(&p->address, ip, sizeof ip);
  snprintf(out, size, "%s:%u", ip, p ? (unsigned)p->address.port : 0u);
}

uint32_t NetPeerRoundTripMs(const NetHost* host, uint32_t peer) {
  ENetPeer* p = NetPeerOf(host, peer);
  return p ? p->roundTripTime : 0;
}

NetFigures NetHostFigures(const NetHost* host) {
  const ENetHost* e = host->enet;
  return {host->sentBefore + e->totalSentData, host->receivedBefore + e->totalReceivedData,
          host->datagramsSentBefore + e->totalSentPackets,
          host->datagramsReceivedBefore + e->totalReceivedPackets};
}
