#include <gtest/gtest.h>

#include <memory>

#include "settings/TextIniFile.h"
#include "tests/settings/SettingsTestFolder.h"
#ifdef _WIN32
#include "settings/win/ProfileIniFile.h"
#endif

namespace {

// Both implementations must show the same rules; on Windows the profile functions are the
// reference our own reader follows.
template <class T>
class IniRules : public SettingsFolder {
 protected:
  std::unique_ptr<IniFile> ini(const std::string& name) { return std::make_unique<T>(path(name)); }
  std::string value(const std::string& fileText, const std::string& section, const std::string& key) {
    write("v.ini", fileText);
    return ini("v.ini")->ReadString(section, key, "<default>");
  }
};

#ifdef _WIN32
using Implementations = ::testing::Types<TextIniFile, ProfileIniFile>;
#else
using Implementations = ::testing::Types<TextIniFile>;
#endif
TYPED_TEST_SUITE(IniRules, Implementations);

}  // namespace

TYPED_TEST(IniRules, SectionsAndKeysAreFoundWithoutRegardToCase) {
  const std::string text = "[Other]\r\nMaskForName=no\r\n[tavimo_ms_word]\r\nmaskforname=yes\r\n";
  EXPECT_EQ(this->value(text, "Tavimo_MS_WORD", "MaskForName"), "yes");
  EXPECT_EQ(this->value(text, "Tavimo_MS_WORD", "TableFile"), "<default>");
  EXPECT_EQ(this->value(text, "Missing", "MaskForName"), "<default>");
  EXPECT_EQ(this->value("MaskForName=top\r\n", "Tavimo_MS_WORD", "MaskForName"), "<default>");
}

TYPED_TEST(IniRules, ValuesAreTrimmedAndLoseOnePairOfQuotes) {
  EXPECT_EQ(this->value("[s]\r\n  k  =  a b  \r\n", "s", "k"), "a b");
  EXPECT_EQ(this->value("[s]\r\nk=\"  a \"\r\n", "s", "k"), "  a ");
  EXPECT_EQ(this->value("[s]\r\nk='x'\r\n", "s", "k"), "x");
  EXPECT_EQ(this->value("[s]\r\nk=\"x'\r\n", "s", "k"), "\"x'");
  EXPECT_EQ(this->value("[s]\r\nk=a=b\r\n", "s", "k"), "a=b");
  EXPECT_EQ(this->value("[s]\r\nk=\r\n", "s", "k"), "");
  EXPECT_EQ(this->value(" [ s ] \nk=lf only", "s", "k"), "lf only");
}

TYPED_TEST(IniRules, MissingOrUnreadableFilesGiveTheDefault) {
  EXPECT_EQ(this->ini("missing.ini")->ReadString("s", "k", "d"), "d");
  EXPECT_EQ(this->ini("missing.ini")->ReadInteger("s", "k", 7), 7);
  platform::fileSystem().createFolder(this->path("folder.ini"));
  EXPECT_EQ(this->ini("folder.ini")->ReadString("s", "k", "d"), "d");
}

TYPED_TEST(IniRules, WritingReplacesAddsAndKeepsEverythingElse) {
  this->write("w.ini", "; host comment\r\n[Host]\r\nkey=1\r\n\r\n[Tavimo_MS_WORD]\r\nA=old\r\n\r\n[Tail]\r\nz=9\r\n");
  auto ini = this->ini("w.ini");
  EXPECT_TRUE(ini->WriteString("tavimo_ms_word", "a", "new"));
  EXPECT_TRUE(ini->WriteString("Tavimo_MS_WORD", "B", "added"));
  EXPECT_TRUE(ini->WriteString("Fresh", "k", "v"));
  EXPECT_EQ(ini->ReadString("Tavimo_MS_WORD", "A", ""), "new");
  EXPECT_EQ(ini->ReadString("Tavimo_MS_WORD", "B", ""), "added");
  EXPECT_EQ(ini->ReadString("Fresh", "k", ""), "v");
  EXPECT_EQ(ini->ReadString("Host", "key", ""), "1");
  EXPECT_EQ(ini->ReadString("Tail", "z", ""), "9");
  std::string text = this->read("w.ini");
  EXPECT_NE(text.find("; host comment"), std::string::npos);
  EXPECT_EQ(text.find("old"), std::string::npos);
  EXPECT_LT(text.find("B=added"), text.find("[Tail]"));  // inside its own section
}

TYPED_TEST(IniRules, ValueWithLineBreakCannotAddKeys) {
  auto ini = this->ini("n.ini");
  EXPECT_TRUE(ini->WriteString("s", "Mask", "[N]\r\nTableFile=evil"));
  EXPECT_EQ(ini->ReadString("s", "Mask", ""), "[N]");
  EXPECT_EQ(ini->ReadString("s", "TableFile", "none"), "none");
}

TYPED_TEST(IniRules, UnwritableFileReportsFailure) {
  auto ini = this->ini("no-such-folder/x.ini");
  EXPECT_FALSE(ini->WriteString("s", "k", "v"));
}

