// Reading numbers and strings from level and list data.
#include "platform/formats/field_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace rt {
namespace {

std::vector<std::int32_t> read_ints(const std::string& data, int count) {
  FieldReader reader(data);
  std::vector<std::int32_t> values;
  for (int i = 0; i < count; ++i) {
    values.push_back(reader.read_int());
  }
  return values;
}

std::vector<std::string> read_strings(const std::string& data, int count) {
  FieldReader reader(data);
  std::vector<std::string> values;
  for (int i = 0; i < count; ++i) {
    values.push_back(reader.read_string());
  }
  return values;
}

using Ints = std::vector<std::int32_t>;
using Strings = std::vector<std::string>;

TEST(NumberFieldTest, LinesCommasAndBlanksSeparateAlike) {
  const Ints expected{12, 30, -4, 7, 0, 0};
  EXPECT_EQ(read_ints("12\n30\n-4\n7\n", 6), expected);
  EXPECT_EQ(read_ints("12\r\n30\r\n-4\r\n7\r\n", 6), expected);
  EXPECT_EQ(read_ints("12,30,-4,7", 6), expected);
  EXPECT_EQ(read_ints("12 30  -4\t7", 6), expected);
  EXPECT_EQ(read_ints("  12 , 30 ,\t-4 \n 7 \r\n", 6), expected);
  EXPECT_EQ(read_ints("12\r30\r-4\r7", 6), expected);  // a lone carriage return ends a line
}

TEST(NumberFieldTest, EmptyFieldsReadAsZero) {
  EXPECT_EQ(read_ints("1,,3", 3), (Ints{1, 0, 3}));
  EXPECT_EQ(read_ints("1\n\n3", 3), (Ints{1, 0, 3}));
  EXPECT_EQ(read_ints("", 3), (Ints{0, 0, 0}));
  EXPECT_EQ(read_ints("   ", 2), (Ints{0, 0}));
}

TEST(NumberFieldTest, BlankAfterANumberIsFollowedByAtMostOneSeparator) {
  EXPECT_EQ(read_ints("12 ,\n30", 3), (Ints{12, 0, 30}));
  EXPECT_EQ(read_ints("12 x,5", 3), (Ints{12, 0, 5}));
  EXPECT_EQ(read_ints("5 \r\n\r\n6", 3), (Ints{5, 0, 6}));
}

TEST(NumberFieldTest, QuotedNumbers) {
  EXPECT_EQ(read_ints("\"12\",30", 2), (Ints{12, 30}));
  EXPECT_EQ(read_ints("\"1 2\" 9", 2), (Ints{1, 9}));  // blanks inside quotes stay in the field
  EXPECT_EQ(read_ints("\"-5\"\n\"&H10\"", 2), (Ints{-5, 16}));
  EXPECT_EQ(read_ints("\"12\n34", 2), (Ints{12, 34}));  // a line end ends even a quoted part
}

TEST(NumberFieldTest, ConversionForms) {
  EXPECT_EQ(convert_number_field("7.5"), 8);
  EXPECT_EQ(convert_number_field("6.5"), 6);
  EXPECT_EQ(convert_number_field("-2.5"), -2);
  EXPECT_EQ(convert_number_field("-3.5"), -4);
  EXPECT_EQ(convert_number_field("2.4999"), 2);
  EXPECT_EQ(convert_number_field("1.5"), 2);
  EXPECT_EQ(convert_number_field(".5"), 0);
  EXPECT_EQ(convert_number_field("1E3"), 1000);
  EXPECT_EQ(convert_number_field("1d2"), 100);
  EXPECT_EQ(convert_number_field("2.5D1"), 25);
  EXPECT_EQ(convert_number_field("25e-1"), 2);
  EXPECT_EQ(convert_number_field("&H1F"), 31);
  EXPECT_EQ(convert_number_field("&h1f"), 31);
  EXPECT_EQ(convert_number_field("&O17"), 15);
  EXPECT_EQ(convert_number_field("&o17"), 15);
  EXPECT_EQ(convert_number_field("&B101"), 5);
  EXPECT_EQ(convert_number_field("&b1012"), 5);
  EXPECT_EQ(convert_number_field("&HFFFFFFFF"), -1);
  EXPECT_EQ(convert_number_field("&H1FFFFFFFE"), -2);  // low 32 bits
  EXPECT_EQ(convert_number_field("&H"), 0);
  EXPECT_EQ(convert_number_field("-3"), -3);
  EXPECT_EQ(convert_number_field("+3"), 3);
  EXPECT_EQ(convert_number_field("  42"), 42);
  EXPECT_EQ(convert_number_field(""), 0);
  EXPECT_EQ(convert_number_field("12abc"), 12);
  EXPECT_EQ(convert_number_field("abc"), 0);
  EXPECT_EQ(convert_number_field("&X12"), 0);
  EXPECT_EQ(convert_number_field("-"), 0);
}

TEST(NumberFieldTest, OutOfRangeDecimalsClamp) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(convert_number_field("2147483647"), kMax);
  EXPECT_EQ(convert_number_field("2147483648"), kMax);
  EXPECT_EQ(convert_number_field("-2147483648"), kMin);
  EXPECT_EQ(convert_number_field("-2147483649"), kMin);
  EXPECT_EQ(convert_number_field("99999999999999999999999999999999999999999"), kMax);
  EXPECT_EQ(convert_number_field("1e400"), kMax);
  EXPECT_EQ(convert_number_field("-1D400"), kMin);
  EXPECT_EQ(convert_number_field("1e-400"), 0);
  EXPECT_EQ(convert_number_field("2147483647.4"), kMax);
}

