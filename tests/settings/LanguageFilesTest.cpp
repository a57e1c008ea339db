#include <gtest/gtest.h>

#include <string>

#include "platform/Files.h"
#include "settings/TClassTranslator.h"

namespace {

struct Shipped {
  const char* language;
  int codePage;
  int32_t id;
  const char* expected;  // UTF-8
};

std::string languageFile(const char* language) {
  return std::string(TAVIMO_SOURCE_DIR) + "/lang/tavimo_word_" + language + ".lnm";
}

// The texts are Windows code page bytes; compare them as text.
std::string asUtf8(const char* bytes, int codePage) {
  return platform::wideToUtf8(platform::codePageToWide(bytes, codePage));
}

TClassTranslator loaded(const char* language) {
  TClassTranslator t(9500, 3000);
  RegisterMainWindowTexts(t);
  RegisterModuleTexts(t);
  EXPECT_TRUE(t.LoadLanguageFile(languageFile(language))) << language;
  return t;
}

}  // namespace

TEST(LanguageFiles, EachShippedFileChangesItsTexts) {
  const Shipped checks[] = {
      {"french", 1252, 208, "Nom"},
      {"french", 1252, 302, "&Démarrer le remplacement"},
      {"french", 1252, 371, "Ne rien faire. Ignorer la ligne"},
      {"Hungarian", 1250, 208, "Név"},
      {"Hungarian", 1250, 215, "A művelet befejeződött!"},
      {"Hungarian", 1250, 303, "&Mégse"},
      {"Nederlands", 1252, 223, "Visuele stijlen zijn alleen beschikbaar op computers waarop MS Word 2000 of hoger is geïnstalleerd!"},
      {"Nederlands", 1252, 227, "Alle bestanden"},
      {"Danish", 1252, 209, "uændret"},
      {"Danish", 1252, 238, "MS Word %s blev fundet!"},
      {"spanish", 1252, 221, "¿Cancelar la operación?"},
      {"spanish", 1252, 248, "¿Desea guardar los cambios realizados en '"},
      {"german", 1252, 233, "Größe nachher"},
      {"german", 1252, 366, "In Kopf-/Fußzeilen ersetzen"},
      {"polish", 1250, 210, "błąd"},
      {"polish", 1250, 312, "&Tabela tłumaczeń:"},
  };
  for (const auto& c : checks) {
    TClassTranslator t = loaded(c.language);
    EXPECT_EQ(asUtf8(t.GetText(c.id), c.codePage), c.expected) << c.language << " " << c.id;
  }
}

TEST(LanguageFiles, EveryFileTranslatesTheSameIdsAndLeavesTheLastTwoEnglish) {
  for (const char* language : {"french", "Hungarian", "Nederlands", "Danish", "spanish", "german", "polish"}) {
    TClassTranslator english(9500, 3000);
    RegisterMainWindowTexts(english);
    RegisterModuleTexts(english);
    TClassTranslator t = loaded(language);
    for (int32_t id : {208, 223, 227, 239, 243, 248, 300, 315, 340, 371}) {
      if (id == 227 && std::string(language) == "french") continue;
      EXPECT_STRNE(t.GetText(id), "") << language << " " << id;
    }
    // Texts that no language words as English does.
    for (int32_t id : {223, 239, 243, 248, 315, 340, 371}) {
      EXPECT_STRNE(t.GetText(id), english.GetText(id)) << language << " " << id;
    }
    EXPECT_STREQ(t.GetText(372), english.GetText(372)) << language;
    EXPECT_STREQ(t.GetText(373), english.GetText(373)) << language;
  }
}

TEST(LanguageFiles, FrenchLeavesAllFilesInEnglish) {
  TClassTranslator t = loaded("french");
  EXPECT_STREQ(t.GetText(208), "Nom");
  EXPECT_STREQ(t.GetText(227), "All files");
}

TEST(LanguageFiles, ShippedBytesUseCrLfAndAsteriskSeparators) {
  std::string french = platform::readFile(languageFile("french"), 1 << 20);
  EXPECT_NE(french.find("\r\n" + std::string(86, '*') + "\r\n"), std::string::npos);
  EXPECT_EQ(french.find("\n\n"), std::string::npos);
  for (size_t i = 0; i < french.size(); ++i)
    if (french[i] == '\n') {
      ASSERT_EQ(french[i - 1], '\r');
    }
  std::string polish = platform::readFile(languageFile("polish"), 1 << 20);
  EXPECT_NE(polish.find(std::string(87, '*') + "\r\n"), std::string::npos);
}
