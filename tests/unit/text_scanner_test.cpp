#include "text_scanner.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

using Item = TextScanner::Item;

struct Read {
  Item item;
  double value;
  std::int64_t line;
  bool operator==(const Read&) const = default;
};

void PrintTo(const Read& r, std::ostream* out) {
  *out << "{" << static_cast<int>(r.item) << ", " << r.value << ", line " << r.line << "}";
}

// Every item of text up to the first one that is not a number.
std::vector<Read> ReadAll(const std::string& path, std::size_t capacity) {
  InputFile file(path);
  TextScanner scanner(file, capacity);
  std::vector<Read> items;
  for (;;) {
    double value = 0.0;
    const Item item = scanner.ReadNumber(value);
    items.push_back({item, value, scanner.LastItemLine()});
    if (item != Item::Number) return items;
  }
}

TEST(TextScanner, ItemsReadTheSameWhereverTheBufferEnds) {
  TempFolder folder;
  const std::string path = folder.Write(
      "items",
      "1,2.5 , -3e-2\r\n\t4.000000000000000000001E+01,\n+5 6\t7\n\n.5,8.,1234567890123\n9");
  const std::vector<Read> expected = {{Item::Number, 1, 1},     {Item::Number, 2.5, 1},
                                      {Item::Number, -0.03, 1}, {Item::Number, 40, 2},
                                      {Item::Number, 5, 3},     {Item::Number, 6, 3},
                                      {Item::Number, 7, 3},     {Item::Number, 0.5, 5},
                                      {Item::Number, 8, 5},     {Item::Number, 1234567890123, 5},
                                      {Item::Number, 9, 6},     {Item::End, 0, 6}};
  EXPECT_EQ(ReadAll(path, TextScanner::kDefaultCapacity), expected);
  // The longest item has 27 characters: any buffer with room for its separator too will do.
  for (std::size_t capacity = 28; capacity <= 60; ++capacity) {
    EXPECT_EQ(ReadAll(path, capacity), expected) << "capacity " << capacity;
  }
}

TEST(TextScanner, RejectedItems) {
  TempFolder folder;
  const auto last = [&](const std::string& text, std::size_t capacity = 64) {
    InputFile file(folder.Write("items", text));
    TextScanner scanner(file, capacity);
    double value = 0.0;
    Item item = Item::Number;
    while (item == Item::Number) item = scanner.ReadNumber(value);
    return std::make_pair(item, std::string(scanner.LastItem()));
  };
  EXPECT_EQ(last("1,,2"), std::make_pair(Item::Empty, std::string(",")));
  EXPECT_EQ(last("1\n,2"), std::make_pair(Item::Empty, std::string(",")));
  EXPECT_EQ(last("1 x2"), std::make_pair(Item::NotNumber, std::string("x2")));
  EXPECT_EQ(last("1e5e"), std::make_pair(Item::NotNumber, std::string("1e5e")));
  EXPECT_EQ(last("inf"), std::make_pair(Item::NotNumber, std::string("inf")));
  EXPECT_EQ(last("1e"), std::make_pair(Item::NotNumber, std::string("1e")));
  EXPECT_EQ(last("-"), std::make_pair(Item::NotNumber, std::string("-")));
  EXPECT_EQ(last(std::string("1\0", 2)), std::make_pair(Item::NotNumber, std::string("1\0", 2)));
  EXPECT_EQ(last("2 -1e400"), std::make_pair(Item::OutOfRange, std::string("-1e400")));
  EXPECT_EQ(last("1 " + std::string(20, '7'), 16).first, Item::TooLong);
}

