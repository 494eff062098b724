#pragma once
// A TCP relay on loopback that holds every chunk of bytes for a fixed time in each direction,
// so that a local server answers as one across a network would. It also counts round trips:
// a trip begins each time the client sends after having received (or at its first send).
//
// Bounded: at most 8 connections, at most 16 MiB held per direction (reading pauses beyond);
// it stops by itself when destroyed and after ten idle minutes.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace bench {

class DelayProxy {
  public:
    // Relays 127.0.0.1:<port()> to targetHost:targetPort, adding oneWay to each direction.
    DelayProxy(std::string targetHost, std::uint16_t targetPort, std::chrono::microseconds oneWay);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    std::uint16_t port() const;
    std::int64_t roundTrips() const;
    // Empty when the relay runs; else why it could not start.
    std::string problem() const;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace bench
