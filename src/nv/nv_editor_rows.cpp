// The editor's rows as data. The cells of the NAM page follow the handset's
// NAM items; the phone page's rows are bound to these items and counters:
//
// | row                              | value behind the cell                          | cell  |
// |----------------------------------|------------------------------------------------|-------|
// | HOME TIMER / HOME COUNT          | call-history counters 2 / 3 (home group 2-5)   | read-only |
// | ROAM TIMER / ROAM COUNT          | call-history counters 6 / 7 (roam group 6-7)   | read-only |
// | LAST TIMER                       | call-history counter 0 (last-call group 0-1)   | read-only |
// | Caller ID Ringtone               | NV_RINGER_TYPE_I, ringtone list                | choice |
// | No Caller ID Ringtone            | NV_SOUND_RINGERS_I, ringtone list              | choice |
// | Restrict Calls Ringtone          | NV_RINGER_ID_ONOFF_I, "Ring1".."Ring10" list   | choice |
// | DTMF Tones                       | NV_CONT_KEY_DTMF_I                             | choice |
// | Master Volume / -Carkit          | NV_RINGER_LVL_I / NV_RINGER_SPKR_LVL_I         | choice |
// | Keypad Volume / -Carkit / -Earjack | NV_BEEP_LVL_I / NV_BEEP_SPKR_LVL_I / NV_BEEP_LVL_SHADOW_I | choice |
// | Earpiece Volume / -Carkit / -Earjack | NV_EAR_LVL_I / NV_SPEAKER_LVL_I / NV_EAR_LVL_SHADOW_I | choice |
// | Minute Beep Alert                | NV_SOUND_ALERTS_I                              | choice |
// | Service Change Alert             | NV_SVC_AREA_ALERT_I of the selected NAM        | choice |
// | Call Connect Alert               | NV_CALL_CONNECT_ALERT_I                        | choice |
// | Main / Front LCD Backlight       | NV_BACK_LIGHT_I / NV_SUB_BACKLIGHT_I           | choice |
// | Main / Front LCD Banner          | NV_BANNER_I / NV_SUB_BANNER_I, 12 characters   | text  |
// | SMS CALLBACK                     | NV_SMS_CB_I, 32 digits                         | text  |
// | Auto Retry                       | NV_AUTO_REDIAL_I, first byte                   | choice |
// | One-Touch Dial                   | NV_ONETOUCH_DIAL_I                             | choice |
// | Auto Volume                      | NV_AUTO_VOLUME_ENABLED_I                       | choice |
// | Lock Phone                       | NV_AUTO_LOCK_I                                 | choice |
// | Auto NAM                         | NV_AUTO_NAM_I                                  | choice |
// | Power On/Off Sound               | NV_LOGO_MELODY_I                               | choice |
// | Display Themes                   | NV_DISPLAY_SET_I                               | choice |
// | Main / Front LCD Wallpaper       | NV_DISPLAY_SCREEN_I / NV_PHONE_SETUP_I         | choice |
// | Answer Options                   | NV_AUTO_ANSWER_I, first byte                   | choice |
// | Primary / Secondary DNS IP       | NV_BREW_PRIMARY_IP_I / NV_BREW_SECONDARY_IP_I  | address |
// | BREW Primary / Secondary IP/URL  | NV_BREW_PRIMARY_SERVER_IP_I / ..._SECONDARY_..., 32 characters | text |
// | BKey                             | NV_BREW_BKEY_I, 16 bytes as 32 hex digits      | key   |
// | BREW Carrier ID                  | NV_BREW_CARRIER_ID_I, 0-255                    | number |
// | User Authentication Flag         | NV_BREW_APP_POLICY_I                           | choice |
// | Use Akey or BKey                 | NV_BREW_USER_AUTH_I                            | choice |
// | BREW Test Enable / MIN for SID   | NV_BREW_WFLAGS_I, bytes 0 / 1                  | choice |
// | BREW Platform ID                 | NV_BREW_PLATFORM_ID_I, 0-9999                  | number |
// | Service Provide ID               | NV_PREFCARRIER_INFO_I, 16 characters           | text  |
// | Call Vibrate                     | NV_MSG_VIBRATE_ALERT_I                         | choice |
// | MMS Inbox Auto Download          | NV_MMS_SETTINGS_AUTO_DOWN_I                    | choice |
// | MMS Notification Alert           | NV_MMS_SETTINGS_PHOTO_ALERT_I, "Off".."Vibrate" list | choice |
// | MMS MMSC's Name and IP Address   | NV_MMS_MMSC_SERVER_NAME_IP_I, 47 characters    | text  |
// | MMS Support CB Number            | NV_MMS_CALLBACK_NUMBER_SUPPORT_I               | choice |
// | MMS Subscribed                   | NV_MMS_SUBSCRIBED_PROVISIONED_FOR_1XRTT_I      | choice |
// | MMS Retry Number                 | NV_MMS_NUMBER_OF_RETRIED_TO_SEND_RETRIEVE_I, 0-255 | number |
// | MMS User Agent Profile's URL     | NV_MMS_UAPROF_URL_IN_USER_AGENT_I, 47 characters | text |
// | MMS Upload Address               | NV_MMS_UPLOAD_ADDR_I, 47 characters            | text  |
// | MMS Sending From Field Type      | NV_MMS_FROM_ADD_I, first byte                  | choice |
// | USER ID / USER PASSWORD          | NV_PPP_USER_ID_I (64) / NV_PAP_PASSWORD_I (14) | text  |
//
// Masks: "#" is one digit; free text uses "*" for each character it may hold.
#include <string>
#include <vector>