TEST(TextScanner, LinesEndWithLfOrCrlfAndLongLinesAreCut) {
  TempFolder folder;
  const std::string text = "first\r\n" + std::string(50, 'x') + "\nthird\n\nlast";
  for (std::size_t capacity : {std::size_t{16}, std::size_t{23}, TextScanner::kDefaultCapacity}) {
    InputFile file(folder.Write("lines", text));
    TextScanner scanner(file, capacity);
    std::vector<std::pair<std::string, std::int64_t>> lines;
    while (const auto line = scanner.ReadLine()) lines.emplace_back(line->text, line->number);
    ASSERT_EQ(lines.size(), 5u) << capacity;
    EXPECT_EQ(lines[0], std::make_pair(std::string("first"), std::int64_t{1}));
    EXPECT_EQ(lines[1].first, std::string(std::min<std::size_t>(capacity, 50), 'x'));
    EXPECT_EQ(lines[2], std::make_pair(std::string("third"), std::int64_t{3}));
    EXPECT_EQ(lines[3], std::make_pair(std::string(), std::int64_t{4}));
    EXPECT_EQ(lines[4], std::make_pair(std::string("last"), std::int64_t{5}));
    EXPECT_EQ(scanner.LinesInFile(), 5);
    EXPECT_FALSE(scanner.SkipLine());
  }
}

TEST(TextScanner, MarkerLineIsSkippedOnlyWhenItFollows) {
  TempFolder folder;
  for (std::size_t capacity : {std::size_t{16}, std::size_t{20}, TextScanner::kDefaultCapacity}) {
    InputFile file(folder.Write("marker", "1\n \t\r\n\n[Microphone 2]\nnext\n  [Microph\n"));
    TextScanner scanner(file, capacity);
    double value = 0.0;
    ASSERT_EQ(scanner.ReadNumber(value), Item::Number);
    EXPECT_TRUE(scanner.SkipBlankLinesAndLineStartingWith("[Microph")) << capacity;
    EXPECT_FALSE(scanner.SkipBlankLinesAndLineStartingWith("[Microph"));
    auto line = scanner.ReadLine();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text, "next");
    EXPECT_EQ(line->number, 5);
    EXPECT_FALSE(scanner.SkipBlankLinesAndLineStartingWith("[Microph"));  // not at line start
    EXPECT_EQ(scanner.ReadLine()->text, "  [Microph");
  }
}

TEST(TextScanner, ARestartedScannerGoesOnAsTheOneThatReadEverythingBefore) {
  TempFolder folder;
  const std::string path =
      folder.Write("r.txt", std::string("a\n1, 2\n3 4\nxxxxxxxxxxxxxxxxxxxxxxxx\nb\n"));
  InputFile file(path);
  TextScanner first(file, 16);
  first.SkipLine();
  double value = 0.0;
  ASSERT_EQ(first.ReadNumber(value), Item::Number);
  const std::optional<std::uint64_t> offset = first.ResumableOffset();
  ASSERT_EQ(offset, std::optional<std::uint64_t>(5));  // after "1, "

  TextScanner second(file, 16);
  second.Restart(*offset, first.CurrentLine());
  for (TextScanner* s : {&first, &second}) {
    ASSERT_EQ(s->ReadNumber(value), Item::Number);
    EXPECT_EQ(value, 2.0);
    ASSERT_EQ(s->ReadNumber(value), Item::Number);
    EXPECT_EQ(s->LastItemLine(), 3);
    ASSERT_EQ(s->SkipNumber(), Item::Number);
    // A line cut to the buffer leaves its rest to skip: no offset to restart from.
    EXPECT_EQ(s->ReadLine()->text.size(), 16u);
    EXPECT_EQ(s->ResumableOffset(), std::nullopt);
    EXPECT_EQ(s->ReadLine()->text, "b");
    EXPECT_FALSE(s->ReadLine());
    EXPECT_EQ(s->LinesInFile(), 5);
  }
}

// What reading one row of ten numbers left: the first item that is not a number (with its
// 1-based position), else the sixth number, and the scanner's place afterwards.
struct RowRead {
  Item item;
  int position;
  double value;
  std::int64_t itemLine;
  std::string lastItem;
  std::int64_t currentLine;
  std::optional<std::uint64_t> offset;
  bool operator==(const RowRead&) const = default;
};

void PrintTo(const RowRead& r, std::ostream* out) {
  *out << "{item " << static_cast<int>(r.item) << " at " << r.position << ", " << r.value
       << ", line " << r.itemLine << " '" << r.lastItem << "', now line " << r.currentLine << "}";
}

