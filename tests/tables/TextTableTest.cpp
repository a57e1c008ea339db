#include <gtest/gtest.h>

#include <vector>

#include "platform/FaultyFileSystem.h"
#include "tables/TTextTable.h"
#include "tests/tables/TableTestFiles.h"

namespace {

struct Row {
  WideString find, replace;
  TFormating findFormat, replaceFormat;
};

std::vector<Row> readAll(TAbstractTable& table) {
  std::vector<Row> rows;
  Row r;
  while (table.ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat)) rows.push_back(r);
  return rows;
}

class TextTable : public TableFiles {
 protected:
  std::vector<Row> rowsOf(const std::string& bytes) {
    table.Open(write("t.txt", bytes));
    table.Rewind();  // Open keeps the cursor where it was
    return readAll(table);
  }
  TTextTable table;
};

}  // namespace

TEST_F(TextTable, EachLineEndingKindEndsARowAndAFinalTerminatorAddsNone) {
  for (const char* text : {"a\tb\r\nc\td\r\ne\tf", "a\tb\r\nc\td\r\ne\tf\r\n", "a\tb\rc\td\ne\tf\n"}) {
    TTextTable t;
    t.Open(write("t.txt", text));
    auto rows = readAll(t);
    ASSERT_EQ(rows.size(), 3u) << text;
    EXPECT_EQ(rows[2].find, u"e");
    EXPECT_EQ(rows[2].replace, u"f");
    EXPECT_EQ(t.LineCount(), 3u);
    EXPECT_EQ(t.Row, 4);
  }
}

TEST_F(TextTable, EmptyLineOrLeadingTabEndsTheTableAndLeavesRowOnIt) {
  EXPECT_EQ(rowsOf("a\tb\r\n\r\nc\td\r\n").size(), 1u);
  EXPECT_EQ(table.Row, 2);
  EXPECT_EQ(rowsOf("a\tb\n\tx\nc\td\n").size(), 1u);
  // What follows the end is never read, so it is not indexed either: a file of millions of
  // empty lines costs its own bytes.
  EXPECT_EQ(table.LineCount(), 2u);
  // A CR CR LF sequence is a line end followed by an empty line.
  EXPECT_EQ(rowsOf("a\tb\r\r\nc\td").size(), 1u);
}

TEST_F(TextTable, FieldsKeepTheirBlanksAndExtraFieldsAreIgnored) {
  auto rows = rowsOf(" x\ty \r\nx\ty\t-c\tz\r\nlonely\r\n");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].find, u" x");
  EXPECT_EQ(rows[0].replace, u"y ");
  EXPECT_EQ(rows[0].findFormat.MatchCase, -1);
  EXPECT_EQ(rows[1].find, u"x");
  EXPECT_EQ(rows[1].findFormat.MatchCase, 0);
  EXPECT_EQ(rows[1].findFormat.WholeWord, -1);
  EXPECT_EQ(rows[2].find, u"lonely");
  EXPECT_EQ(rows[2].replace, u"");
}

TEST_F(TextTable, EveryRowComesWithResetFormattingAndFreshOverrides) {
  Row r;
  r.findFormat.FontName = u"Arial";
  r.findFormat.Bold = -1;
  r.replaceFormat.BackColor = 5;
  table.Open(write("t.txt", "a\tb\tc\r\nd\te\r\n"));
  ASSERT_TRUE(table.ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat));
  EXPECT_EQ(r.findFormat.MatchCase, 1);
  EXPECT_TRUE(r.findFormat.FontName.empty());
  EXPECT_EQ(r.findFormat.Bold, 0);
  EXPECT_EQ(r.replaceFormat.BackColor, 0xFFFFFF);
  ASSERT_TRUE(table.ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat));
  EXPECT_EQ(r.findFormat.MatchCase, -1);  // the overrides of one row never carry into the next
}

TEST_F(TextTable, RewindAfterACheckPassDeliversTheFirstRowAgain) {
  EXPECT_EQ(rowsOf("one\t1\ntwo\t2\n").size(), 2u);
  table.Rewind();
  EXPECT_EQ(table.Row, 1);
  auto again = readAll(table);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].find, u"one");
}

