// The NV editor's pages and its model over an image, without a handset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nv/nv_backup.h"
#include "nv/nv_catalogue.h"
#include "nv/nv_editor_fields.h"
#include "nv/nv_editor_model.h"
#include "support/scripted_transactor.h"

namespace {

using namespace zk::nv;
using namespace zk::nv::editor;
using zk::ui::NvEditorAfter;

uint16_t Item(const char* name) { return *ItemNumber(name); }

// Stores `bytes` as the value of `name` (NAM `index` or kNoNam) and marks it read.
void Give(CNVBackup& backup, const char* name, int index, std::vector<uint8_t> bytes) {
  const auto slot = FindSlot(Item(name));
  const std::size_t at = slot->EntryOffset(index) + (slot->perNam ? 1 : 0);
  if (slot->perNam) backup.m_image[slot->EntryOffset(index)] = static_cast<uint8_t>(index);
  std::copy(bytes.begin(), bytes.end(), backup.m_image.begin() + static_cast<std::ptrdiff_t>(at));
  backup.m_flags.SetRead(Item(name), index, 1);
}

std::optional<std::string> Parse(int page, const char* label, const std::string& text, int cell = 0) {
  const RowDef* row = FindRow(page, label, false);
  EXPECT_NE(row, nullptr) << label;
  NvImage image{};
  return ParseCell(*row, row->cells[static_cast<std::size_t>(cell)], text, image, 0);
}

TEST(NvEditorCells, RefusedValuesNameTheirRule) {
  struct Case {
    const char* label;
    std::string text;
    const char* message;  // nullptr: taken
  };
  const Case cases[] = {
      {"BREW Platform ID", "10000", "NV Item : BREW Platform ID \n  the range of this number is from  0  to 9999. "},
      {"BREW Platform ID", "9999", nullptr},
      {"BREW Carrier ID", "", "NV Item : BREW CARRIER ID \n  the range of this number is from  0  to 255. "},
      {"BREW Carrier ID", "256", "NV Item : BREW CARRIER ID \n  the range of this number is from  0  to 255. "},
      {"Primary DNS IP", "192.168.001.001", nullptr},
      {"Primary DNS IP", "192.168.1.1",
       "NV ITEM : BREW DNS IP 1 \n the Format of this item should be 'XXX.XXX.XXX.XXX'  \n And 'X' should be digit.\t"},
      {"Secondary DNS IP", "192.168.1.1",
       "NV ITEM : BREW DNS IP 2 \n the Format of this item should be 'XXX.XXX.XXX.XXX'  \n And 'X' should be digit. "},
      {"Primary DNS IP", "256.000.000.001",
       "NV ITEM : BREW DNS IP 1 \n  the Format of this item should be 'XXX.XXX.XXX.XXX' \n And Each XXX can't exceed 255"},
      {"Secondary DNS IP", "000.000.000.256",
       "NV ITEM : Secondary DNS IP \n the Format of this item should be 'XXX.XXX.XXX.XXX' \n And Each XXX can't exceed "
       "255"},
      {"Primary DNS IP", "19a.168.001.001",
       "NV ITEM : BREW DNS IP 1 \n Only following letters are allowed => digit or dot character."},
      {"BKey", std::string(31, 'a'),
       " Item : BKey \n You must input all of 32 letters \n (only following letters are allowed => '0' ~ '9', 'A' ~ "
       "'F' or 'a' ~ 'f')"},
      {"BKey", std::string(31, 'a') + "g",
       " Item : BKey \n only following letters are allowed  =>: '0' ~ '9' ,  'A' ~ 'F' or 'a' ~ 'f'"},
      {"BKey", "00112233445566778899AABBCCDDeeff", nullptr},
      {"BREW Primary IP/URL", "brew host",
       "Nv Item : BREW SERVER \n Those letters are not allowed \n only following letters are allowed => '0' ~ '9', "
       "'a' ~ 'z', 'A' ~ 'Z', '.', '_' , '-') "},
      {"BREW Primary IP/URL", "brew.test-1_x.example", nullptr},
  };
  for (const Case& c : cases) {
    const auto refused = Parse(kPhonePage, c.label, c.text);
    if (c.message == nullptr)
      EXPECT_FALSE(refused) << c.label << " " << c.text << ": " << refused.value_or("");
    else
      EXPECT_EQ(refused.value_or("(taken)"), c.message) << c.label << " " << c.text;
  }
  // Cells left empty or out of their form are refused on the NAM page too.
  for (const auto& [label, text] : std::vector<std::pair<const char*, std::string>>{
           {"MOBILE CONTRY CODE", ""}, {"MOBILE CONTRY CODE", "31"}, {"PHONE NUMBER(CDMA,AMPS)", "555-01"},
           {"ACCOLC", "16"}, {"NAM NAME", std::string(17, 'x')}, {"DIR NUMBER", "85855501a4"}})
    EXPECT_TRUE(Parse(kNamPage, label, text)) << label << " '" << text << "'";
}

TEST(NvEditorCells, DialledDigitsRoundTrip) {
  for (const char* number : {"555-0199", "000-0000", "999-9999", "212-1234"})
    EXPECT_EQ(DecodeMin1(*EncodeMin1(number)), number);
  EXPECT_EQ(*EncodeDigits("000"), 999u);  // "0" counts as ten
  EXPECT_EQ(DecodeDigits(*EncodeDigits("310"), 3), "310");
  EXPECT_EQ(DecodeDigits(*EncodeDigits("00"), 2), "00");
  EXPECT_FALSE(EncodeMin1("55501999"));
}

class NvEditorModelTest : public ::testing::Test {
 protected:
  NvEditorModelTest() : backup_(link_, {}), model_(backup_, [this] { return option_; }, [this](const std::string& m) {
                          messages_.push_back(m);
                        }) {
    model_.Open({[] { return NvEditorAfter::Refill; }, [this] {
                   ++writes_;
                   return NvEditorAfter::Refill;
                 }});
  }
  // Row `label` of `page` as the model shows it.
  const zk::ui::NvEditorRow& Shown(int page, const char* label) {
    pages_ = model_.Pages();
    int index = -1;
    FindRow(page, label, option_, &index);
    return pages_[page].rows[static_cast<std::size_t>(index)];
  }
  int RowOf(int page, const char* label) {
    int index = -1;
    FindRow(page, label, option_, &index);
    return index;
  }