TYPED_TEST(IniRules, IntegersAndBooleans) {
  this->write("i.ini", "[s]\r\nn=42\r\nneg=-7\r\nabc=abc\r\nhex=$10\r\nbig=99999999999999999999\r\nb=2\r\nf=0\r\n");
  auto ini = this->ini("i.ini");
  EXPECT_EQ(ini->ReadInteger("s", "n", 0), 42);
  EXPECT_EQ(ini->ReadInteger("s", "neg", 0), -7);
  EXPECT_EQ(ini->ReadInteger("s", "abc", 0), 0);
  EXPECT_EQ(ini->ReadInteger("s", "hex", 0), 16);
  EXPECT_EQ(ini->ReadInteger("s", "big", 5), 5);
  EXPECT_TRUE(ini->ReadBool("s", "b", false));
  EXPECT_FALSE(ini->ReadBool("s", "f", true));
  EXPECT_TRUE(ini->ReadBool("s", "abc", true));  // not an integer: the default
  EXPECT_TRUE(ini->WriteBool("s", "w", true));
  EXPECT_EQ(ini->ReadString("s", "w", ""), "1");
}

namespace {
std::string utf16(std::u16string_view text, bool little = true) {
  return (little ? "\xFF\xFE" : "\xFE\xFF") + platform::wideToUtf16Bytes(text, little);
}
}  // namespace

// Notepad's "Unicode" settings file: read, and written back as UTF-16 with the rest intact.
TYPED_TEST(IniRules, UnicodeFilesAreReadAndWrittenBackInUnicode) {
  this->write("u.ini", utf16(u"[Host]\r\nkey=1\r\n[Tavimo_MS_WORD]\r\nMaskForName=[N]_x.[E]\r\n"));
  auto ini = this->ini("u.ini");
  EXPECT_EQ(ini->ReadString("Tavimo_MS_WORD", "MaskForName", ""), "[N]_x.[E]");
  EXPECT_TRUE(ini->WriteString("Tavimo_MS_WORD", "TableFile", "t.xlsx"));
  EXPECT_EQ(ini->ReadString("Tavimo_MS_WORD", "TableFile", ""), "t.xlsx");
  EXPECT_EQ(ini->ReadString("Host", "key", ""), "1");
  const std::string bytes = this->read("u.ini");
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_NE(bytes.find(utf16(u"TableFile=t.xlsx").substr(2)), std::string::npos);
}

// Where the ANSI code page cannot hold another program's text (on Windows), the file is left
// alone rather than written back with question marks; where it can (UTF-8 here), it is kept.
TEST_F(SettingsFolder, UnicodeTextsOfOtherProgramsAreNeverLost) {
  const std::string original = utf16(u"[Other]\r\nname=\u4E2D\u6587\r\n[s]\r\nk=1\r\n", false);
  write("cjk.ini", original);
  TextIniFile ini(path("cjk.ini"));
  EXPECT_EQ(ini.ReadString("s", "k", ""), "1");  // big-endian too
  if (ini.WriteString("s", "k", "2")) {
    EXPECT_EQ(read("cjk.ini"), utf16(u"[Other]\r\nname=\u4E2D\u6587\r\n[s]\r\nk=2\r\n", false));
  } else {
    EXPECT_EQ(read("cjk.ini"), original);
  }
}

TEST(IniText, GarbageAndOddLinesNeverConfuseTheLookUp) {
  std::string junk("\0\xff[s\r\n]]]\n[s]\n=orphan\nk\nk=second\n[s]\nk=third", 44);
  EXPECT_EQ(FindIniValue(junk, "s", "k"), std::nullopt);  // the first "k" has no value
  EXPECT_EQ(FindIniValue("\xEF\xBB\xBF[s]\r\nk=v", "s", "k"), "v");
  EXPECT_EQ(FindIniValue("[s]\nx=1\n[t]\nk=2", "s", "k"), std::nullopt);  // a key of the next section
  EXPECT_EQ(FindIniValue("[t]\rk=1\r[S]\rk=2\r[s]\rk=3", "s", "k"), "2");   // the first section of the name
  EXPECT_EQ(FindIniValue(std::string("[s]\nk=a\0b", 9), "s", "k"), "a");
  EXPECT_EQ(FindIniValue("[s]\nk=" + std::string(5000, 'x'), "s", "k")->size(), IniFile::kMaxValueLength);
  std::string set = SetIniValue("\xEF\xBB\xBF[s]\nk=1", "S", "K", "2");
  EXPECT_EQ(set, "\xEF\xBB\xBF[s]\r\nk=2\r\n");
}

TEST(IniText, IntegerTextMustBeWhole) {
  int32_t v = 0;
  EXPECT_TRUE(ParseIniInteger("2147483647", v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(ParseIniInteger("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(ParseIniInteger("2147483648", v));
  EXPECT_TRUE(ParseIniInteger("0xFFFFFFFF", v));
  EXPECT_EQ(v, -1);
  for (const char* bad : {"", "-", "12a", " 1", "0x", "$", "1.5"}) EXPECT_FALSE(ParseIniInteger(bad, v)) << bad;
}