RowRead ReadTenNumbers(TextScanner& scanner, bool plainFirst, int& plainRows) {
  double value = 0.0;
  const auto after = [&](Item item, int position) {
    return RowRead{item,
                   position,
                   value,
                   scanner.LastItemLine(),
                   std::string(scanner.LastItem()),
                   scanner.CurrentLine(),
                   scanner.ResumableOffset()};
  };
  if (plainFirst && scanner.ReadPlainRow(10, 6, value)) {
    ++plainRows;
    return after(Item::Number, 0);
  }
  for (int k = 1; k <= 10; ++k) {
    const Item item = k == 6 ? scanner.ReadNumber(value) : scanner.SkipNumber();
    if (item != Item::Number) return after(item, k);
  }
  return after(Item::Number, 0);
}

TEST(TextScanner, AWholeRowReadsAsItsItemsWouldWhereverTheBufferEnds) {
  TempFolder folder;
  std::mt19937 random(7);
  const std::vector<std::string> numbers = {
      "1", "-2.5", "+3e-2", "4.000000e-01",           ".5", "6.", "7E+01",
      "0", "-0.0", "1e400", "12345678901234567890123"};
  const std::vector<std::string> separators = {", ", ",", "\t", " ", " , ", ",\t", "  "};
  const std::vector<std::string> lineEnds = {"\n", "\r\n", "\n\n", ",\n", " \n"};
  std::string text;
  for (int row = 0; row < 300; ++row) {
    for (int k = 1; k <= 10; ++k) {
      text += numbers[random() % (row < 200 ? 9 : numbers.size())];
      text += k < 10 ? separators[random() % separators.size()] : lineEnds[random() % 5];
    }
  }
  // Rows that fail somewhere, each as the last of a file of its own.
  const std::vector<std::string> badRows = {"1,2,3,4,5,,7,8,9,10\n", "1 2 3 4 5 6 7 8 9 x\n",
                                            "1 2 3 4 5 6e 7 8 9 10\n", "1 2 3 4 5 6 7 8 9",
                                            "1 2 3 4 5 6 7 8 9 10"};
  for (const std::string& bad : badRows) {
    const std::string path = folder.Write("rows", text + bad);
    for (std::size_t capacity :
         {std::size_t{48}, std::size_t{97}, std::size_t{1000}, TextScanner::kDefaultCapacity}) {
      InputFile file(path);
      TextScanner byItems(file, capacity);
      TextScanner byRows(file, capacity);
      int plainRows = 0;
      int unused = 0;
      for (int row = 1;; ++row) {
        const RowRead expected = ReadTenNumbers(byItems, false, unused);
        ASSERT_EQ(ReadTenNumbers(byRows, true, plainRows), expected)
            << "row " << row << ", capacity " << capacity;
        if (expected.item != Item::Number) break;
      }
      if (capacity == TextScanner::kDefaultCapacity) {
        EXPECT_GT(plainRows, 200);
      }
    }
  }
}

TEST(TextScanner, HeaderValueIsTheLongestLeadingDecimal) {
  EXPECT_EQ(LeadingDecimal(" 0.5 s"), 0.5);
  EXPECT_EQ(LeadingDecimal("\t 12"), 12.0);
  EXPECT_EQ(LeadingDecimal("+2e1x"), 20.0);
  EXPECT_EQ(LeadingDecimal("-.5E-1"), -0.05);
  EXPECT_EQ(LeadingDecimal("1e"), 1.0);
  EXPECT_EQ(LeadingDecimal("7."), 7.0);
  EXPECT_EQ(LeadingDecimal(""), 0.0);
  EXPECT_EQ(LeadingDecimal("."), 0.0);
  EXPECT_EQ(LeadingDecimal("abc 3"), 0.0);
  EXPECT_EQ(LeadingDecimal("inf"), 0.0);
  EXPECT_EQ(LeadingDecimal("1,5"), 1.0);
  EXPECT_FALSE(LeadingDecimal("1e999"));
}

}  // namespace