  zk::test::ScriptedTransactor link_;
  CNVBackup backup_;
  bool option_ = false;
  std::vector<std::string> messages_;
  int writes_ = 0;
  CNVEditorModel model_;
  std::vector<zk::ui::NvEditorPage> pages_;
};

TEST_F(NvEditorModelTest, ItemsNotReadShowNoSettingAndAreNeverWritten) {
  Give(backup_, "NV_BEEP_LVL_I", kNoNam, {3});
  EXPECT_EQ(Shown(kPhonePage, "Keypad Volume").cells[0].text, "Medium");
  EXPECT_EQ(Shown(kPhonePage, "Keypad Volume-Carkit").cells[0].text, "NO Setting");
  EXPECT_EQ(Shown(kPhonePage, "Master Volume").cells[0].text, "No Setting");
  EXPECT_FALSE(Shown(kPhonePage, "Master Volume").cells[0].editable);

  model_.SetCell(kPhonePage, RowOf(kPhonePage, "Master Volume"), 0, "High");
  EXPECT_EQ(model_.Write(), NvEditorAfter::Keep);
  EXPECT_EQ(writes_, 0);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("Master Volume"), std::string::npos);
  EXPECT_FALSE(backup_.m_flags.WasRead(Item("NV_RINGER_LVL_I"), kNoNam));
}

