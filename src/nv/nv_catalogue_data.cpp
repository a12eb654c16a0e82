// The catalogue's constant data: every list in the order the passes walk it,
// and the value size of each item. Sizes marked "chosen" are not published
// for this handset platform; they were picked to hold the value the handset
// answers and to fit the 128-byte data field (a NAM entry also carries its
// index byte). Changing a size, the order of kItemValues or a fixed offset
// moves slots in the NV image and so changes the .bak layout: don't.
#include "nv/nv_catalogue_data.h"

namespace zk::nv::data {
namespace {

// Calibration and factory data, read first on every pass.
constexpr CatalogueItem kCalibration[] = {
    {0, "NV_ESN_I"},
    {90, "NV_VBATT_I"},
    {141, "NV_THERM_I"},
    {114, "NV_FACTORY_INFO_I"},
    {568, "NV_SYS_SW_VER_I"},
    {569, "NV_RF_CAL_VER_I"},
    {570, "NV_RF_CONFIG_VER_I"},
    {571, "NV_RF_CAL_DATE_I"},
    {572, "NV_RF_NV_LOADED_DATE_I"},
    {573, "NV_RF_CAL_DAT_FILE_I"},
    {453, "NV_FTM_MODE_I"},
    {7, "NV_MOB_FIRM_REV_I"},
    {8, "NV_MOB_MODEL_I"},
    {148, "NV_RF_CONFIG_I"},
    {198, "NV_HW_CONFIG_I"},
    {121, "NV_FM_AGC_SET_VS_PWR_I"},
    {122, "NV_FM_AGC_SET_VS_FREQ_I"},
    {123, "NV_FM_AGC_SET_VS_TEMP_I"},
    {146, "NV_FM_AGC_ADJ_VS_FREQ_I"},
    {206, "NV_FM_EXP_HDET_VS_TEMP_I"},
    {124, "NV_FM_EXP_HDET_VS_PWR_I"},
    {125, "NV_FM_ERR_SLP_VS_PWR_I"},
    {194, "NV_FM_AGC_I"},
    {126, "NV_FM_FREQ_SENSE_GAIN_I"},
    {95, "NV_FM_RSSI_I"},
    {2058, "NV_FM_FSG_COMP_VS_FREQ_I"},
    {2059, "NV_FM_FSG_VS_TEMP_I"},
    {2068, "NV_FM_PWR_LEVEL7_VS_FREQ_I"},
    {2069, "NV_FM_PWR_LEVEL56_VS_FREQ_I"},
    {2070, "NV_FM_PWR_LEVEL012_VS_TEMP_I"},
    {2347, "NV_FM_PWR_LEVEL_34_VS_FREQ_I"},
    {325, "NV_PCS_RX_LIN_OFF_0_I"},
    {326, "NV_PCS_RX_LIN_SLP_I"},
    {327, "NV_PCS_RX_COMP_VS_FREQ_I"},
    {328, "NV_PCS_TX_COMP_VS_FREQ_I"},
    {431, "NV_PCS_TX_LIN_MASTER0_I"},
    {432, "NV_PCS_TX_LIN_MASTER1_I"},
    {433, "NV_PCS_TX_LIN_MASTER2_I"},
    {434, "NV_PCS_TX_LIN_MASTER3_I"},
    {435, "NV_PCS_PA_RANGE_OFFSETS_I"},
    {329, "NV_PCS_TX_LIN_MASTER_OFF_0_I"},
    {330, "NV_PCS_TX_LIN_MASTER_SLP_I"},
    {436, "NV_PCS_TX_COMP0_I"},
    {437, "NV_PCS_TX_COMP1_I"},
    {438, "NV_PCS_TX_COMP2_I"},
    {439, "NV_PCS_TX_COMP3_I"},
    {331, "NV_PCS_TX_LIN_VS_TEMP_I"},
    {332, "NV_PCS_TX_LIM_VS_TEMP_I"},
    {333, "NV_PCS_TX_LIM_VS_FREQ_I"},
    {2067, "NV_PCS_TX_LIM_VS_TEMP_FREQ_I"},
    {2073, "NV_PCS_TX_LIM_VS_TEMP_FREQ_2_I"},
    {334, "NV_PCS_EXP_HDET_VS_AGC_I"},
    {335, "NV_PCS_HDET_OFF_I"},
    {336, "NV_PCS_HDET_SPN_I"},
    {337, "NV_PCS_R1_RISE_I"},
    {338, "NV_PCS_R1_FALL_I"},
    {339, "NV_PCS_R2_RISE_I"},
    {340, "NV_PCS_R2_FALL_I"},
    {341, "NV_PCS_R3_RISE_I"},
    {342, "NV_PCS_R3_FALL_I"},
    {343, "NV_PCS_PA_RANGE_STEP_CAL_I"},
    {346, "NV_PCS_LNA_RANGE_POL_I"},
    {347, "NV_PCS_LNA_RANGE_RISE_I"},
    {348, "NV_PCS_LNA_RANGE_FALL_I"},
    {349, "NV_PCS_LNA_RANGE_OFFSET_I"},
    {387, "NV_PCS_LNA_RANGE_2_RISE_I"},
    {388, "NV_PCS_LNA_RANGE_2_FALL_I"},
    {389, "NV_PCS_LNA_RANGE_12_OFFSET_I"},
    {392, "NV_PCS_IM_LEVEL1_I"},
    {393, "NV_PCS_IM_LEVEL2_I"},
    {715, "NV_PCS_IM_LEVEL3_I"},
    {716, "NV_PCS_IM_LEVEL4_I"},
    {390, "NV_PCS_NONBYPASS_TIMER_I"},
    {391, "NV_PCS_BYPASS_TIMER_I"},
    {394, "NV_PCS_CDMA_LNA_OFFSET_VS_FREQ_I"},
    {395, "NV_PCS_CDMA_LNA_12_OFFSET_VS_FREQ_I"},
    {396, "NV_PCS_AGC_PHASE_OFFSET_I"},
    {350, "NV_PCS_RX_LIN_VS_TEMP_I"},
    {351, "NV_PCS_ADJ_FACTOR_I"},
    {355, "NV_PCS_RX_SLP_VS_TEMP_I"},
    {356, "NV_PCS_TX_SLP_VS_TEMP_I"},
    {357, "NV_PCS_RX_AGC_MINMAX_I"},
    {397, "NV_PCS_RX_AGC_MIN_11_I"},
    {445, "NV_PCS_ENC_BTF_I"},
    {443, "NV_GPS1_GPS_RF_DELAY_I"},
    {444, "NV_GPS1_CDMA_RF_DELAY_I"},
    {449, "NV_GPS1_GPS_RF_LOSS_I"},
    {555, "NV_GPS1_LO_CAL_I"},
    {557, "NV_GPS1_PCS_RF_DELAY_I"},
    {736, "NV_GPS_DOPP_SDEV_I"},
    {556, "NV_GPS1_ANT_OFF_DB_I"},
    {127, "NV_CDMA_RX_LIN_OFF_0_I"},
    {128, "NV_CDMA_RX_LIN_SLP_I"},
    {129, "NV_CDMA_RX_COMP_VS_FREQ_I"},
    {130, "NV_CDMA_TX_COMP_VS_FREQ_I"},
    {367, "NV_CDMA_TX_LIN_MASTER0_I"},
    {368, "NV_CDMA_TX_LIN_MASTER1_I"},
    {369, "NV_CDMA_TX_LIN_MASTER2_I"},
    {370, "NV_CDMA_TX_LIN_MASTER3_I"},
    {410, "NV_PA_RANGE_OFFSETS_I"},
    {132, "NV_CDMA_TX_LIN_MASTER_OFF_0_I"},
    {133, "NV_CDMA_TX_LIN_MASTER_SLP_I"},
    {411, "NV_TX_COMP0_I"},
    {420, "NV_TX_COMP1_I"},
    {421, "NV_TX_COMP2_I"},
    {422, "NV_TX_COMP3_I"},
    {134, "NV_CDMA_TX_LIN_VS_TEMP_I"},
    {136, "NV_CDMA_TX_LIM_VS_TEMP_I"},
    {138, "NV_CDMA_TX_LIM_VS_FREQ_I"},
    {139, "NV_CDMA_EXP_HDET_VS_AGC_I"},
    {143, "NV_HDET_OFF_I"},
    {144, "NV_HDET_SPN_I"},
    {149, "NV_R1_RISE_I"},
    {150, "NV_R1_FALL_I"},
    {151, "NV_R2_RISE_I"},
    {152, "NV_R2_FALL_I"},
    {153, "NV_R3_RISE_I"},
    {154, "NV_R3_FALL_I"},
    {155, "NV_PA_RANGE_STEP_CAL_I"},
    {156, "NV_LNA_RANGE_POL_I"},
    {157, "NV_LNA_RANGE_RISE_I"},
    {158, "NV_LNA_RANGE_FALL_I"},
    {159, "NV_LNA_RANGE_OFFSET_I"},
    {376, "NV_LNA_RANGE_2_RISE_I"},
    {377, "NV_LNA_RANGE_2_FALL_I"},
    {378, "NV_LNA_RANGE_12_OFFSET_I"},
    {381, "NV_IM_LEVEL1_I"},
    {382, "NV_IM_LEVEL2_I"},
    {585, "NV_IM_LEVEL3_I"},
    {586, "NV_IM_LEVEL4_I"},
    {379, "NV_NONBYPASS_TIMER_I"},
    {380, "NV_BYPASS_TIMER_I"},
    {383, "NV_CDMA_LNA_OFFSET_VS_FREQ_I"},
    {384, "NV_CDMA_LNA_12_OFFSET_VS_FREQ_I"},
    {385, "NV_AGC_PHASE_OFFSET_I"},
    {199, "NV_CDMA_RX_LIN_VS_TEMP_I"},
    {200, "NV_CDMA_ADJ_FACTOR_I"},
    {202, "NV_CDMA_RX_SLP_VS_TEMP_I"},
    {203, "NV_CDMA_TX_SLP_VS_TEMP_I"},
    {247, "NV_RX_AGC_MINMAX_I"},
    {386, "NV_RX_AGC_MIN_11_I"},
    {446, "NV_CDMA_ENC_BTF_I"},
    {448, "NV_SUBPCG_PA_WARMUP_DELAY_I"},
    {590, "NV_CDMA_LNA_3_FALL_I"},
    {591, "NV_CDMA_LNA_3_OFFSET_I"},
    {592, "NV_CDMA_LNA_3_RISE_I"},
    {593, "NV_CDMA_LNA_3_OFFSET_VS_FREQ_I"},
    {594, "NV_PCS_LNA_3_FALL_I"},
    {595, "NV_PCS_LNA_3_OFFSET_I"},
    {596, "NV_PCS_LNA_3_RISE_I"},
    {597, "NV_PCS_LNA_3_OFFSET_VS_FREQ_I"},
    {598, "NV_CDMA_LNA_4_FALL_I"},
    {599, "NV_CDMA_LNA_4_OFFSET_I"},
    {600, "NV_CDMA_LNA_4_RISE_I"},
    {601, "NV_CDMA_LNA_4_OFFSET_VS_FREQ_I"},
    {602, "NV_PCS_LNA_4_FALL_I"},
    {603, "NV_PCS_LNA_4_OFFSET_I"},
    {604, "NV_PCS_LNA_4_RISE_I"},
    {605, "NV_PCS_LNA_4_OFFSET_VS_FREQ_I"},
    {606, "NV_DFM_LNA_FALL_I"},
    {607, "NV_DFM_LNA_OFFSET_I"},
    {608, "NV_DFM_LNA_RISE_I"},
    {609, "NV_DFM_LNA_OFFSET_VS_FREQ_I"},
    {613, "NV_DFM_IM_LEVEL1_I"},
    {837, "NV_CDMA_IM2_TRANSCONDUCTOR_VALUE_I"},
    {838, "NV_PCS_IM2_TRANSCONDUCTOR_VALUE_I"},
    {839, "NV_LNA_NON_BYPASS_TIMER_0_I"},
    {840, "NV_LNA_NON_BYPASS_TIMER_1_I"},
    {841, "NV_LNA_NON_BYPASS_TIMER_2_I"},
    {842, "NV_LNA_NON_BYPASS_TIMER_3_I"},
    {843, "NV_LNA_BYPASS_TIMER_0_I"},
    {844, "NV_LNA_BYPASS_TIMER_1_I"},
    {845, "NV_LNA_BYPASS_TIMER_2_I"},
    {846, "NV_LNA_BYPASS_TIMER_3_I"},
    {1195, "NV_PCS_LNA_BYPASS_TIMER_0_I"},
    {687, "NV_CDMA_IM2_I_VALUE_I"},
    {688, "NV_PCS_IM2_I_VALUE_I"},
    {689, "NV_CDMA_IM2_Q_VALUE_I"},
    {690, "NV_PCS_IM2_Q_VALUE_I"},
    {692, "NV_FM_VGA_GAIN_OFFSET_I"},
    {693, "NV_CDMA_VGA_GAIN_OFFSET_I"},
    {694, "NV_PCS_VGA_GAIN_OFFSET_I"},
    {695, "NV_FM_VGA_GAIN_OFFSET_VS_FREQ_I"},
    {696, "NV_CDMA_VGA_GAIN_OFFSET_VS_FREQ_I"},
    {697, "NV_PCS_VGA_GAIN_OFFSET_VS_FREQ_I"},
    {698, "NV_FM_VGA_GAIN_OFFSET_VS_TEMP_I"},
    {699, "NV_CDMA_VGA_GAIN_OFFSET_VS_TEMP_I"},
    {700, "NV_PCS_VGA_GAIN_OFFSET_VS_TEMP_I"},
    {701, "NV_FM_MIS_COMP_A_OFFSET_I"},
    {702, "NV_DIGITAL_MIS_COMP_A_OFFSET_I"},
    {703, "NV_GPS_MIS_COMP_A_OFFSET_I"},
    {704, "NV_FM_MIS_COMP_B_OFFSET_I"},
    {705, "NV_DIGITAL_MIS_COMP_B_OFFSET_I"},
    {706, "NV_GPS_MIS_COMP_B_OFFSET_I"},
    {828, "NV_DFM_LNA_BYPASS_TIMER_I"},
    {829, "NV_DFM_LNA_NONBYPASS_TIMER_I"},
    {878, "NV_CDMA_DYNAMIC_RANGE_I"},
    {879, "NV_CDMA_MIN_RX_RSSI_I"},
    {884, "NV_TX_WARMUP_I"},
    {931, "NV_VCO_COARSE_TUNE_TABLE_I"},
    {2060, "NV_QDSP_SND_CTRL_I"},
    {2061, "NV_AUDIO_ADJ_PHONE_I"},
    {2062, "NV_AUDIO_ADJ_EARJACK_I"},
    {2063, "NV_AUDIO_ADJ_HFK_I"},
};

// User and carrier settings.
constexpr CatalogueItem kSettings[] = {
    {5, "NV_SLOT_CYCLE_INDEX_I"},
    {179, "NV_VOICE_PRIV_I"},
    {296, "NV_SPC_CHANGE_ENABLED_I"},
    {2138, "NV_SMS_PRIORITY_SEL_I"},
    {2139, "NV_SMS_DELIVERY_SEL_I"},
    {2142, "NV_SMS_MO_MAX_USERDATA_I"},
    {2143, "NV_SMS_MO_L3_ACK_I"},
    {2144, "NV_SMS_MO_SO_I"},
    {2146, "NV_SMS_SIGNATURE_SEL_I"},
    {2147, "NV_SMS_DIRECTVIEW_SEL_I"},
    {2332, "NV_SMS_VOICE_MAIL_I"},
    {2152, "NV_SMS_TEXTMSG_ALERT_I"},
    {2154, "NV_SMS_PAGE_ALERT_I"},
    {2168, "NV_SMS_2MIN_ALERT_SEL_I"},
    {2121, "NV_MSG_AUTO_SAVE_SEL_I"},
    {2122, "NV_MSG_AUTO_DELETE_I"},
    {2123, "NV_MSG_EDIT_MODE_I"},
    {2176, "NV_MMS_SETTINGS_AUTO_DOWN_I"},
    {2177, "NV_MMS_SETTINGS_PHOTO_ALERT_I"},
    {2186, "NV_MMS_IP_I"},
    {2188, "NV_MMS_SETTINGS_DELIVERY_ACK_I"},
    {2178, "NV_MMS_MMSC_SERVER_NAME_IP_I"},
    {2179, "NV_MMS_GATEWAY_SERVER_NAME_IP_I"},
    {2180, "NV_MMS_HTTP_METHOD_URI_I"},
    {2185, "NV_MMS_UAPROF_URL_IN_USER_AGENT_I"},
    {240, "NV_DATA_QNC_ENABLED_I"},
    {241, "NV_DATA_SO_SET_I"},
    {297, "NV_DATA_MDR_MODE_I"},
    {298, "NV_DATA_PKT_ORIG_STR_I"},
    {300, "NV_DATA_AUTO_PACKET_DETECTION_I"},
    {911, "NV_PPP_USER_ID_I"},
    {906, "NV_PPP_PASSWORD_I"},
    {405, "NV_PREF_FOR_RC_I"},
    {429, "NV_DATA_SCRM_ENABLED_I"},
    {450, "NV_DATA_TRTL_ENABLED_I"},
    {454, "NV_DS_DEFAULT_BAUDRATE_I"},
    {455, "NV_DIAG_DEFAULT_BAUDRATE_I"},
    {2302, "NV_PPP_CARRIER_I"},
    {82, "NV_LOCK_CODE_I"},
    {85, "NV_SEC_CODE_I"},
    {2311, "NV_SEC_CODE2_I"},
    {184, "NV_FSC_I"},
    {219, "NV_OTKSL_I"},
    {2313, "NV_MINLOCK_I"},
    {2307, "NV_CARRIER_SEL_I"},
    {2304, "NV_PREFCARRIER_MODE_I"},
    {2305, "NV_PREFCARRIER_LIST_I"},
    {2306, "NV_PREFCARRIER_INFO_I"},
    {71, "NV_BANNER_I"},
    {2036, "NV_SUB_BANNER_I"},
    {64, "NV_RINGER_LVL_I"},
    {65, "NV_BEEP_LVL_I"},
    {62, "NV_EAR_LVL_I"},
    {63, "NV_SPEAKER_LVL_I"},
    {229, "NV_RINGER_SPKR_LVL_I"},
    {230, "NV_BEEP_SPKR_LVL_I"},
    {164, "NV_BEEP_LVL_SHADOW_I"},
    {165, "NV_EAR_LVL_SHADOW_I"},
    {2336, "NV_SPEAKER_SHADOW_I"},
    {301, "NV_AUTO_VOLUME_ENABLED_I"},
    {84, "NV_CALL_RSTRC_I"},
    {83, "NV_AUTO_LOCK_I"},
    {81, "NV_LOCK_I"},
    {42, "NV_AUTO_NAM_I"},
    {40, "NV_CURR_NAM_I"},
    {75, "NV_AUTO_REDIAL_I"},
    {74, "NV_AUTO_ANSWER_I"},
    {145, "NV_ONETOUCH_DIAL_I"},
    {67, "NV_CONT_KEY_DTMF_I"},
    {77, "NV_BACK_LIGHT_I"},
    {2023, "NV_SUB_BACKLIGHT_I"},
    {2001, "NV_CALL_CONNECT_ALERT_I"},
    {171, "NV_SEND_PIN_I"},
    {227, "NV_LANGUAGE_SELECTION_I"},
    {2002, "NV_CARRIER_LOGO_I"},
    {2003, "NV_LOGO_MELODY_I"},
    {2004, "NV_SOUND_RINGERS_I"},
    {2005, "NV_SILENCE_ALL_I"},
    {2006, "NV_SOUND_ALERTS_I"},
    {2007, "NV_KEY_LIGHT_I"},
    {2009, "NV_DISPLAY_SET_I"},
    {2010, "NV_DISPLAY_SCREEN_I"},
    {2011, "NV_CONTRAST_LVL_I"},
    {2012, "NV_LOCATION_SET_I"},
    {2013, "NV_MESSAGING_SET_I"},
    {2016, "NV_SMS_SOUND_I"},
    {2017, "NV_MANNER_MODE_I"},
    {2019, "NV_EMERGENCY_NUM1_I"},
    {2020, "NV_EMERGENCY_NUM2_I"},
    {2021, "NV_EMERGENCY_NUM3_I"},
    {2022, "NV_BACKTOP_BEEP_I"},
    {2014, "NV_PHONE_SETUP_I"},
    {2015, "NV_WCLOCK_CHOICE_I"},
    {2028, "NV_POWER_SAVER_I"},
    {2030, "NV_DCAM_PHOTO_SETTING_RQS_I"},
    {2031, "NV_DCAM_VIDEO_SETTING_RQ_I"},
    {2038, "NV_ANNOUNCE_ALERTS_I"},
    {2039, "NV_DRIVING_MODE_I"},
    {2040, "NV_ADAPT_MODE_I"},
    {2041, "NV_VOICE_COMMAND_I"},
    {2042, "NV_BEST_MATCH_I"},
    {2043, "NV_CADAPT_MODE_I"},
    {2045, "NV_VR_HREPEAT_I"},
    {2046, "NV_ANNOUNCE_MODE_I"},
    {2348, "NV_MP3REPEAT_OPTION_I"},
    {907, "NV_CAM_FLASH_I"},
    {72, "NV_LCD_I"},
    {2074, "NV_FW_CAMERA_COLOR_TUNING_I"},
    {2075, "NV_FW_CAMERA_NS_COLOR_TUNING_I"},
    {2076, "NV_FW_CAMERA_ETC_COLOR_TUNING_I"},
    {2077, "NV_CMX_MP3_LVL_I"},
    {2078, "NV_CMX_MP3_LVL_SHADOW_I"},
    {2206, "NV_BREW_BKEY_I"},
    {2207, "NV_BREW_WFLAGS_I"},
    {2208, "NV_BREW_USER_AUTH_I"},
    {2209, "NV_BREW_APP_POLICY_I"},
    {2205, "NV_BREW_CARRIER_ID_I"},
    {2203, "NV_BREW_PRIMARY_IP_I"},
    {2204, "NV_BREW_SECONDARY_IP_I"},
    {2201, "NV_BREW_PRIMARY_SERVER_IP_I"},
    {2202, "NV_BREW_SECONDARY_SERVER_IP_I"},
    {2339, "NV_PTT_BUDDY_VERSION_I"},
    {2340, "NV_PTT_GROUP_VERSION_I"},
    {2341, "NV_PTT_ENABLE_I"},
    {2342, "NV_SPEAKER_PHONE_I"},
    {2343, "NV_PTT_DIR_NUMBER_I"},
    {2344, "NV_PTT_DATA_CABLE_I"},
    {2345, "NV_PTT_PRI_URL_I"},
    {2346, "NV_PTT_SEC_URL_I"},
    {2349, "NV_PTT_ALERT_I"},
    {2350, "NV_PTT_ENABLE_TIMER_I"},
    {452, "NV_GPS1_LOCK_I"},
    {401, "NV_GPS1_PDE_ADDRESS_I"},
    {426, "NV_GPS1_PDE_PORT_I"},
    {318, "NV_PAP_USER_ID_I"},
    {423, "NV_PRIMARY_DNS_I"},
    {424, "NV_SECONDARY_DNS_I"},
    {415, "NV_MM_LVL_I"},
    {416, "NV_MM_LVL_SHADOW_I"},
    {417, "NV_MM_SPEAKER_LVL_I"},
    {409, "NV_TTY_I"},
    {163, "NV_RINGER_LVL_SHADOW_I"},
    {166, "NV_TIME_SHOW_I"},
    {221, "NV_RINGER_TYPE_I"},
    {408, "NV_SIO_DEV_MAP_MENU_ITEM_I"},
    {2008, "NV_EDIT_FONT_I"},
    {2018, "NV_NUMBER_SIZE_I"},
    {2024, "NV_STATUS_LED_I"},
    {2025, "NV_DEFAULT_CONTRAST_ADJUST_I"},
    {2029, "NV_DCAMVIEO_SEC_I"},
    {2032, "NV_DCAM_VIDEO_BRAND_I"},
    {2033, "NV_DCAM_VIDEO_STREAM_VIDEO_I"},
    {2034, "NV_DCAM_VIDEO_STREAM_AUDIO_I"},
    {2035, "NV_DCAM_VIDEO_SHORT_HEADER_I"},
    {2026, "NV_RINGER_ID_ONOFF_I"},
    {2027, "NV_PICTURE_ID_ONOFF_I"},
    {2100, "NV_PRL_VERSION_I"},
    {2101, "NV_ERI_VERSION_I"},
    {2124, "NV_MSG_VIBRATE_ALERT_I"},
    {2136, "NV_SMS_DEFERRED_SEL_I"},
    {2137, "NV_SMS_VALIDITY_SEL_I"},
    {2140, "NV_SMS_DEFAULT_CB_I"},
    {2141, "NV_SMS_ORIG_MSG_ID_I"},
    {2145, "NV_SMS_VOICE_RECORD_I"},
    {2148, "NV_SMS_MO_CAUSECODE_I"},
    {2149, "NV_SMS_EMS_CONCAT_REFERENCE_I"},
    {2150, "NV_SMS_EMS_FILESYSTEM_ID_I"},
    {2151, "NV_SMS_VOICEMAIL_ALERT_I"},
    {2153, "NV_SMS_EMAIL_ALERT_I"},
    {2155, "NV_SMS_INFO_ALERT_I"},
    {2156, "NV_SMS_MO_ERRORCLASS_I"},
    {2157, "NV_SMS_READ_ACK_I"},
    {2158, "NV_SMS_FONT_SIZE_I"},
    {2159, "NV_SMS_CB_I"},
    {2160, "NV_SMS_AUTO_PLAY_I"},
    {2161, "NV_SMS_EMS_ENABLE_I"},
    {2162, "NV_SMS_EMS_SEG_WAITING_I"},
    {2163, "NV_SMS_EMS_SEG_NUM_I"},
    {2164, "NV_SMS_EMS_OBJ_ENABLE_I"},
    {2165, "NV_SMS_CBS_ENABLE_I"},
    {2166, "NV_SMS_URGENT_VOICE_RECORD_I"},
    {2167, "NV_SMS_MO_ACCESS_I"},
    {2181, "NV_MMS_CALLBACK_NUMBER_SUPPORT_I"},
    {2182, "NV_MMS_SUBSCRIBED_PROVISIONED_FOR_1XRTT_I"},
    {2183, "NV_MMS_DEFAULT_RESOLUTION_I"},
    {2184, "NV_MMS_NUMBER_OF_RETRIED_TO_SEND_RETRIEVE_I"},
    {2187, "NV_MMS_SETTINGS_READ_ACK_I"},
    {2189, "NV_MMS_UPLOAD_ADDR_I"},
    {2190, "NV_MMS_FROM_ADD_I"},
    {2191, "NV_MMS_MESSAGE_MAX_LEN_I"},
    {2210, "NV_BREW_KEY_EXP_I"},
    {2211, "NV_BREW_PLATFORM_ID_I"},
    {2301, "NV_USED_PACKET_AMOUNT_I"},
    {242, "NV_UP_LINK_INFO_I"},
    {57, "NV_DIAL_I"},
    {2, "NV_VERNO_MAJ_I"},
    {3, "NV_VERNO_MIN_I"},
    {4, "NV_SCM_I"},
};

// Items kept per NAM, read for NAM 0 and NAM 1.
constexpr CatalogueItem kNam[] = {
    {32, "NV_MIN1_I"},
    {33, "NV_MIN2_I"},
    {178, "NV_DIR_NUMBER_I"},
    {176, "NV_IMSI_MCC_I"},
    {177, "NV_IMSI_11_12_I"},
    {10, "NV_PREF_MODE_I"},
    {441, "NV_BAND_PREF_I"},
    {442, "NV_ROAM_PREF_I"},
    {256, "NV_PRL_ENABLED_I"},
    {258, "NV_SYSTEM_PREF_I"},
    {259, "NV_HOME_SID_NID_I"},
    {255, "NV_SID_NID_LOCK_I"},
    {20, "NV_PCDMACH_I"},
    {21, "NV_SCDMACH_I"},
    {231, "NV_MRU2_TABLE_I"},
    {15, "NV_ANALOG_SID_LOCK_I"},
    {16, "NV_ANALOG_SID_ACQ_I"},
    {17, "NV_ANALOG_FIRSTCHP_I"},
    {18, "NV_ANALOG_HOME_SID_I"},
    {19, "NV_ANALOG_REG_I"},
    {24, "NV_NAM_CHKSUM_I"},
    {37, "NV_ACCOLC_I"},
    {34, "NV_MOB_TERM_HOME_I"},
    {35, "NV_MOB_TERM_FOR_SID_I"},
    {36, "NV_MOB_TERM_FOR_NID_I"},
    {39, "NV_MIN_CHKSUM_I"},
    {285, "NV_PREF_VOICE_SO_I"},
    {25, "NV_A_KEY_I"},
    {27, "NV_SSD_A_I"},
    {29, "NV_SSD_B_I"},
    {31, "NV_COUNT_I"},
    {260, "NV_OTAPA_ENABLED_I"},
    {261, "NV_NAM_LOCK_I"},
    {264, "NV_IMSI_T_MCC_I"},
    {265, "NV_IMSI_T_11_12_I"},
    {266, "NV_IMSI_T_ADDR_NUM_I"},
    {262, "NV_IMSI_T_S1_I"},
    {263, "NV_IMSI_T_S2_I"},
    {43, "NV_NAME_NAM_I"},
    {13, "NV_CDMA_SID_LOCK_I"},
    {14, "NV_CDMA_SID_ACQ_I"},
    {53, "NV_AIR_TIMER_I"},
    {54, "NV_ROAM_TIMER_I"},
    {66, "NV_CALL_BEEP_I"},
    {69, "NV_SVC_AREA_ALERT_I"},
    {70, "NV_CALL_FADE_ALERT_I"},
    {2037, "NV_ALARM_ONLY_MODE_I"},
    {76, "NV_AUTO_HYPHEN_I"},
    {169, "NV_ROAM_CNT_I"},
    {192, "NV_CALL_TIMER_G_I"},
    {52, "NV_CALL_TIMER_I"},
    {22, "NV_PPCNCH_I"},
    {23, "NV_SPCNCH_I"},
    {11, "NV_CDMA_PREF_SERV_I"},
    {12, "NV_ANALOG_PREF_SERV_I"},
    {168, "NV_AIR_CNT_I"},
};

constexpr CatalogueItem kLock[] = {{82, "NV_LOCK_CODE_I"}};
constexpr CatalogueItem kNamIdentity[] = {
    {32, "NV_MIN1_I"}, {33, "NV_MIN2_I"}, {176, "NV_IMSI_MCC_I"}, {177, "NV_IMSI_11_12_I"}, {178, "NV_DIR_NUMBER_I"},
};
constexpr CatalogueItem kAuthentication[] = {
    {25, "NV_A_KEY_I"}, {27, "NV_SSD_A_I"}, {29, "NV_SSD_B_I"}, {31, "NV_COUNT_I"},
    {32, "NV_MIN1_I"},  {33, "NV_MIN2_I"},  {219, "NV_OTKSL_I"}, {37, "NV_ACCOLC_I"},
};

// One row per item number, in first-appearance order; the slots of items
// without a fixed offset are placed in this order (nv_catalogue.cpp).
constexpr ItemValue kItemValues[] = {
    // item, value bytes, per NAM, size chosen, fixed offset (kPlaced: assigned)
    {0, 4, false, false, 1183},  // NV_ESN_I
    {90, 2, false, false, kPlaced},  // NV_VBATT_I
    {141, 2, false, false, kPlaced},  // NV_THERM_I
    {114, 100, false, false, kPlaced},  // NV_FACTORY_INFO_I
    {568, 16, false, true, kPlaced},  // NV_SYS_SW_VER_I
    {569, 16, false, true, kPlaced},  // NV_RF_CAL_VER_I
    {570, 16, false, true, kPlaced},  // NV_RF_CONFIG_VER_I
    {571, 4, false, true, kPlaced},  // NV_RF_CAL_DATE_I
    {572, 4, false, true, kPlaced},  // NV_RF_NV_LOADED_DATE_I
    {573, 16, false, true, kPlaced},  // NV_RF_CAL_DAT_FILE_I
    {453, 1, false, false, kPlaced},  // NV_FTM_MODE_I
    {7, 2, false, false, kPlaced},  // NV_MOB_FIRM_REV_I
    {8, 1, false, false, kPlaced},  // NV_MOB_MODEL_I
    {148, 1, false, false, kPlaced},  // NV_RF_CONFIG_I
    {198, 4, false, false, kPlaced},  // NV_HW_CONFIG_I
    {121, 8, false, true, kPlaced},  // NV_FM_AGC_SET_VS_PWR_I
    {122, 16, false, false, kPlaced},  // NV_FM_AGC_SET_VS_FREQ_I
    {123, 8, false, false, kPlaced},  // NV_FM_AGC_SET_VS_TEMP_I
    {146, 16, false, false, kPlaced},  // NV_FM_AGC_ADJ_VS_FREQ_I
    {206, 8, false, false, kPlaced},  // NV_FM_EXP_HDET_VS_TEMP_I
    {124, 8, false, true, kPlaced},  // NV_FM_EXP_HDET_VS_PWR_I
    {125, 8, false, true, kPlaced},  // NV_FM_ERR_SLP_VS_PWR_I
    {194, 2, false, true, kPlaced},  // NV_FM_AGC_I
    {126, 1, false, false, kPlaced},  // NV_FM_FREQ_SENSE_GAIN_I
    {95, 2, false, false, kPlaced},  // NV_FM_RSSI_I
    {2058, 16, false, true, kPlaced},  // NV_FM_FSG_COMP_VS_FREQ_I
    {2059, 8, false, true, kPlaced},  // NV_FM_FSG_VS_TEMP_I
    {2068, 16, false, true, kPlaced},  // NV_FM_PWR_LEVEL7_VS_FREQ_I
    {2069, 16, false, true, kPlaced},  // NV_FM_PWR_LEVEL56_VS_FREQ_I
    {2070, 8, false, true, kPlaced},  // NV_FM_PWR_LEVEL012_VS_TEMP_I
    {2347, 16, false, true, kPlaced},  // NV_FM_PWR_LEVEL_34_VS_FREQ_I
    {325, 1, false, true, kPlaced},  // NV_PCS_RX_LIN_OFF_0_I
    {326, 32, false, true, kPlaced},  // NV_PCS_RX_LIN_SLP_I
    {327, 16, false, true, kPlaced},  // NV_PCS_RX_COMP_VS_FREQ_I
    {328, 16, false, true, kPlaced},  // NV_PCS_TX_COMP_VS_FREQ_I
    {431, 32, false, true, kPlaced},  // NV_PCS_TX_LIN_MASTER0_I
    {432, 32, false, true, kPlaced},  // NV_PCS_TX_LIN_MASTER1_I
    {433, 32, false, true, kPlaced},  // NV_PCS_TX_LIN_MASTER2_I
    {434, 32, false, true, kPlaced},  // NV_PCS_TX_LIN_MASTER3_I
    {435, 8, false, true, kPlaced},  // NV_PCS_PA_RANGE_OFFSETS_I
    {329, 1, false, true, kPlaced},  // NV_PCS_TX_LIN_MASTER_OFF_0_I
    {330, 32, false, true, kPlaced},  // NV_PCS_TX_LIN_MASTER_SLP_I
    {436, 16, false, true, kPlaced},  // NV_PCS_TX_COMP0_I
    {437, 16, false, true, kPlaced},  // NV_PCS_TX_COMP1_I
    {438, 16, false, true, kPlaced},  // NV_PCS_TX_COMP2_I
    {439, 16, false, true, kPlaced},  // NV_PCS_TX_COMP3_I
    {331, 8, false, true, kPlaced},  // NV_PCS_TX_LIN_VS_TEMP_I
    {332, 8, false, true, kPlaced},  // NV_PCS_TX_LIM_VS_TEMP_I
    {333, 16, false, true, kPlaced},  // NV_PCS_TX_LIM_VS_FREQ_I
    {2067, 16, false, true, kPlaced},  // NV_PCS_TX_LIM_VS_TEMP_FREQ_I
    {2073, 16, false, true, kPlaced},  // NV_PCS_TX_LIM_VS_TEMP_FREQ_2_I
    {334, 17, false, true, kPlaced},  // NV_PCS_EXP_HDET_VS_AGC_I
    {335, 1, false, true, kPlaced},  // NV_PCS_HDET_OFF_I
    {336, 1, false, true, kPlaced},  // NV_PCS_HDET_SPN_I
    {337, 1, false, true, kPlaced},  // NV_PCS_R1_RISE_I
    {338, 1, false, true, kPlaced},  // NV_PCS_R1_FALL_I
    {339, 1, false, true, kPlaced},  // NV_PCS_R2_RISE_I
    {340, 1, false, true, kPlaced},  // NV_PCS_R2_FALL_I
    {341, 1, false, true, kPlaced},  // NV_PCS_R3_RISE_I
    {342, 1, false, true, kPlaced},  // NV_PCS_R3_FALL_I
    {343, 1, false, true, kPlaced},  // NV_PCS_PA_RANGE_STEP_CAL_I
    {346, 1, false, true, kPlaced},  // NV_PCS_LNA_RANGE_POL_I
    {347, 1, false, true, kPlaced},  // NV_PCS_LNA_RANGE_RISE_I
    {348, 1, false, true, kPlaced},  // NV_PCS_LNA_RANGE_FALL_I
    {349, 2, false, true, kPlaced},  // NV_PCS_LNA_RANGE_OFFSET_I
    {387, 1, false, true, kPlaced},  // NV_PCS_LNA_RANGE_2_RISE_I
    {388, 1, false, true, kPlaced},  // NV_PCS_LNA_RANGE_2_FALL_I
    {389, 2, false, true, kPlaced},  // NV_PCS_LNA_RANGE_12_OFFSET_I
    {392, 1, false, true, kPlaced},  // NV_PCS_IM_LEVEL1_I
    {393, 1, false, true, kPlaced},  // NV_PCS_IM_LEVEL2_I
    {715, 1, false, true, kPlaced},  // NV_PCS_IM_LEVEL3_I
    {716, 1, false, true, kPlaced},  // NV_PCS_IM_LEVEL4_I
    {390, 2, false, true, kPlaced},  // NV_PCS_NONBYPASS_TIMER_I
    {391, 2, false, true, kPlaced},  // NV_PCS_BYPASS_TIMER_I
    {394, 16, false, true, kPlaced},  // NV_PCS_CDMA_LNA_OFFSET_VS_FREQ_I
    {395, 16, false, true, kPlaced},  // NV_PCS_CDMA_LNA_12_OFFSET_VS_FREQ_I
    {396, 2, false, true, kPlaced},  // NV_PCS_AGC_PHASE_OFFSET_I
    {350, 8, false, true, kPlaced},  // NV_PCS_RX_LIN_VS_TEMP_I
    {351, 2, false, true, kPlaced},  // NV_PCS_ADJ_FACTOR_I
    {355, 8, false, true, kPlaced},  // NV_PCS_RX_SLP_VS_TEMP_I
    {356, 8, false, true, kPlaced},  // NV_PCS_TX_SLP_VS_TEMP_I
    {357, 2, false, true, kPlaced},  // NV_PCS_RX_AGC_MINMAX_I
    {397, 1, false, true, kPlaced},  // NV_PCS_RX_AGC_MIN_11_I
    {445, 4, false, true, kPlaced},  // NV_PCS_ENC_BTF_I
    {443, 2, false, true, kPlaced},  // NV_GPS1_GPS_RF_DELAY_I
    {444, 2, false, true, kPlaced},  // NV_GPS1_CDMA_RF_DELAY_I
    {449, 2, false, true, kPlaced},  // NV_GPS1_GPS_RF_LOSS_I
    {555, 2, false, true, kPlaced},  // NV_GPS1_LO_CAL_I
    {557, 2, false, true, kPlaced},  // NV_GPS1_PCS_RF_DELAY_I
    {736, 2, false, true, kPlaced},  // NV_GPS_DOPP_SDEV_I
    {556, 2, false, true, kPlaced},  // NV_GPS1_ANT_OFF_DB_I
    {127, 2, false, false, kPlaced},  // NV_CDMA_RX_LIN_OFF_0_I
    {128, 32, false, false, kPlaced},  // NV_CDMA_RX_LIN_SLP_I
    {129, 16, false, false, kPlaced},  // NV_CDMA_RX_COMP_VS_FREQ_I
    {130, 16, false, false, kPlaced},  // NV_CDMA_TX_COMP_VS_FREQ_I
    {367, 32, false, true, kPlaced},  // NV_CDMA_TX_LIN_MASTER0_I
    {368, 32, false, true, kPlaced},  // NV_CDMA_TX_LIN_MASTER1_I
    {369, 32, false, true, kPlaced},  // NV_CDMA_TX_LIN_MASTER2_I
    {370, 32, false, true, kPlaced},  // NV_CDMA_TX_LIN_MASTER3_I
    {410, 8, false, true, kPlaced},  // NV_PA_RANGE_OFFSETS_I
    {132, 1, false, true, kPlaced},  // NV_CDMA_TX_LIN_MASTER_OFF_0_I
    {133, 32, false, true, kPlaced},  // NV_CDMA_TX_LIN_MASTER_SLP_I
    {411, 16, false, true, kPlaced},  // NV_TX_COMP0_I
    {420, 16, false, true, kPlaced},  // NV_TX_COMP1_I
    {421, 16, false, true, kPlaced},  // NV_TX_COMP2_I
    {422, 16, false, true, kPlaced},  // NV_TX_COMP3_I
    {134, 8, false, false, kPlaced},  // NV_CDMA_TX_LIN_VS_TEMP_I
    {136, 8, false, false, kPlaced},  // NV_CDMA_TX_LIM_VS_TEMP_I
    {138, 16, false, false, 2236},  // NV_CDMA_TX_LIM_VS_FREQ_I
    {139, 17, false, true, kPlaced},  // NV_CDMA_EXP_HDET_VS_AGC_I
    {143, 1, false, false, kPlaced},  // NV_HDET_OFF_I
    {144, 1, false, false, kPlaced},  // NV_HDET_SPN_I
    {149, 1, false, false, kPlaced},  // NV_R1_RISE_I
    {150, 1, false, false, kPlaced},  // NV_R1_FALL_I
    {151, 1, false, false, kPlaced},  // NV_R2_RISE_I
    {152, 1, false, false, kPlaced},  // NV_R2_FALL_I
    {153, 1, false, false, kPlaced},  // NV_R3_RISE_I
    {154, 1, false, false, kPlaced},  // NV_R3_FALL_I
    {155, 1, false, false, kPlaced},  // NV_PA_RANGE_STEP_CAL_I
    {156, 1, false, false, kPlaced},  // NV_LNA_RANGE_POL_I
    {157, 1, false, false, kPlaced},  // NV_LNA_RANGE_RISE_I
    {158, 1, false, false, kPlaced},  // NV_LNA_RANGE_FALL_I
    {159, 2, false, false, kPlaced},  // NV_LNA_RANGE_OFFSET_I
    {376, 1, false, true, kPlaced},  // NV_LNA_RANGE_2_RISE_I
    {377, 1, false, true, kPlaced},  // NV_LNA_RANGE_2_FALL_I
    {378, 2, false, true, kPlaced},  // NV_LNA_RANGE_12_OFFSET_I
    {381, 1, false, true, kPlaced},  // NV_IM_LEVEL1_I
    {382, 1, false, true, kPlaced},  // NV_IM_LEVEL2_I
    {585, 1, false, true, kPlaced},  // NV_IM_LEVEL3_I
    {586, 1, false, true, kPlaced},  // NV_IM_LEVEL4_I
    {379, 2, false, true, kPlaced},  // NV_NONBYPASS_TIMER_I
    {380, 2, false, true, kPlaced},  // NV_BYPASS_TIMER_I
    {383, 16, false, true, kPlaced},  // NV_CDMA_LNA_OFFSET_VS_FREQ_I
    {384, 16, false, true, kPlaced},  // NV_CDMA_LNA_12_OFFSET_VS_FREQ_I
    {385, 2, false, true, kPlaced},  // NV_AGC_PHASE_OFFSET_I
    {199, 8, false, false, kPlaced},  // NV_CDMA_RX_LIN_VS_TEMP_I
    {200, 2, false, true, kPlaced},  // NV_CDMA_ADJ_FACTOR_I
    {202, 8, false, false, kPlaced},  // NV_CDMA_RX_SLP_VS_TEMP_I
    {203, 8, false, false, kPlaced},  // NV_CDMA_TX_SLP_VS_TEMP_I
    {247, 2, false, true, kPlaced},  // NV_RX_AGC_MINMAX_I
    {386, 1, false, true, kPlaced},  // NV_RX_AGC_MIN_11_I
    {446, 4, false, true, kPlaced},  // NV_CDMA_ENC_BTF_I
    {448, 2, false, true, kPlaced},  // NV_SUBPCG_PA_WARMUP_DELAY_I
    {590, 1, false, true, kPlaced},  // NV_CDMA_LNA_3_FALL_I
    {591, 2, false, true, kPlaced},  // NV_CDMA_LNA_3_OFFSET_I
    {592, 1, false, true, kPlaced},  // NV_CDMA_LNA_3_RISE_I
    {593, 16, false, true, kPlaced},  // NV_CDMA_LNA_3_OFFSET_VS_FREQ_I
    {594, 1, false, true, kPlaced},  // NV_PCS_LNA_3_FALL_I
    {595, 2, false, true, kPlaced},  // NV_PCS_LNA_3_OFFSET_I
    {596, 1, false, true, kPlaced},  // NV_PCS_LNA_3_RISE_I
    {597, 16, false, true, kPlaced},  // NV_PCS_LNA_3_OFFSET_VS_FREQ_I
    {598, 1, false, true, kPlaced},  // NV_CDMA_LNA_4_FALL_I
    {599, 2, false, true, kPlaced},  // NV_CDMA_LNA_4_OFFSET_I
    {600, 1, false, true, kPlaced},  // NV_CDMA_LNA_4_RISE_I
    {601, 16, false, true, kPlaced},  // NV_CDMA_LNA_4_OFFSET_VS_FREQ_I
    {602, 1, false, true, kPlaced},  // NV_PCS_LNA_4_FALL_I
    {603, 2, false, true, kPlaced},  // NV_PCS_LNA_4_OFFSET_I
    {604, 1, false, true, kPlaced},  // NV_PCS_LNA_4_RISE_I
    {605, 16, false, true, kPlaced},  // NV_PCS_LNA_4_OFFSET_VS_FREQ_I
    {606, 1, false, true, kPlaced},  // NV_DFM_LNA_FALL_I
    {607, 2, false, true, kPlaced},  // NV_DFM_LNA_OFFSET_I
    {608, 1, false, true, kPlaced},  // NV_DFM_LNA_RISE_I
    {609, 16, false, true, kPlaced},  // NV_DFM_LNA_OFFSET_VS_FREQ_I
    {613, 1, false, true, kPlaced},  // NV_DFM_IM_LEVEL1_I
    {837, 1, false, true, kPlaced},  // NV_CDMA_IM2_TRANSCONDUCTOR_VALUE_I
    {838, 1, false, true, kPlaced},  // NV_PCS_IM2_TRANSCONDUCTOR_VALUE_I
    {839, 2, false, true, kPlaced},  // NV_LNA_NON_BYPASS_TIMER_0_I
    {840, 2, false, true, kPlaced},  // NV_LNA_NON_BYPASS_TIMER_1_I
    {841, 2, false, true, kPlaced},  // NV_LNA_NON_BYPASS_TIMER_2_I
    {842, 2, false, true, kPlaced},  // NV_LNA_NON_BYPASS_TIMER_3_I
    {843, 2, false, true, kPlaced},  // NV_LNA_BYPASS_TIMER_0_I
    {844, 2, false, true, kPlaced},  // NV_LNA_BYPASS_TIMER_1_I
    {845, 2, false, true, kPlaced},  // NV_LNA_BYPASS_TIMER_2_I
    {846, 2, false, true, kPlaced},  // NV_LNA_BYPASS_TIMER_3_I
    {1195, 2, false, true, kPlaced},  // NV_PCS_LNA_BYPASS_TIMER_0_I
    {687, 1, false, true, kPlaced},  // NV_CDMA_IM2_I_VALUE_I
    {688, 1, false, true, kPlaced},  // NV_PCS_IM2_I_VALUE_I
    {689, 1, false, true, kPlaced},  // NV_CDMA_IM2_Q_VALUE_I
    {690, 1, false, true, kPlaced},  // NV_PCS_IM2_Q_VALUE_I
    {692, 2, false, true, kPlaced},  // NV_FM_VGA_GAIN_OFFSET_I
    {693, 2, false, true, kPlaced},  // NV_CDMA_VGA_GAIN_OFFSET_I
    {694, 2, false, true, kPlaced},  // NV_PCS_VGA_GAIN_OFFSET_I
    {695, 16, false, true, kPlaced},  // NV_FM_VGA_GAIN_OFFSET_VS_FREQ_I
    {696, 16, false, true, kPlaced},  // NV_CDMA_VGA_GAIN_OFFSET_VS_FREQ_I
    {697, 16, false, true, kPlaced},  // NV_PCS_VGA_GAIN_OFFSET_VS_FREQ_I
    {698, 8, false, true, kPlaced},  // NV_FM_VGA_GAIN_OFFSET_VS_TEMP_I
    {699, 8, false, true, kPlaced},  // NV_CDMA_VGA_GAIN_OFFSET_VS_TEMP_I
    {700, 8, false, true, kPlaced},  // NV_PCS_VGA_GAIN_OFFSET_VS_TEMP_I
    {701, 2, false, true, kPlaced},  // NV_FM_MIS_COMP_A_OFFSET_I
    {702, 2, false, true, kPlaced},  // NV_DIGITAL_MIS_COMP_A_OFFSET_I
    {703, 2, false, true, kPlaced},  // NV_GPS_MIS_COMP_A_OFFSET_I
    {704, 2, false, true, kPlaced},  // NV_FM_MIS_COMP_B_OFFSET_I
    {705, 2, false, true, kPlaced},  // NV_DIGITAL_MIS_COMP_B_OFFSET_I
    {706, 2, false, true, kPlaced},  // NV_GPS_MIS_COMP_B_OFFSET_I
    {828, 2, false, true, kPlaced},  // NV_DFM_LNA_BYPASS_TIMER_I
    {829, 2, false, true, kPlaced},  // NV_DFM_LNA_NONBYPASS_TIMER_I
    {878, 1, false, true, kPlaced},  // NV_CDMA_DYNAMIC_RANGE_I
    {879, 1, false, true, kPlaced},  // NV_CDMA_MIN_RX_RSSI_I
    {884, 1, false, true, kPlaced},  // NV_TX_WARMUP_I
    {931, 16, false, true, kPlaced},  // NV_VCO_COARSE_TUNE_TABLE_I
    {2060, 8, false, true, kPlaced},  // NV_QDSP_SND_CTRL_I
    {2061, 16, false, true, kPlaced},  // NV_AUDIO_ADJ_PHONE_I
    {2062, 16, false, true, kPlaced},  // NV_AUDIO_ADJ_EARJACK_I
    {2063, 16, false, true, kPlaced},  // NV_AUDIO_ADJ_HFK_I
    {5, 1, false, false, kPlaced},  // NV_SLOT_CYCLE_INDEX_I
    {179, 1, false, false, kPlaced},  // NV_VOICE_PRIV_I
    {296, 1, false, false, kPlaced},  // NV_SPC_CHANGE_ENABLED_I
    {2138, 1, false, true, kPlaced},  // NV_SMS_PRIORITY_SEL_I
    {2139, 1, false, true, kPlaced},  // NV_SMS_DELIVERY_SEL_I
    {2142, 2, false, true, kPlaced},  // NV_SMS_MO_MAX_USERDATA_I
    {2143, 1, false, true, kPlaced},  // NV_SMS_MO_L3_ACK_I
    {2144, 2, false, true, kPlaced},  // NV_SMS_MO_SO_I
    {2146, 1, false, true, kPlaced},  // NV_SMS_SIGNATURE_SEL_I
    {2147, 1, false, true, kPlaced},  // NV_SMS_DIRECTVIEW_SEL_I
    {2332, 32, false, true, kPlaced},  // NV_SMS_VOICE_MAIL_I
    {2152, 1, false, true, kPlaced},  // NV_SMS_TEXTMSG_ALERT_I
    {2154, 1, false, true, kPlaced},  // NV_SMS_PAGE_ALERT_I
    {2168, 1, false, true, kPlaced},  // NV_SMS_2MIN_ALERT_SEL_I
    {2121, 1, false, true, kPlaced},  // NV_MSG_AUTO_SAVE_SEL_I
    {2122, 1, false, true, kPlaced},  // NV_MSG_AUTO_DELETE_I
    {2123, 1, false, true, kPlaced},  // NV_MSG_EDIT_MODE_I
    {2176, 1, false, true, kPlaced},  // NV_MMS_SETTINGS_AUTO_DOWN_I
    {2177, 1, false, true, kPlaced},  // NV_MMS_SETTINGS_PHOTO_ALERT_I
    {2186, 4, false, true, kPlaced},  // NV_MMS_IP_I
    {2188, 1, false, true, kPlaced},  // NV_MMS_SETTINGS_DELIVERY_ACK_I
    {2178, 64, false, true, kPlaced},  // NV_MMS_MMSC_SERVER_NAME_IP_I
    {2179, 64, false, true, kPlaced},  // NV_MMS_GATEWAY_SERVER_NAME_IP_I
    {2180, 64, false, true, kPlaced},  // NV_MMS_HTTP_METHOD_URI_I
    {2185, 64, false, true, kPlaced},  // NV_MMS_UAPROF_URL_IN_USER_AGENT_I
    {240, 1, false, false, kPlaced},  // NV_DATA_QNC_ENABLED_I
    {241, 1, false, false, kPlaced},  // NV_DATA_SO_SET_I
    {297, 1, false, false, kPlaced},  // NV_DATA_MDR_MODE_I
    {298, 17, false, false, kPlaced},  // NV_DATA_PKT_ORIG_STR_I
    {300, 1, false, false, kPlaced},  // NV_DATA_AUTO_PACKET_DETECTION_I
    {911, 64, false, true, kPlaced},  // NV_PPP_USER_ID_I
    {906, 64, false, true, kPlaced},  // NV_PPP_PASSWORD_I
    {405, 1, false, false, kPlaced},  // NV_PREF_FOR_RC_I
    {429, 1, false, false, kPlaced},  // NV_DATA_SCRM_ENABLED_I
    {450, 1, false, false, kPlaced},  // NV_DATA_TRTL_ENABLED_I
    {454, 1, false, true, kPlaced},  // NV_DS_DEFAULT_BAUDRATE_I
    {455, 1, false, true, kPlaced},  // NV_DIAG_DEFAULT_BAUDRATE_I
    {2302, 1, false, true, kPlaced},  // NV_PPP_CARRIER_I
    {82, 4, false, false, kPlaced},  // NV_LOCK_CODE_I
    {85, 6, false, false, kPlaced},  // NV_SEC_CODE_I
    {2311, 6, false, true, kPlaced},  // NV_SEC_CODE2_I
    {184, 6, false, true, kPlaced},  // NV_FSC_I
    {219, 6, true, false, kPlaced},  // NV_OTKSL_I
    {2313, 1, false, true, kPlaced},  // NV_MINLOCK_I
    {2307, 1, false, true, kPlaced},  // NV_CARRIER_SEL_I
    {2304, 1, false, true, kPlaced},  // NV_PREFCARRIER_MODE_I
    {2305, 32, false, true, kPlaced},  // NV_PREFCARRIER_LIST_I
    {2306, 32, false, true, kPlaced},  // NV_PREFCARRIER_INFO_I
    {71, 12, false, false, kPlaced},  // NV_BANNER_I
    {2036, 12, false, true, kPlaced},  // NV_SUB_BANNER_I
    {64, 1, false, false, kPlaced},  // NV_RINGER_LVL_I
    {65, 1, false, false, kPlaced},  // NV_BEEP_LVL_I
    {62, 1, false, false, kPlaced},  // NV_EAR_LVL_I
    {63, 1, false, false, kPlaced},  // NV_SPEAKER_LVL_I
    {229, 1, false, false, kPlaced},  // NV_RINGER_SPKR_LVL_I
    {230, 1, false, false, kPlaced},  // NV_BEEP_SPKR_LVL_I
    {164, 1, false, false, kPlaced},  // NV_BEEP_LVL_SHADOW_I
    {165, 1, false, false, kPlaced},  // NV_EAR_LVL_SHADOW_I
    {2336, 1, false, true, kPlaced},  // NV_SPEAKER_SHADOW_I
    {301, 1, false, false, kPlaced},  // NV_AUTO_VOLUME_ENABLED_I
    {84, 2, false, false, kPlaced},  // NV_CALL_RSTRC_I
    {83, 1, false, false, kPlaced},  // NV_AUTO_LOCK_I
    {81, 1, false, false, kPlaced},  // NV_LOCK_I
    {42, 1, false, false, kPlaced},  // NV_AUTO_NAM_I
    {40, 1, false, false, kPlaced},  // NV_CURR_NAM_I
    {75, 2, false, false, kPlaced},  // NV_AUTO_REDIAL_I
    {74, 2, false, false, kPlaced},  // NV_AUTO_ANSWER_I
    {145, 1, false, false, kPlaced},  // NV_ONETOUCH_DIAL_I
    {67, 1, false, false, kPlaced},  // NV_CONT_KEY_DTMF_I
    {77, 1, false, false, kPlaced},  // NV_BACK_LIGHT_I
    {2023, 1, false, true, kPlaced},  // NV_SUB_BACKLIGHT_I
    {2001, 1, false, true, kPlaced},  // NV_CALL_CONNECT_ALERT_I
    {171, 1, false, true, kPlaced},  // NV_SEND_PIN_I
    {227, 1, false, true, kPlaced},  // NV_LANGUAGE_SELECTION_I
    {2002, 1, false, true, kPlaced},  // NV_CARRIER_LOGO_I
    {2003, 1, false, true, kPlaced},  // NV_LOGO_MELODY_I
    {2004, 1, false, true, kPlaced},  // NV_SOUND_RINGERS_I
    {2005, 1, false, true, kPlaced},  // NV_SILENCE_ALL_I
    {2006, 1, false, true, kPlaced},  // NV_SOUND_ALERTS_I
    {2007, 1, false, true, kPlaced},  // NV_KEY_LIGHT_I
    {2009, 1, false, true, kPlaced},  // NV_DISPLAY_SET_I
    {2010, 1, false, true, kPlaced},  // NV_DISPLAY_SCREEN_I
    {2011, 1, false, true, kPlaced},  // NV_CONTRAST_LVL_I
    {2012, 1, false, true, kPlaced},  // NV_LOCATION_SET_I
    {2013, 1, false, true, kPlaced},  // NV_MESSAGING_SET_I
    {2016, 1, false, true, kPlaced},  // NV_SMS_SOUND_I
    {2017, 1, false, true, kPlaced},  // NV_MANNER_MODE_I
    {2019, 16, false, true, kPlaced},  // NV_EMERGENCY_NUM1_I
    {2020, 16, false, true, kPlaced},  // NV_EMERGENCY_NUM2_I
    {2021, 16, false, true, kPlaced},  // NV_EMERGENCY_NUM3_I
    {2022, 1, false, true, kPlaced},  // NV_BACKTOP_BEEP_I
    {2014, 1, false, true, kPlaced},  // NV_PHONE_SETUP_I
    {2015, 1, false, true, kPlaced},  // NV_WCLOCK_CHOICE_I
    {2028, 1, false, true, kPlaced},  // NV_POWER_SAVER_I
    {2030, 8, false, true, kPlaced},  // NV_DCAM_PHOTO_SETTING_RQS_I
    {2031, 8, false, true, kPlaced},  // NV_DCAM_VIDEO_SETTING_RQ_I
    {2038, 1, false, true, kPlaced},  // NV_ANNOUNCE_ALERTS_I
    {2039, 1, false, true, kPlaced},  // NV_DRIVING_MODE_I
    {2040, 1, false, true, kPlaced},  // NV_ADAPT_MODE_I
    {2041, 1, false, true, kPlaced},  // NV_VOICE_COMMAND_I
    {2042, 1, false, true, kPlaced},  // NV_BEST_MATCH_I
    {2043, 1, false, true, kPlaced},  // NV_CADAPT_MODE_I
    {2045, 1, false, true, kPlaced},  // NV_VR_HREPEAT_I
    {2046, 1, false, true, kPlaced},  // NV_ANNOUNCE_MODE_I
    {2348, 1, false, true, kPlaced},  // NV_MP3REPEAT_OPTION_I
    {907, 1, false, true, kPlaced},  // NV_CAM_FLASH_I
    {72, 1, false, false, kPlaced},  // NV_LCD_I
    {2074, 32, false, true, kPlaced},  // NV_FW_CAMERA_COLOR_TUNING_I
    {2075, 32, false, true, kPlaced},  // NV_FW_CAMERA_NS_COLOR_TUNING_I
    {2076, 32, false, true, kPlaced},  // NV_FW_CAMERA_ETC_COLOR_TUNING_I
    {2077, 1, false, true, kPlaced},  // NV_CMX_MP3_LVL_I
    {2078, 1, false, true, kPlaced},  // NV_CMX_MP3_LVL_SHADOW_I
    {2206, 16, false, true, 7748},  // NV_BREW_BKEY_I
    {2207, 4, false, true, kPlaced},  // NV_BREW_WFLAGS_I
    {2208, 1, false, true, kPlaced},  // NV_BREW_USER_AUTH_I
    {2209, 1, false, true, kPlaced},  // NV_BREW_APP_POLICY_I
    {2205, 4, false, true, kPlaced},  // NV_BREW_CARRIER_ID_I
    {2203, 4, false, true, kPlaced},  // NV_BREW_PRIMARY_IP_I
    {2204, 4, false, true, kPlaced},  // NV_BREW_SECONDARY_IP_I
    {2201, 64, false, true, kPlaced},  // NV_BREW_PRIMARY_SERVER_IP_I
    {2202, 64, false, true, kPlaced},  // NV_BREW_SECONDARY_SERVER_IP_I
    {2339, 4, false, true, kPlaced},  // NV_PTT_BUDDY_VERSION_I
    {2340, 4, false, true, kPlaced},  // NV_PTT_GROUP_VERSION_I
    {2341, 1, false, true, kPlaced},  // NV_PTT_ENABLE_I
    {2342, 1, false, true, kPlaced},  // NV_SPEAKER_PHONE_I
    {2343, 16, false, true, kPlaced},  // NV_PTT_DIR_NUMBER_I
    {2344, 1, false, true, kPlaced},  // NV_PTT_DATA_CABLE_I
    {2345, 64, false, true, kPlaced},  // NV_PTT_PRI_URL_I
    {2346, 64, false, true, kPlaced},  // NV_PTT_SEC_URL_I
    {2349, 1, false, true, kPlaced},  // NV_PTT_ALERT_I
    {2350, 2, false, true, kPlaced},  // NV_PTT_ENABLE_TIMER_I
    {452, 1, false, true, kPlaced},  // NV_GPS1_LOCK_I
    {401, 4, false, false, kPlaced},  // NV_GPS1_PDE_ADDRESS_I
    {426, 4, false, false, kPlaced},  // NV_GPS1_PDE_PORT_I
    {318, 128, false, true, kPlaced},  // NV_PAP_USER_ID_I
    {423, 4, false, false, kPlaced},  // NV_PRIMARY_DNS_I
    {424, 4, false, false, kPlaced},  // NV_SECONDARY_DNS_I
    {415, 1, false, true, kPlaced},  // NV_MM_LVL_I
    {416, 1, false, true, kPlaced},  // NV_MM_LVL_SHADOW_I
    {417, 1, false, true, kPlaced},  // NV_MM_SPEAKER_LVL_I
    {409, 1, false, true, kPlaced},  // NV_TTY_I
    {163, 1, false, false, kPlaced},  // NV_RINGER_LVL_SHADOW_I
    {166, 1, false, false, kPlaced},  // NV_TIME_SHOW_I
    {221, 1, false, false, kPlaced},  // NV_RINGER_TYPE_I
    {408, 1, false, true, kPlaced},  // NV_SIO_DEV_MAP_MENU_ITEM_I
    {2008, 1, false, true, kPlaced},  // NV_EDIT_FONT_I
    {2018, 1, false, true, kPlaced},  // NV_NUMBER_SIZE_I
    {2024, 1, false, true, kPlaced},  // NV_STATUS_LED_I
    {2025, 1, false, true, kPlaced},  // NV_DEFAULT_CONTRAST_ADJUST_I
    {2029, 1, false, true, kPlaced},  // NV_DCAMVIEO_SEC_I
    {2032, 1, false, true, kPlaced},  // NV_DCAM_VIDEO_BRAND_I
    {2033, 1, false, true, kPlaced},  // NV_DCAM_VIDEO_STREAM_VIDEO_I
    {2034, 1, false, true, kPlaced},  // NV_DCAM_VIDEO_STREAM_AUDIO_I
    {2035, 1, false, true, kPlaced},  // NV_DCAM_VIDEO_SHORT_HEADER_I
    {2026, 1, false, true, kPlaced},  // NV_RINGER_ID_ONOFF_I
    {2027, 1, false, true, kPlaced},  // NV_PICTURE_ID_ONOFF_I
    {2100, 2, false, true, kPlaced},  // NV_PRL_VERSION_I
    {2101, 2, false, true, kPlaced},  // NV_ERI_VERSION_I
    {2124, 1, false, true, kPlaced},  // NV_MSG_VIBRATE_ALERT_I
    {2136, 1, false, true, kPlaced},  // NV_SMS_DEFERRED_SEL_I
    {2137, 1, false, true, kPlaced},  // NV_SMS_VALIDITY_SEL_I
    {2140, 32, false, true, kPlaced},  // NV_SMS_DEFAULT_CB_I
    {2141, 2, false, true, kPlaced},  // NV_SMS_ORIG_MSG_ID_I
    {2145, 1, false, true, kPlaced},  // NV_SMS_VOICE_RECORD_I
    {2148, 1, false, true, kPlaced},  // NV_SMS_MO_CAUSECODE_I
    {2149, 2, false, true, kPlaced},  // NV_SMS_EMS_CONCAT_REFERENCE_I
    {2150, 2, false, true, kPlaced},  // NV_SMS_EMS_FILESYSTEM_ID_I
    {2151, 1, false, true, kPlaced},  // NV_SMS_VOICEMAIL_ALERT_I
    {2153, 1, false, true, kPlaced},  // NV_SMS_EMAIL_ALERT_I
    {2155, 1, false, true, kPlaced},  // NV_SMS_INFO_ALERT_I
    {2156, 1, false, true, kPlaced},  // NV_SMS_MO_ERRORCLASS_I
    {2157, 1, false, true, kPlaced},  // NV_SMS_READ_ACK_I
    {2158, 1, false, true, kPlaced},  // NV_SMS_FONT_SIZE_I
    {2159, 1, false, true, kPlaced},  // NV_SMS_CB_I
    {2160, 1, false, true, kPlaced},  // NV_SMS_AUTO_PLAY_I
    {2161, 1, false, true, kPlaced},  // NV_SMS_EMS_ENABLE_I
    {2162, 1, false, true, kPlaced},  // NV_SMS_EMS_SEG_WAITING_I
    {2163, 1, false, true, kPlaced},  // NV_SMS_EMS_SEG_NUM_I
    {2164, 1, false, true, kPlaced},  // NV_SMS_EMS_OBJ_ENABLE_I
    {2165, 1, false, true, kPlaced},  // NV_SMS_CBS_ENABLE_I
    {2166, 1, false, true, kPlaced},  // NV_SMS_URGENT_VOICE_RECORD_I
    {2167, 1, false, true, kPlaced},  // NV_SMS_MO_ACCESS_I
    {2181, 1, false, true, kPlaced},  // NV_MMS_CALLBACK_NUMBER_SUPPORT_I
    {2182, 1, false, true, kPlaced},  // NV_MMS_SUBSCRIBED_PROVISIONED_FOR_1XRTT_I
    {2183, 1, false, true, kPlaced},  // NV_MMS_DEFAULT_RESOLUTION_I
    {2184, 1, false, true, kPlaced},  // NV_MMS_NUMBER_OF_RETRIED_TO_SEND_RETRIEVE_I
    {2187, 1, false, true, kPlaced},  // NV_MMS_SETTINGS_READ_ACK_I
    {2189, 64, false, true, kPlaced},  // NV_MMS_UPLOAD_ADDR_I
    {2190, 64, false, true, kPlaced},  // NV_MMS_FROM_ADD_I
    {2191, 4, false, true, kPlaced},  // NV_MMS_MESSAGE_MAX_LEN_I
    {2210, 4, false, true, kPlaced},  // NV_BREW_KEY_EXP_I
    {2211, 4, false, true, kPlaced},  // NV_BREW_PLATFORM_ID_I
    {2301, 4, false, true, kPlaced},  // NV_USED_PACKET_AMOUNT_I
    {242, 32, false, true, kPlaced},  // NV_UP_LINK_INFO_I
    {57, 51, false, false, kPlaced},  // NV_DIAL_I
    {2, 1, false, false, kPlaced},  // NV_VERNO_MAJ_I
    {3, 1, false, false, kPlaced},  // NV_VERNO_MIN_I
    {4, 1, false, false, kPlaced},  // NV_SCM_I
    {32, 8, true, false, 792},  // NV_MIN1_I
    {33, 4, true, false, 810},  // NV_MIN2_I
    {178, 10, true, false, 916},  // NV_DIR_NUMBER_I
    {176, 2, true, false, kPlaced},  // NV_IMSI_MCC_I
    {177, 1, true, false, kPlaced},  // NV_IMSI_11_12_I
    {10, 1, true, false, kPlaced},  // NV_PREF_MODE_I
    {441, 2, true, true, kPlaced},  // NV_BAND_PREF_I
    {442, 1, true, true, kPlaced},  // NV_ROAM_PREF_I
    {256, 1, true, false, kPlaced},  // NV_PRL_ENABLED_I
    {258, 1, true, false, kPlaced},  // NV_SYSTEM_PREF_I
    {259, 80, true, false, kPlaced},  // NV_HOME_SID_NID_I
    {255, 40, true, false, kPlaced},  // NV_SID_NID_LOCK_I
    {20, 4, true, false, kPlaced},  // NV_PCDMACH_I
    {21, 4, true, false, kPlaced},  // NV_SCDMACH_I
    {231, 120, true, true, kPlaced},  // NV_MRU2_TABLE_I
    {15, 20, true, false, kPlaced},  // NV_ANALOG_SID_LOCK_I
    {16, 2, true, false, kPlaced},  // NV_ANALOG_SID_ACQ_I
    {17, 2, true, false, kPlaced},  // NV_ANALOG_FIRSTCHP_I
    {18, 2, true, false, kPlaced},  // NV_ANALOG_HOME_SID_I
    {19, 1, true, false, kPlaced},  // NV_ANALOG_REG_I
    {24, 2, true, false, kPlaced},  // NV_NAM_CHKSUM_I
    {37, 2, true, false, 866},  // NV_ACCOLC_I
    {34, 2, true, false, kPlaced},  // NV_MOB_TERM_HOME_I
    {35, 2, true, false, kPlaced},  // NV_MOB_TERM_FOR_SID_I
    {36, 2, true, false, kPlaced},  // NV_MOB_TERM_FOR_NID_I
    {39, 4, true, false, kPlaced},  // NV_MIN_CHKSUM_I
    {285, 7, true, false, kPlaced},  // NV_PREF_VOICE_SO_I
    {25, 8, true, false, 720},  // NV_A_KEY_I
    {27, 8, true, false, 744},  // NV_SSD_A_I
    {29, 8, true, false, 768},  // NV_SSD_B_I
    {31, 1, true, false, 1062},  // NV_COUNT_I
    {260, 1, true, false, kPlaced},  // NV_OTAPA_ENABLED_I
    {261, 1, true, false, kPlaced},  // NV_NAM_LOCK_I
    {264, 2, true, false, kPlaced},  // NV_IMSI_T_MCC_I
    {265, 1, true, false, kPlaced},  // NV_IMSI_T_11_12_I
    {266, 1, true, false, kPlaced},  // NV_IMSI_T_ADDR_NUM_I
    {262, 4, true, false, kPlaced},  // NV_IMSI_T_S1_I
    {263, 2, true, false, kPlaced},  // NV_IMSI_T_S2_I
    {43, 12, true, false, kPlaced},  // NV_NAME_NAM_I
    {13, 20, true, false, kPlaced},  // NV_CDMA_SID_LOCK_I
    {14, 2, true, false, kPlaced},  // NV_CDMA_SID_ACQ_I
    {53, 4, true, false, kPlaced},  // NV_AIR_TIMER_I
    {54, 4, true, false, kPlaced},  // NV_ROAM_TIMER_I
    {66, 1, true, false, kPlaced},  // NV_CALL_BEEP_I
    {69, 1, true, false, kPlaced},  // NV_SVC_AREA_ALERT_I
    {70, 1, true, false, kPlaced},  // NV_CALL_FADE_ALERT_I
    {2037, 1, true, true, kPlaced},  // NV_ALARM_ONLY_MODE_I
    {76, 1, true, false, kPlaced},  // NV_AUTO_HYPHEN_I
    {169, 4, true, false, kPlaced},  // NV_ROAM_CNT_I
    {192, 4, true, false, kPlaced},  // NV_CALL_TIMER_G_I
    {52, 4, true, false, kPlaced},  // NV_CALL_TIMER_I
    {22, 4, true, false, kPlaced},  // NV_PPCNCH_I
    {23, 4, true, false, kPlaced},  // NV_SPCNCH_I
    {11, 1, true, false, kPlaced},  // NV_CDMA_PREF_SERV_I
    {12, 1, true, false, kPlaced},  // NV_ANALOG_PREF_SERV_I
    {168, 4, true, false, kPlaced},  // NV_AIR_CNT_I
};

}  // namespace

std::span<const CatalogueItem> Calibration() { return kCalibration; }
std::span<const CatalogueItem> Settings() { return kSettings; }
std::span<const CatalogueItem> Nam() { return kNam; }
std::span<const CatalogueItem> Lock() { return kLock; }
std::span<const CatalogueItem> NamIdentity() { return kNamIdentity; }
std::span<const CatalogueItem> Authentication() { return kAuthentication; }
std::span<const ItemValue> ItemValues() { return kItemValues; }

}  // namespace zk::nv::data
