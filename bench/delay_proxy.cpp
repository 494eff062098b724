#include "bench/delay_proxy.h"

#include <arpa/inet.h>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t MaxHeldBytes = 16u << 20;
constexpr int MaxConnections = 8;
constexpr auto IdleLimit = std::chrono::minutes(10);
constexpr int PollMs = 100;

enum Direction : int { None = 0, ToServer = 1, ToClient = 2 };

int connectTo(const std::string& host, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return -1;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd;
}

void noDelay(int fd) {
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

} // namespace

struct DelayProxy::State {
    std::string host;
    std::uint16_t targetPort = 0;
    std::chrono::microseconds oneWay{0};
    int listenFd = -1;
    std::uint16_t port = 0;
    std::string problem;
    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> trips{0};
    std::atomic<int> lastDirection{None};
    std::atomic<Clock::rep> lastActivity{Clock::now().time_since_epoch().count()};
    std::mutex threadsMutex;
    std::vector<std::thread> threads;
    std::thread acceptor;

    void touch() { lastActivity = Clock::now().time_since_epoch().count(); }
    bool idleTooLong() const {
        return Clock::now() - Clock::time_point(Clock::duration(lastActivity.load())) > IdleLimit;
    }
    bool stopping() const { return stop || idleTooLong(); }

    // One direction of one connection: what was read waits here until it is due.
    struct Pipe {
        int from = -1;
        int to = -1;
        Direction direction = None;
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::pair<Clock::time_point, std::vector<char>>> chunks;
        std::size_t held = 0;
        bool ended = false;
    };

    void readInto(Pipe& pipe) {
        std::vector<char> buffer(64 * 1024);
        while (!stopping()) {
            pollfd p{pipe.from, POLLIN, 0};
            if (poll(&p, 1, PollMs) <= 0)
                continue;
            const ssize_t n = read(pipe.from, buffer.data(), buffer.size());
            if (n <= 0)
                break;
            touch();
            if (pipe.direction == ToServer && lastDirection.exchange(ToServer) != ToServer)
                ++trips;
            if (pipe.direction == ToClient)
                lastDirection = ToClient;
            std::unique_lock lock(pipe.mutex);
            pipe.changed.wait(lock, [&] { return pipe.held < MaxHeldBytes || stopping(); });
            pipe.chunks.emplace_back(Clock::now() + oneWay,
                                     std::vector<char>(buffer.begin(), buffer.begin() + n));
            pipe.held += std::size_t(n);
            pipe.changed.notify_all();
        }
        std::lock_guard lock(pipe.mutex);
        pipe.ended = true;
        pipe.changed.notify_all();
    }

    void writeFrom(Pipe& pipe) {
        for (;;) {
            std::unique_lock lock(pipe.mutex);
            pipe.changed.wait_for(lock, std::chrono::milliseconds(PollMs),
                                  [&] { return !pipe.chunks.empty() || pipe.ended; });
            if (stopping())
                break;
            if (pipe.chunks.empty()) {
                if (pipe.ended)
                    break;
                continue;
            }
            auto [due, bytes] = std::move(pipe.chunks.front());
            pipe.chunks.pop_front();
            pipe.held -= bytes.size();
            pipe.changed.notify_all();
            lock.unlock();
            std::this_thread::sleep_until(due);
            for (std::size_t sent = 0; sent < bytes.size();) {
                const ssize_t n = write(pipe.to, bytes.data() + sent, bytes.size() - sent);
                if (n <= 0)
                    return shutdown(pipe.to, SHUT_WR), void();
                sent += std::size_t(n);
            }
        }
        shutdown(pipe.to, SHUT_WR);
    }

    void relay(int client) {
        const int server = connectTo(host, targetPort);
        if (server < 0) {
            close(client);
            return;
        }
        noDelay(client);
        noDelay(server);
        auto up = std::make_shared<Pipe>();
        auto down = std::make_shared<Pipe>();
        up->from = client, up->to = server, up->direction = ToServer;
        down->from = server, down->to = client, down->direction = ToClient;
        std::thread upReader([this, up] { readInto(*up); });
        std::thread downReader([this, down] { readInto(*down); });
        std::thread upWriter([this, up] { writeFrom(*up); });
        writeFrom(*down);
        upWriter.join();
        upReader.join();
        downReader.join();
        close(client);
        close(server);
    }

    void acceptLoop() {
        int connections = 0;
        while (!stopping()) {
            pollfd p{listenFd, POLLIN, 0};
            if (poll(&p, 1, PollMs) <= 0)
                continue;
            const int client = accept(listenFd, nullptr, nullptr);
            if (client < 0)
                continue;
            if (++connections > MaxConnections) {
                close(client);
                continue;
            }
            touch();
            std::lock_guard lock(threadsMutex);
            threads.emplace_back([this, client] { relay(client); });
        }
    }
};

DelayProxy::DelayProxy(std::string targetHost, std::uint16_t targetPort,
                       std::chrono::microseconds oneWay)
    : state_(std::make_shared<State>()) {
    State& s = *state_;
    s.host = std::move(targetHost);
    s.targetPort = targetPort;
    s.oneWay = oneWay;
    s.listenFd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK); // loopback only
    socklen_t length = sizeof address;
    if (s.listenFd < 0 || bind(s.listenFd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(s.listenFd, MaxConnections) != 0 ||
        getsockname(s.listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        s.problem = std::strerror(errno);
        return;
    }
    s.port = ntohs(address.sin_port);
    s.acceptor = std::thread([&s] { s.acceptLoop(); });
}

DelayProxy::~DelayProxy() {
    State& s = *state_;
    s.stop = true;
    if (s.acceptor.joinable())
        s.acceptor.join();
    std::lock_guard lock(s.threadsMutex);
    for (std::thread& t : s.threads)
        t.join();
    if (s.listenFd >= 0)
        close(s.listenFd);
}

std::uint16_t DelayProxy::port() const {
    return state_->port;
}

std::int64_t DelayProxy::roundTrips() const {
    return state_->trips;
}

std::string DelayProxy::problem() const {
    return state_->problem;
}

} // namespace bench