TEST_F(NvEditorModelTest, WriteParsesEditsAndNeverSendsTheSelectedNamsKey) {
  for (const int nam : {0, 1}) {
    Give(backup_, "NV_A_KEY_I", nam, {1, 2, 3, 4, 5, 6, 7, 8});
    Give(backup_, "NV_COUNT_I", nam, {9});
    Give(backup_, "NV_ACCOLC_I", nam, {4, 4});
    Give(backup_, "NV_MIN1_I", nam, {0, 0, 0, 0, 0, 0, 0, 0});
  }
  Give(backup_, "NV_BREW_PLATFORM_ID_I", kNoNam, {7, 0, 0, 0});
  Give(backup_, "NV_NAME_NAM_I", 1, {'A', 'B', 0, 0xEE, 0xEE});  // bytes past the text stay when unedited
  model_.SelectNam(1);
  model_.SetCell(kNamPage, RowOf(kNamPage, "ACCOLC"), 0, "9");
  model_.SetCell(kNamPage, RowOf(kNamPage, "PHONE NUMBER(CDMA,AMPS)"), 0, "555-0199");
  model_.SetCell(kNamPage, RowOf(kNamPage, "NAM NAME"), 0, "AB");  // the text shown: no change
  model_.SetCell(kPhonePage, RowOf(kPhonePage, "BREW Platform ID"), 0, "1234");
  EXPECT_EQ(model_.Write(), NvEditorAfter::Refill);
  EXPECT_EQ(writes_, 1);
  EXPECT_TRUE(messages_.empty());

  EXPECT_EQ(ValueBytes(backup_.m_image, Item("NV_ACCOLC_I"), 1)[0], 9);
  EXPECT_EQ(ValueBytes(backup_.m_image, Item("NV_ACCOLC_I"), 0)[0], 4);
  EXPECT_EQ(ValueBytes(backup_.m_image, Item("NV_NAME_NAM_I"), 1)[3], 0xEE);
  EXPECT_EQ(ValueBytes(backup_.m_image, Item("NV_BREW_PLATFORM_ID_I"), kNoNam)[0], 1234 & 0xFF);
  EXPECT_EQ(Shown(kNamPage, "PHONE NUMBER(CDMA,AMPS)").cells[0].text, "555-0199");
  EXPECT_FALSE(backup_.m_flags.WasRead(Item("NV_A_KEY_I"), 1));
  EXPECT_FALSE(backup_.m_flags.WasRead(Item("NV_COUNT_I"), 1));
  EXPECT_TRUE(backup_.m_flags.WasRead(Item("NV_A_KEY_I"), 0));
  EXPECT_TRUE(backup_.m_flags.WasRead(Item("NV_COUNT_I"), 0));
}

TEST_F(NvEditorModelTest, RefusedValueKeepsImageAndEditsAndSendsNothing) {
  Give(backup_, "NV_BREW_CARRIER_ID_I", kNoNam, {5, 0, 0, 0});
  Give(backup_, "NV_BREW_PLATFORM_ID_I", kNoNam, {7, 0, 0, 0});
  const NvImage before = backup_.m_image;
  model_.SetCell(kPhonePage, RowOf(kPhonePage, "BREW Carrier ID"), 0, "200");
  model_.SetCell(kPhonePage, RowOf(kPhonePage, "BREW Platform ID"), 0, "10000");
  EXPECT_EQ(model_.Write(), NvEditorAfter::Keep);
  EXPECT_EQ(writes_, 0);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("BREW Platform ID"), std::string::npos);
  EXPECT_EQ(backup_.m_image, before);
  EXPECT_EQ(Shown(kPhonePage, "BREW Platform ID").cells[0].text, "10000");  // the edit stays for correcting
  model_.Restore(kPhonePage);
  EXPECT_EQ(Shown(kPhonePage, "BREW Platform ID").cells[0].text, "7");
}

TEST_F(NvEditorModelTest, EditorOptionShortensTheNamPage) {
  option_ = true;
  const auto pages = model_.Pages();
  EXPECT_EQ(pages[kNamPage].rows.back().label, "NAM NAME");
  EXPECT_EQ(Shown(kNamPage, "ACCOLC").cells[0].choices.size(), 10u);
  option_ = false;
  EXPECT_EQ(model_.Pages()[kNamPage].rows.back().label, "MOB TERM FOR SID");
  EXPECT_EQ(Shown(kNamPage, "ACCOLC").cells[0].choices.size(), 16u);
}

TEST_F(NvEditorModelTest, CountersTakeWholeValuesOnly) {
  std::vector<uint8_t> block(100, 0);
  for (std::size_t i = 0; i < 25; ++i) block[4 * i] = static_cast<uint8_t>(i + 1);
  model_.SetCounters(block);
  EXPECT_EQ(model_.Counters()[10], 11u);  // eleven counters, however long the block
  EXPECT_EQ(Shown(kPhonePage, "LAST TIMER").cells[0].text, "1");
  EXPECT_EQ(Shown(kPhonePage, "HOME TIMER").cells[0].text, "3");
  model_.SetCounters(std::span<const uint8_t>(block.data(), 6));  // one whole value and a part
  EXPECT_EQ(model_.Counters()[0], 1u);
  EXPECT_EQ(model_.Counters()[1], 0u);
}

}  // namespace
