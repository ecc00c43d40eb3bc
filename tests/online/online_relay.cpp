// online_relay.cpp - a bad network between two games on this machine: every UDP datagram from
// the joiner to the host and back is held for a random time, dropped now and then, sometimes
// sent twice; random holds reorder them. Loopback only: it binds and sends to 127.0.0.1 alone.
// Usage: online_relay --to PORT [--listen PORT] [--delay-min MS] [--delay-max MS] [--loss P]
//                     [--duplicate P] [--seed S] [--idle SECONDS]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <queue>
#include <random>
#include <string>
#include <vector>

namespace {

struct Options {
  int to = 0, listen = 0;
  double delayMin = 0, delayMax = 0, loss = 0, duplicate = 0, idle = 30;
  unsigned seed = 1;
};

struct Datagram {
  double due;
  bool toHost;
  std::string bytes;
  bool operator>(const Datagram& o) const { return due > o.due; }
};

volatile sig_atomic_t gStop = 0;

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

sockaddr_in Loopback(int port) {
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_port = htons((uint16_t)port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

int BoundSocket(int port) {
  int s = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a = Loopback(port);
  if (s < 0 || bind(s, (sockaddr*)&a, sizeof a) != 0) {
    perror("[relay] bind");
    exit(1);
  }
  return s;
}

int PortOf(int s) {
  sockaddr_in a = {};
  socklen_t n = sizeof a;
  getsockname(s, (sockaddr*)&a, &n);
  return ntohs(a.sin_port);
}

bool Parse(int argc, char** argv, Options* o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string k = argv[i];
    double v = atof(argv[i + 1]);
    if (k == "--to") o->to = (int)v;
    else if (k == "--listen") o->listen = (int)v;
    else if (k == "--delay-min") o->delayMin = v;
    else if (k == "--delay-max") o->delayMax = v;
    else if (k == "--loss") o->loss = v;
    else if (k == "--duplicate") o->duplicate = v;
    else if (k == "--seed") o->seed = (unsigned)v;
    else if (k == "--idle") o->idle = v;
    else return false;
  }
  return o->to > 0 && o->delayMax >= o->delayMin && argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    fprintf(stderr, "usage: online_relay --to PORT [--listen PORT] [--delay-min MS] "
                    "[--delay-max MS] [--loss P] [--duplicate P] [--seed S] [--idle SECONDS]\n");
    return 2;
  }
  signal(SIGTERM, [](int) { gStop = 1; });
  signal(SIGINT, [](int) { gStop = 1; });
  int front = BoundSocket(o.listen), back = BoundSocket(0);
  printf("relay listening on port %d\n", PortOf(front));
  fflush(stdout);
  std::mt19937 random(o.seed);
  std::uniform_real_distribution<double> unit(0, 1), hold(o.delayMin / 1000, o.delayMax / 1000);
  std::priority_queue<Datagram, std::vector<Datagram>, std::greater<Datagram>> queue;
  sockaddr_in joiner = {}, host = Loopback(o.to);
  bool knowJoiner = false;
  long forwarded = 0, dropped = 0, doubled = 0;
  double lastHeard = Now();
  char buffer[65536];
  while (!gStop && Now() - lastHeard < o.idle) {
    double wait = queue.empty() ? 0.1 : queue.top().due - Now();
    pollfd fds[2] = {{front, POLLIN, 0}, {back, POLLIN, 0}};
    poll(fds, 2, wait > 0 ? (int)(wait * 1000) + 1 : 0);
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      sockaddr_in from = {};
      socklen_t n = sizeof from;
      ssize_t got = recvfrom(fds[i].fd, buffer, sizeof buffer, 0, (sockaddr*)&from, &n);
      if (got < 0) continue;
      bool toHost = i == 0;
      if (toHost) {
        joiner = from;
        knowJoiner = true;
      }
      lastHeard = Now();
      if (unit(random) < o.loss) {
        ++dropped;
        continue;
      }
      int copies = unit(random) < o.duplicate ? 2 : 1;
      doubled += copies - 1;
      for (int c = 0; c < copies; ++c)
        queue.push({Now() + hold(random), toHost, std::string(buffer, (size_t)got)});
    }
    while (!queue.empty() && queue.top().due <= Now()) {
      const Datagram& d = queue.top();
      if (d.toHost) sendto(back, d.bytes.data(), d.bytes.size(), 0, (sockaddr*)&host, sizeof host);
      else if (knowJoiner)
        sendto(front, d.bytes.data(), d.bytes.size(), 0, (sockaddr*)&joiner, sizeof joiner);
      ++forwarded;
      queue.pop();
    }
  }
  fprintf(stderr, "[relay] %ld datagrams forwarded, %ld dropped, %ld sent twice\n", forwarded,
          dropped, doubled);
  close(front);
  close(back);
  return 0;
}
