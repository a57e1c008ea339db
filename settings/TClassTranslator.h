#pragma once
// Every translatable text of the plug-in by id: a default English text the plug-in registers,
// and a translation from a language file that wins over it. All texts share one byte pool
// addressed by 32-bit offsets, so a look-up never allocates.
#include <cstdint>
#include <vector>

#include "platform/Text.h"

class TClassTranslator {
 public:
  TClassTranslator(int32_t initialCapacity, int32_t translationOffset);

  // A default text (slot = id) or a translation (slot = id + translation offset). Slots
  // outside the table are ignored. The bytes are stored as they are.
  void RegisterText(int32_t slot, const char* text);
  // The translation, else the default, else the empty text. The pointer is valid until the
  // next RegisterText: copy it at once.
  const char* GetText(int32_t id) const;
  // Overlays the translations of a language file; false when it could not be read whole.
  bool LoadLanguageFile(const AnsiString& path);

  int32_t TranslationOffset() const { return translationOffset_; }
  int32_t PoolCapacity() const { return capacity_; }
  int32_t UsedBytes() const { return used_; }

  // Language files larger than this are refused rather than read into memory.
  static constexpr size_t kMaxLanguageFileBytes = 16u << 20;

 private:
  std::vector<char> pool_;
  int32_t used_ = 0;
  int32_t capacity_ = 0;
  int32_t slotCount_ = 0;
  std::vector<int32_t> slots_;
  int32_t translationOffset_ = 0;
};

// Backslash n becomes CR LF in place; a backslash before such a pair stays.
void ConvertLanguageEscapes(std::string& text);

// The one translator of the module, with the option dialog's and the table editor's texts
// registered when the module is loaded.
TClassTranslator& Translator();
// The main window's texts, registered each time it is created.
void RegisterMainWindowTexts(TClassTranslator& translator);
void RegisterModuleTexts(TClassTranslator& translator);
