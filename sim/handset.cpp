#include "handset.h"

#include <array>
#include <fstream>
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
  // The handset restarts into a stored main image: the version the image
  // names (see IdentityService) and, with --nv-lost-on-download, no NV items.
  downloader_.OnImageStored([this] {
    std::array<char, IdentityService::kVersionTag.size() + IdentityService::kVersionLength> start{};
    std::ifstream image(downloader_.flash().PathOf(FlashRegion::kMainImage), std::ios::binary);
    image.read(start.data(), static_cast<std::streamsize>(start.size()));
    const auto got = static_cast<std::size_t>(image.gcount());
    identity_.AdoptImage(std::span(reinterpret_cast<const uint8_t*>(start.data()), got));
    if (options_.nv.loseOnImageStored) nv_.store().EraseAll();
  });
  downloader_.OnEfsErased([this] {
    if (options_.nv.loseOnEfsErase) nv_.store().EraseAll();
  });
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
