// One concern of the handset (identity, NV items, the downloader...): it owns
// its store and its session state, registers its handlers in one place and
// says what it forgets when the handset restarts.
#pragma once

#include <span>

#include "core/dispatcher.h"

namespace rb310 {

class Service {
 public:
  Service() = default;
  // Handlers hold on to their service: it stays where it was registered.
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;
  virtual ~Service() = default;

  virtual const char* name() const = 0;
  // Adds the service's handlers; called once, when the handset takes it on.
  virtual void Register(Dispatchers& dispatchers) = 0;
  // The handset is restarting: forget what does not survive it.
  virtual void OnRestart() {}
};

// A member function of a service as a command handler.
template <typename S>
CommandHandler Handler(S* service, Answer (S::*method)(HandsetContext&, std::span<const uint8_t>)) {
  return [service, method](HandsetContext& context, std::span<const uint8_t> request) {
    return (service->*method)(context, request);
  };
}

}  // namespace rb310