#include "nv/nv_catalogue.h"
#include "nv/nv_editor_fields.h"

namespace zk::nv::editor {
namespace {

std::vector<std::string> Split(std::string_view list) {
  std::vector<std::string> entries;
  while (true) {
    const auto bar = list.find('|');
    entries.emplace_back(list.substr(0, bar));
    if (bar == std::string_view::npos) return entries;
    list.remove_prefix(bar + 1);
  }
}

uint16_t Item(const char* name) { return ItemNumber(name).value_or(kNoItem); }

std::string Repeat(char c, std::size_t count) { return std::string(count, c); }

Field Choice(const char* item, std::string_view list, uint8_t offset = 0) {
  Field field;
  field.item = Item(item);
  field.offset = offset;
  field.format = Format::Choice;
  field.choices = Split(list);
  return field;
}

Field Number(const char* item, uint8_t offset, uint8_t width, std::string mask, uint32_t maximum,
             Check check = Check::None) {
  Field field;
  field.item = Item(item);
  field.offset = offset;
  field.size = width;
  field.mask = std::move(mask);
  field.maximum = maximum;
  field.check = check;
  return field;
}

Field Text(const char* item, uint8_t room, bool digitsOnly, Check check = Check::None) {
  Field field;
  field.item = Item(item);
  field.size = room;
  field.format = Format::Text;
  field.mask = Repeat(digitsOnly ? '#' : '*', room);
  field.check = check;
  return field;
}

Field Of(const char* item, Format format, uint8_t offset, uint8_t size, std::string mask) {
  Field field;
  field.item = Item(item);
  field.offset = offset;
  field.size = size;
  field.format = format;
  field.mask = std::move(mask);
  return field;
}

Field Counter(uint8_t number) {
  Field field;
  field.offset = number;
  field.format = Format::Counter;
  return field;
}

constexpr const char* kOnOff = "Off|On";
constexpr const char* kRingtones =
    "Low Beep Once|Low Beeps|Loud Beep Once|Loud Beeps|Ringtone 1|Ringtone 2|Ringtone 3|Ringtone 4|Ringtone 5|"
    "Ringtone 6|Ringtone 7|Ringtone 8|Ringtone 9|Ringtone 10|No Ring|Download";
constexpr const char* kRings =
    "Low Beep Once|Low Beeps|Loud Beep Once|Load Beeps|Ring1|Ring2|Ring3|Ring4|Ring5|Ring6|Ring7|Ring8|Ring9|Ring10";
constexpr const char* kKeypad = "Off|Low|Medium Low|Medium|Medium High|High";
constexpr const char* kLevels = "Low|Medium Low|Medium|Medium High|High";
constexpr const char* kWallpapers = "Wallpaper_1|Wallpaper_2|Wallpaper_3|Wallpaper_4|Download";
constexpr const char* kNotification = "Off|Low|Medium Low|Medium|Medium High|High|High & Vib|Vibrate";

std::string Numbers(int first, int last) {
  std::string list;
  for (int n = first; n <= last; ++n) list += (n == first ? "" : "|") + std::to_string(n);
  return list;
}

std::vector<RowDef> MakeNamRows(bool editorOption) {
  std::vector<RowDef> rows = {
      {"MOBILE CONTRY CODE", {Of("NV_IMSI_MCC_I", Format::Digits3, 0, 2, "###")}},
      {"IMSI 11 12(Default 00)", {Of("NV_IMSI_11_12_I", Format::Digits2, 0, 1, "##")}},
      {"AREA CODE(CDMA,AMPS)",
       {Of("NV_MIN2_I", Format::Digits3, 0, 2, "###"), Of("NV_MIN2_I", Format::Digits3, 2, 2, "###")}},
      {"PHONE NUMBER(CDMA,AMPS)",
       {Of("NV_MIN1_I", Format::Min1, 0, 4, "###-####"), Of("NV_MIN1_I", Format::Min1, 4, 4, "###-####")}},
      {"DIR NUMBER", {Text("NV_DIR_NUMBER_I", 10, true)}},
      {"CDMA HOME SID", {Number("NV_HOME_SID_NID_I", 0, 2, "#####", 32767)}},
      {"CURRENT NAM", {Choice("NV_CURR_NAM_I", "1|2")}},
      {"SLOT CYCLE INDEX", {Choice("NV_SLOT_CYCLE_INDEX_I", Numbers(0, 7))}},
      {"ACCOLC", {Choice("NV_ACCOLC_I", editorOption ? Numbers(0, 9) : Numbers(0, 15))}},
      {"NAM NAME", {Of("NV_NAME_NAM_I", Format::Text, 0, 12, Repeat('*', 16))}},
  };
  for (auto& row : rows)
    for (auto& cell : row.cells)
      if (cell.format == Format::Choice) cell.mask = "#";
  if (editorOption) return rows;

  rows.push_back({"Primary CDMA Channel",
                  {Number("NV_PCDMACH_I", 0, 2, "####", 2047), Number("NV_PCDMACH_I", 2, 2, "####", 2047)}});
  rows.push_back({"Secondary CDMA Channel",
                  {Number("NV_SCDMACH_I", 0, 2, "####", 2047), Number("NV_SCDMACH_I", 2, 2, "####", 2047)}});
  Field pref = Choice("NV_SYSTEM_PREF_I", "HOME ONLY|AUTOMATIC A|AUTOMATIC B");
  pref.format = Format::SystemPref;
  rows.push_back({"SYSTEM PREF", {pref}});
  RowDef lock{"SID NID LOCK", {}};
  for (uint8_t pair = 0; pair < 10; ++pair) {
    lock.cells.push_back(Number("NV_SID_NID_LOCK_I", static_cast<uint8_t>(4 * pair), 2, "#####", 32767));
    lock.cells.push_back(Number("NV_SID_NID_LOCK_I", static_cast<uint8_t>(4 * pair + 2), 2, "#####", 65535));
  }
  rows.push_back(lock);
  RowDef sidLock{"CDMA SID LOCK", {}};
  for (uint8_t n = 0; n < 10; ++n)
    sidLock.cells.push_back(Number("NV_CDMA_SID_LOCK_I", static_cast<uint8_t>(2 * n), 2, "#####", 32767));
  rows.push_back(sidLock);
  for (const auto& [label, item] : {std::pair{"MOB TERM HOME", "NV_MOB_TERM_HOME_I"},
                                    std::pair{"MOB TERM FOR NID", "NV_MOB_TERM_FOR_NID_I"},
                                    std::pair{"MOB TERM FOR SID", "NV_MOB_TERM_FOR_SID_I"}}) {
    Field first = Choice(item, "True|False", 0), second = Choice(item, "True|False", 1);
    first.format = second.format = Format::OnOff;
    rows.push_back({label, {first, second}});
  }
  return rows;
}

std::vector<RowDef> MakePhoneRows() {
  Field primaryDns = Of("NV_BREW_PRIMARY_IP_I", Format::Address, 0, 4, "###.###.###.###");
  primaryDns.check = Check::DnsFirst;
  Field secondaryDns = Of("NV_BREW_SECONDARY_IP_I", Format::Address, 0, 4, "###.###.###.###");
  secondaryDns.check = Check::DnsSecond;
  return {
      {"HOME TIMER", {Counter(2)}},
      {"HOME COUNT", {Counter(3)}},
      {"ROAM TIMER", {Counter(6)}},
      {"ROAM COUNT", {Counter(7)}},
      {"LAST TIMER", {Counter(0)}},
      {"Caller ID Ringtone", {Choice("NV_RINGER_TYPE_I", kRingtones)}},
      {"No Caller ID Ringtone", {Choice("NV_SOUND_RINGERS_I", kRingtones)}},
      {"Restrict Calls Ringtone", {Choice("NV_RINGER_ID_ONOFF_I", kRings)}},
      {"DTMF Tones", {Choice("NV_CONT_KEY_DTMF_I", "Long|Normal")}},
      {"Master Volume",
       {Choice("NV_RINGER_LVL_I", "Sounds Off|Alarm Only|Vibrate Only|Low|Medium Low|Medium|Medium High|High")}},
      {"Master Volume-Carkit", {Choice("NV_RINGER_SPKR_LVL_I", kLevels)}},
      {"Keypad Volume", {Choice("NV_BEEP_LVL_I", kKeypad)}, "NO Setting"},
      {"Keypad Volume-Carkit", {Choice("NV_BEEP_SPKR_LVL_I", kLevels)}, "NO Setting"},
      {"Keypad Volume-Earjack", {Choice("NV_BEEP_LVL_SHADOW_I", kKeypad)}, "NO Setting"},
      {"Earpiece Volume", {Choice("NV_EAR_LVL_I", kLevels)}},
      {"Earpiece Volume-Carkit", {Choice("NV_SPEAKER_LVL_I", kLevels)}},
      {"Earpiece Volume-Earjack", {Choice("NV_EAR_LVL_SHADOW_I", kLevels)}},
      {"Minute Beep Alert", {Choice("NV_SOUND_ALERTS_I", kOnOff)}},
      {"Service Change Alert", {Choice("NV_SVC_AREA_ALERT_I", kOnOff)}},
      {"Call Connect Alert", {Choice("NV_CALL_CONNECT_ALERT_I", kOnOff)}},
      {"Main LCD Backlight",
       {Choice("NV_BACK_LIGHT_I", "7 seconds|15 seconds|30 seconds|Always on|Always off")}},
      {"Front LCD Backlight", {Choice("NV_SUB_BACKLIGHT_I", "7 seconds|15 seconds|30 seconds|Always off")}},
      {"Main LCD Banner", {Text("NV_BANNER_I", 12, false)}},
      {"Front LCD Banner", {Text("NV_SUB_BANNER_I", 12, false)}},
      {"SMS CALLBACK", {Text("NV_SMS_CB_I", 32, true)}},
      {"Auto Retry", {Choice("NV_AUTO_REDIAL_I", "Off|10 Sec|30 Sec|60 Sec")}},
      {"One-Touch Dial", {Choice("NV_ONETOUCH_DIAL_I", kOnOff)}},
      {"Auto Volume", {Choice("NV_AUTO_VOLUME_ENABLED_I", kOnOff)}},
      {"Lock Phone", {Choice("NV_AUTO_LOCK_I", "Unlock|Lock|On Power Up")}},
      {"Auto NAM", {Choice("NV_AUTO_NAM_I", kOnOff)}},
      {"Power On/Off Sound", {Choice("NV_LOGO_MELODY_I", kOnOff)}},
      {"Display Themes", {Choice("NV_DISPLAY_SET_I", "Default|Business|Tropical|Blue")}},
      {"Main LCD Wallpaper", {Choice("NV_DISPLAY_SCREEN_I", kWallpapers)}},
      {"Front LCD Wallpaper", {Choice("NV_PHONE_SETUP_I", kWallpapers)}},
      {"Answer Options", {Choice("NV_AUTO_ANSWER_I", "Flip Open|Any Key|Send Only|Auto Answer")}},
      {"Primary DNS IP", {primaryDns}},
      {"Secondary DNS IP", {secondaryDns}},
      {"BREW Primary IP/URL", {Text("NV_BREW_PRIMARY_SERVER_IP_I", 32, false, Check::BrewServer)}},
      {"BREW Secondary IP/URL", {Text("NV_BREW_SECONDARY_SERVER_IP_I", 32, false, Check::BrewServer)}},
      {"BKey", {Of("NV_BREW_BKEY_I", Format::Key, 0, 16, Repeat('*', 32))}},
      {"BREW Carrier ID", {Number("NV_BREW_CARRIER_ID_I", 0, 4, "###", 255, Check::BrewCarrierId)}},
      {"User Authentication Flag",
       {Choice("NV_BREW_APP_POLICY_I", "Apolicy_none|Apolicy_sid|Apolicy_text|Apolicy_num")}},
      {"Use Akey or BKey", {Choice("NV_BREW_USER_AUTH_I", "BKey|AKey")}},
      {"BREW Test Enable", {Choice("NV_BREW_WFLAGS_I", "Disabled|Enabled", 0)}},
      {"MIN for SID", {Choice("NV_BREW_WFLAGS_I", "No|Yes", 1)}},
      {"BREW Platform ID", {Number("NV_BREW_PLATFORM_ID_I", 0, 4, "####", 9999, Check::BrewPlatformId)}},
      {"Service Provide ID", {Text("NV_PREFCARRIER_INFO_I", 16, false)}},
      {"Call Vibrate", {Choice("NV_MSG_VIBRATE_ALERT_I", kOnOff)}},
      {"MMS Inbox Auto Download", {Choice("NV_MMS_SETTINGS_AUTO_DOWN_I", kOnOff)}},
      {"MMS Notification Alert", {Choice("NV_MMS_SETTINGS_PHOTO_ALERT_I", kNotification)}},
      {"MMS MMSC's Name and IP Address", {Text("NV_MMS_MMSC_SERVER_NAME_IP_I", 47, false)}},
      {"MMS Support CB Number", {Choice("NV_MMS_CALLBACK_NUMBER_SUPPORT_I", kOnOff)}},
      {"MMS Subscribed", {Choice("NV_MMS_SUBSCRIBED_PROVISIONED_FOR_1XRTT_I", kOnOff)}},
      {"MMS Retry Number", {Number("NV_MMS_NUMBER_OF_RETRIED_TO_SEND_RETRIEVE_I", 0, 1, "###", 255)}},
      {"MMS User Agent Profile's URL", {Text("NV_MMS_UAPROF_URL_IN_USER_AGENT_I", 47, false)}},
      {"MMS Upload Address", {Text("NV_MMS_UPLOAD_ADDR_I", 47, false)}},
      {"MMS Sending From Field Type", {Choice("NV_MMS_FROM_ADD_I", "MDN Only|1MDN|+1MDN")}},
      {"USER ID", {Text("NV_PPP_USER_ID_I", 64, false)}},
      {"USER PASSWORD", {Text("NV_PAP_PASSWORD_I", 14, false)}},
  };
}

bool ShownOnCalibrationPage(std::string_view name) {
  static const char* const kExact[] = {
      "NV_HW_CONFIG_I", "NV_RF_CONFIG_I", "NV_FM_AGC_SET_VS_FREQ_I", "NV_FM_FREQ_SENSE_GAIN_I",
      "NV_CDMA_RX_COMP_VS_FREQ_I", "NV_CDMA_TX_LIM_VS_TEMP_I", "NV_CDMA_TX_LIM_VS_FREQ_I", "NV_CDMA_RX_LIN_VS_TEMP_I",
      "NV_FM_AGC_ADJ_VS_FREQ_I", "NV_LNA_RANGE_RISE_I", "NV_LNA_RANGE_FALL_I", "NV_LNA_RANGE_OFFSET_I",
      "NV_FM_RSSI_I", "NV_QDSP_SND_CTRL_I", "NV_VBATT_I", "NV_THERM_I", "NV_SUBPCG_PA_WARMUP_DELAY_I",
      "NV_CDMA_IM2_Q_VALUE_I"};
  for (const char* exact : kExact)
    if (name == exact) return true;
  // The families shown whole: both bands' counterparts and tables.
  static const char* const kParts[] = {"_R1_", "_R2_", "_R3_", "AUDIO_ADJ_", "ENC_BTF", "TX_LIN_MASTER", "TX_COMP",
                                       "LNA_RANGE_2_", "LNA_RANGE_12_", "IM_LEVEL", "RF_DELAY", "RF_LOSS",
                                       "VGA_GAIN_OFFSET", "LNA_3_"};
  for (const char* part : kParts)
    if (name.find(part) != std::string_view::npos) return true;
  static const char* const kPcs[] = {"NV_PCS_RX_COMP_VS_FREQ_I", "NV_PCS_TX_LIM_VS_TEMP_I", "NV_PCS_TX_LIM_VS_FREQ_I",
                                     "NV_PCS_RX_LIN_VS_TEMP_I", "NV_PCS_LNA_RANGE_RISE_I", "NV_PCS_LNA_RANGE_FALL_I",
                                     "NV_PCS_LNA_RANGE_OFFSET_I"};
  for (const char* pcs : kPcs)
    if (name == pcs) return true;
  return false;
}

}  // namespace

const std::vector<RowDef>& NamRows(bool editorOption) {
  static const std::vector<RowDef> full = MakeNamRows(false);
  static const std::vector<RowDef> shortened = MakeNamRows(true);
  return editorOption ? shortened : full;
}

const std::vector<RowDef>& PhoneRows() {
  static const std::vector<RowDef> rows = MakePhoneRows();
  return rows;
}

std::vector<uint16_t> CalibrationItems() {
  std::vector<uint16_t> items;
  for (const CatalogueItem& entry : CalibrationList())
    if (ShownOnCalibrationPage(entry.name)) items.push_back(entry.item);
  return items;
}

}  // namespace zk::nv::editor