TEST_F(TextTable, PositionIsAlwaysTheCurrentRowInColumnOne) {
  TTablePosition p;
  table.GetPosition(p);
  EXPECT_EQ(p.Row, 1);
  EXPECT_EQ(p.Column, 1);
  rowsOf("a\nb\n");
  table.GetPosition(p);
  EXPECT_EQ(p.Row, 3);
  EXPECT_EQ(p.Column, 1);
  EXPECT_FALSE(table.GetVisible());
  table.SetVisible(true);
  EXPECT_FALSE(table.GetVisible());
}

TEST_F(TextTable, UnreadableFilesGiveNoRowsWithoutAnError) {
  EXPECT_NO_THROW(table.Open(platform::joinPath(folder_, "missing.txt")));
  EXPECT_TRUE(readAll(table).empty());
  EXPECT_NO_THROW(table.Open(folder_));  // a folder
  EXPECT_TRUE(readAll(table).empty());
}

TEST_F(TextTable, FailedReopenKeepsTheLinesOfTheEarlierOpen) {
  std::string path = write("t.txt", "a\tb\n");
  table.Open(path);
  platform::FaultyFileSystem faulty;
  platform::ScopedFileSystem scope(faulty);
  faulty.failAt(platform::FileOp::Open, 1, true);
  table.Open(path);
  EXPECT_EQ(readAll(table).size(), 1u);
}

TEST_F(TextTable, OversizedFileReadsAsEmpty) {
  std::string path = write("big.txt", "a\tb\n");
  platform::FaultyFileSystem faulty;
  faulty.reportSize(path, static_cast<int64_t>(TTextTable::kMaxFileBytes) + 1);
  platform::ScopedFileSystem scope(faulty);
  table.Open(path);
  EXPECT_TRUE(readAll(table).empty());
}

TEST_F(TextTable, NulEndsTheText) {
  auto rows = rowsOf(std::string("x\ty\nz\tw\0q\tr\n", 13));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].replace, u"w");
}

namespace {
std::string utf16(std::u16string_view text, bool little) {
  return (little ? "\xFF\xFE" : "\xFE\xFF") + platform::wideToUtf16Bytes(text, little);
}
}  // namespace

TEST_F(TextTable, UnicodeTablesWithAByteOrderMarkAreReadAsUnicode) {
  // What a spreadsheet saves as "Unicode text", either byte order, and UTF-8 with its mark.
  const std::u16string text = u"colour\tfärg\t-c\r\n\u6587\U0001F600\t\u0436\r\n\r\nafter\tend\r\n";
  for (const std::string& bytes : {utf16(text, true), utf16(text, false),
                                   "\xEF\xBB\xBF" + platform::wideToUtf8(text)}) {
    auto rows = rowsOf(bytes);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].find, u"colour");
    EXPECT_EQ(rows[0].replace, u"färg");
    EXPECT_EQ(rows[0].findFormat.MatchCase, 0);
    EXPECT_EQ(rows[1].find, u"\u6587\U0001F600");
    EXPECT_EQ(rows[1].replace, u"\u0436");
  }
  // A NUL character ends the text there too; a lone surrogate or an odd last byte does no harm.
  auto rows = rowsOf(utf16(std::u16string(u"a\tb\nc\0d\te\n", 10), true));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].find, u"c");
  rows = rowsOf(utf16(u"\xD800x\ty", true) + "\x41");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].replace, u"y");
  // An ANSI table after a Unicode one in the same reader reads as ANSI again.
  rows = rowsOf("\xE9t\xE9\tsummer");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].find, platform::ansiToWide("\xE9t\xE9"));
}

TEST_F(TextTable, MegabyteLinesAndBinaryJunkAreReadWithoutHarm) {
  std::string junk(3u << 20, 'x');
  for (size_t i = 0; i < junk.size(); i += 7) junk[i] = static_cast<char>(0x80 + i % 120);
  junk[5] = '\t';
  auto rows = rowsOf(junk);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].find.size(), 5u);
  EXPECT_GT(rows[0].replace.size(), 1000000u);
}
