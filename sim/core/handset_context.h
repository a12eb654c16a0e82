// What a handler may do to the handset beyond its own service's state: see
// and change the personality, set the rate the line is listened to at, start
// a restart, and read the injected faults.
#pragma once

#include <cstdint>

#include "core/faults.h"
#include "core/personality.h"

namespace rb310 {

class HandsetContext {
 public:
  virtual Personality personality() const = 0;
  // Frames go to the downloader's command set from now on.
  virtual void EnterDownloader() = 0;
  // The rate the diagnostic side (or the downloader) listens at from now on.
  virtual void SetLineRate(uint32_t baud) = 0;
  // Goes silent now and comes back after the restart delay; every service
  // forgets its session state.
  virtual void BeginRestart(int64_t nowMs) = 0;
  virtual const FaultPlan& faults() const = 0;

 protected:
  ~HandsetContext() = default;
};

}  // namespace rb310
