// What a staged script download removes from the handset's file system
// before provisioning it: user content and settings of the previous owner.
#pragma once

#include <array>

namespace zk::operations {

struct ClearingEntry {
  const char* path;  // handset path, relative
  bool directory;    // true: its files are deleted; false: the file itself
};

inline constexpr std::array<ClearingEntry, 42> kClearingList{{
    {"brew/prefs.dat", false},           {"mms/err", true},
    {"mms", true},                       {"sch", true},
    {"alarm/alarm.dat", false},          {"VoiceDB/All/Memos", true},
    {"dload/Voicememosound.dat", false}, {"dload/Voicememosoundsize.dat", false},
    {"brew/shared/dload/img", true},     {"sync/image", true},
    {"dload/image.dat", false},          {"dload/imagesize.dat", false},
    {"dload/userimage.dat", false},      {"dload/userimagesize.dat", false},
    {"dload/MMSimage.dat", false},       {"dload/MMSimagesize.dat", false},
    {"dload/wallpaper.bit", false},      {"dload/subwallpaper.bit", false},
    {"dload/poweron.bit", false},        {"dload/poweroff.bit", false},
    {"dload/poweronsub.bit", false},     {"dload/poweroffsub.bit", false},
    {"brew/media", true},                {"dload/video.dat", false},
    {"dload/videosize.dat", false},      {"dload/snd", true},
    {"sync/sound", true},                {"dload/sound.dat", false},
    {"dload/soundsize.dat", false},      {"dload/usersound.dat", false},
    {"dload/usersoundsize.dat", false},  {"pim/pbentry.dat", false},
    {"pim/pbnumber.dat", false},         {"pim/pbspeed.dat", false},
    {"pim/pbgroup.dat", false},          {"pim/outgoing_log.dat", false},
    {"pim/incoming_log.dat", false},     {"pim/missed_log.dat", false},
    {"pim/pttentry.dat", false},         {"pim/pttnumber.dat", false},
    {"pim/pttgroup.dat", false},         {"sms", true},
}};

}  // namespace zk::operations