TEST(NumberFieldTest, LongFieldsKeepTheirFirstSixtySevenCharacters) {
  const std::string fits = std::string(66, '0') + "7";  // 67 characters
  const std::string longer = std::string(67, '0') + "7";
  EXPECT_EQ(read_ints(fits + ",1", 2), (Ints{7, 1}));
  EXPECT_EQ(read_ints(longer + ",1", 2), (Ints{0, 1}));  // the 7 is read but dropped
}

TEST(StringFieldTest, QuotesDecideWhetherACommaBelongsToTheName) {
  EXPECT_EQ(read_strings("\"Anna\"\r\n", 2), (Strings{"Anna", ""}));
  EXPECT_EQ(read_strings("Anna\n", 2), (Strings{"Anna", ""}));
  EXPECT_EQ(read_strings("\"Anna, B.\"\nX", 2), (Strings{"Anna, B.", "X"}));
  EXPECT_EQ(read_strings("Anna, B.\nX", 3), (Strings{"Anna", "B.", "X"}));
}

TEST(StringFieldTest, BlanksInsideAndBeforeTheEndBelongToTheField) {
  EXPECT_EQ(read_strings("  Anna Lisa  ,x", 2), (Strings{"Anna Lisa  ", "x"}));
  EXPECT_EQ(read_strings("\t Anna \n", 1), (Strings{"Anna "}));
  EXPECT_EQ(read_strings("\"  Anna \"", 1), (Strings{"  Anna "}));
}

TEST(StringFieldTest, ClosingQuoteEndsTheField) {
  EXPECT_EQ(read_strings("\"Anna\"  ,\"Bob\"\r\n\"Cy\"", 3), (Strings{"Anna", "Bob", "Cy"}));
  EXPECT_EQ(read_strings("\"Anna\" x,y", 3), (Strings{"Anna", "x", "y"}));
  EXPECT_EQ(read_strings("\"\"\r\n\"B\"", 2), (Strings{"", "B"}));
  EXPECT_EQ(read_strings("\"Anna\nBob\"", 2), (Strings{"Anna", "Bob\""}));
}

TEST(StringFieldTest, QuoteThatIsNotFirstIsOrdinary) {
  EXPECT_EQ(read_strings("ab\"c,d", 2), (Strings{"ab\"c", "d"}));
  EXPECT_EQ(read_strings("  x\"y\"z\n", 1), (Strings{"x\"y\"z"}));
}

TEST(StringFieldTest, LongStringsKeepTheirFirst4096Characters) {
  const std::string name(5000, 'a');
  const auto values = read_strings(name + ",next", 2);
  EXPECT_EQ(values[0], std::string(4096, 'a'));
  EXPECT_EQ(values[1], "next");
}

TEST(FieldReaderTest, EveryReadAtTheEndIsEmpty) {
  FieldReader reader("\"Anna\"\r\n5");
  EXPECT_EQ(reader.read_string(), "Anna");
  EXPECT_EQ(reader.read_int(), 5);
  EXPECT_TRUE(reader.at_end());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(reader.read_int(), 0);
    EXPECT_EQ(reader.read_string(), "");
  }
}

TEST(TextModeTest, CarriageReturnLineFeedAndEndOfDataByte) {
  EXPECT_EQ(text_mode("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(text_mode("a\rb\n\r"), "a\rb\n\r");
  EXPECT_EQ(text_mode("a\r\r\nb"), "a\r\nb");
  EXPECT_EQ(text_mode(std::string("12\r\n3\x1A"
                                  "4\r\n")),
            "12\n3");
  EXPECT_EQ(text_mode(std::string("\x1A"
                                  "abc")),
            "");
  EXPECT_EQ(text_mode(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace rt
