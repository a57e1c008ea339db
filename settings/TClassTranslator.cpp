#include "settings/TClassTranslator.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <new>

#include "platform/Files.h"

TClassTranslator::TClassTranslator(int32_t initialCapacity, int32_t translationOffset)
    : capacity_(std::max<int32_t>(initialCapacity, 1)),
      slotCount_(static_cast<int32_t>(std::clamp<int64_t>(2LL * translationOffset, 1, 1 << 24))),
      translationOffset_(translationOffset) {
  pool_.assign(static_cast<size_t>(capacity_), '\0');
  slots_.assign(static_cast<size_t>(slotCount_), 0);
  RegisterText(0, "");
}

void TClassTranslator::RegisterText(int32_t slot, const char* text) {
  if (slot < 0 || slot >= slotCount_ || !text) return;
  const int64_t length = static_cast<int64_t>(std::strlen(text));
  const int64_t needed = static_cast<int64_t>(used_) + length + 1;
  // Offsets are 32-bit: a text that would not fit below that limit is dropped.
  if (needed > std::numeric_limits<int32_t>::max()) return;
  if (needed > capacity_) {
    // Grow by the text plus 6000 bytes, and by at least half the pool, so that a language
    // file of many lines does not copy the pool once per few thousand bytes.
    int64_t grown = std::max<int64_t>(capacity_ + length + 6000, capacity_ + capacity_ / 2);
    grown = std::min<int64_t>(grown, std::numeric_limits<int32_t>::max());
    try {
      pool_.resize(static_cast<size_t>(grown), '\0');
    } catch (const std::bad_alloc&) {
      return;  // out of memory: the text stays as it was
    }
    capacity_ = static_cast<int32_t>(grown);
  }
  std::memcpy(pool_.data() + used_, text, static_cast<size_t>(length));
  pool_[static_cast<size_t>(used_ + length)] = '\0';
  slots_[static_cast<size_t>(slot)] = used_;
  used_ = static_cast<int32_t>(needed);
}

const char* TClassTranslator::GetText(int32_t id) const {
  const int64_t translated = static_cast<int64_t>(id) + translationOffset_;
  if (id < 0 || translated >= slotCount_) return pool_.data();
  int32_t offset = slots_[static_cast<size_t>(translated)];
  if (offset == 0) offset = slots_[static_cast<size_t>(id)];
  return pool_.data() + offset;
}

void ConvertLanguageEscapes(std::string& text) {
  bool nextIsN = false;
  for (size_t i = text.size(); i-- > 0;) {
    if (text[i] == 'n') {
      nextIsN = true;
    } else if (text[i] == '\\' && nextIsN) {
      text[i] = '\r';
      text[i + 1] = '\n';
      nextIsN = false;
    } else {
      nextIsN = false;
    }
  }
}

bool TClassTranslator::LoadLanguageFile(const AnsiString& path) {
  std::string bytes;
  try {
    bytes = platform::readFile(path, kMaxLanguageFileBytes);
  } catch (const std::exception&) {
    return false;
  }
  int32_t id = 0;
  std::string text;
  bool afterEquals = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    const bool lineEnd = c == '\r' || c == '\n';
    if (!lineEnd) {
      if (afterEquals) {
        text += c;
      } else if (c >= '0' && c <= '9') {
        // Twenty-digit ids stop at the 32-bit limit: too large either way, and never wrap
        // round to a valid id.
        id = static_cast<int32_t>(std::min<int64_t>(id * 10LL + (c - '0'), std::numeric_limits<int32_t>::max()));
      } else if (c == '=') {
        afterEquals = true;
      }
    }
    if (lineEnd || i + 1 == bytes.size()) {
      if (afterEquals && id < translationOffset_) {
        ConvertLanguageEscapes(text);
        // A NUL in the text ends it, as it would end any text handed to RegisterText.
        RegisterText(id + translationOffset_, text.c_str());
      }
      id = 0;
      text.clear();
      afterEquals = false;
    }
  }
  return true;
}
