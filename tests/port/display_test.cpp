// Value texts and cell colours: the texts the window shows and the colour rule.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "display.h"

namespace {

TEST(Texts, DecimalGroupsThousandsAndNeverSeparatesTheSign) {
  const struct {
    int32_t value;
    const char* text;
  } cases[] = {
      {0, "0"},          {255, "255"},       {1000, "1,000"},         {999, "999"},
      {-1, "-1"},        {-100, "-100"},     {-1000, "-1,000"},       {-999999, "-999,999"},
      {1234567, "1,234,567"}, {INT_MAX, "2,147,483,647"}, {INT_MIN, "-2,147,483,648"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalText(c.value), c.text) << c.value;
}

TEST(Texts, HexPadsToTheMinimumAndNeverTruncates) {
  const struct {
    uint32_t value;
    int32_t minDigits;
    const char* text;
  } cases[] = {
      {0, 1, "0"},       {0, 2, "00"},           {0xA5, 2, "A5"},
      {1000, 2, "3E8"},  {0x378, 3, "378"},      {0xFFFFFFFF, 2, "FFFFFFFF"},
      {0x5, 0, "5"},     {0x5, -7, "5"},         {0x5, 9, "00000005"},
      {0x5, INT_MAX, "00000005"}, {0, INT_MIN, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(HexText(c.value, c.minDigits), c.text) << c.value << "/" << c.minDigits;
}

TEST(Texts, BinaryGivesExactlyTheRequestedLowBits) {
  const struct {
    uint32_t value;
    int32_t count;
    std::string text;
  } cases[] = {
      {0xA5, 8, "10100101"},
      {511, 8, "11111111"},
      {5, 3, "101"},
      {5, 1, "1"},
      {5, 0, ""},
      {5, -1, ""},
      {0xFFFFFFFF, 32, std::string(32, '1')},
      {0x80000001, 34, "00" "1" + std::string(30, '0') + "1"},
      {1, INT_MAX, std::string(63, '0') + "1"},
  };
  for (const auto& c : cases) EXPECT_EQ(BinaryText(c.value, c.count), c.text) << c.value << "/" << c.count;
}

// One reading as the window shows it: the nine texts and which cells are lit.
TEST(Texts, DisplayOfAReadingLightsCellsOfHighPins) {
  const struct {
    const char* label;
    uint8_t dr, cr, sr;
    std::array<const char*, 9> texts;
    std::set<std::string> lit;
  } cases[] = {
      {"all zero", 0, 0, 0,
       {"0", "0", "0", "00", "00", "00", "00000000", "00000000", "00000000"},
       {"1", "14", "17", "11"}},
      {"DR 0xA5", 0xA5, 0, 0,
       {"165", "0", "0", "A5", "00", "00", "10100101", "00000000", "00000000"},
       {"2", "4", "7", "9", "1", "14", "17", "11"}},
      {"CR 0xFF", 0, 0xFF, 0,
       {"0", "255", "0", "00", "FF", "00", "00000000", "11111111", "00000000"},
       {"16", "AckIE", "Direct", "11"}},
      {"CR 0xC0 lights what CR 0 does", 0, 0xC0, 0,
       {"0", "192", "0", "00", "C0", "00", "00000000", "11000000", "00000000"},
       {"1", "14", "17", "11"}},
      {"SR 0x83 lights no SR cell", 0, 0, 0x83,
       {"0", "0", "131", "00", "00", "83", "00000000", "00000000", "10000011"},
       {"1", "14", "17"}},
      {"idle port", 0, 0xC0, 0x7F,
       {"0", "192", "127", "00", "C0", "7F", "00000000", "11000000", "01111111"},
       {"1", "14", "17", "PIRQ", "15", "13", "12", "10", "11"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RegisterDisplay display = DisplayOf(c.dr, c.cr, c.sr);
    for (size_t i = 0; i < c.texts.size(); ++i) EXPECT_EQ(display.Texts[i], c.texts[i]) << "text " << i;
    for (size_t i = 0; i < PinMap.size(); ++i) {
      bool lit = c.lit.count(PinMap[i].Caption) != 0;
      EXPECT_EQ(display.Colours[i], lit ? kLitColour : kUnlitColour) << "cell " << PinMap[i].Caption;
    }
  }
}

}  // namespace
