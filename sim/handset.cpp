#include "handset.h"

#include <initializer_list>

namespace rb310 {
namespace {

NvOptions WithReadGuard(NvOptions nv, const SecurityOptions& security) {
  nv.guardReads = security.requireSpcForReads;
  return nv;
}

}  // namespace

Handset::Handset(SimOptions options, int64_t nowMs)
    : options_(std::move(options)),
      identity_(options_.identity),
      mode_(options_.identity.esn),
      security_(options_.security),
      nv_(WithReadGuard(options_.nv, options_.security), options_.stateDir / "nv", options_.identity.esn),
      prl_(options_.prl, options_.stateDir / "prl"),
      fileSystem_(options_.efs, options_.stateDir / "efs"),
      downloader_(options_.stateDir / "flash", fileSystem_),
      core_(HandsetCore::Settings{options_.personality, options_.line.UsbModem(), options_.faults}, nowMs) {
  if (options_.nv.loseOnImageStored) downloader_.OnImageStored([this] { nv_.store().EraseAll(); });
  for (Service* service : std::initializer_list<Service*>{&identity_, &mode_, &security_, &nv_, &prl_,
                                                         &fileSystem_, &downloader_}) {
    core_.Attach(*service);
  }
}

HandsetState Handset::state() const {
  const PersonalityState& core = core_.state();
  HandsetState state;
  state.personality = core.personality;
  state.diagBaud = core.diagBaud;
  state.hostBaud = core.hostBaud;
  state.offline = mode_.offline();
  state.spcUnlocked = security_.spcUnlocked();
  state.keypadReleased = security_.keypadReleased();
  state.keysPressed = security_.keysPressed();
  return state;
}

}  // namespace rb310
