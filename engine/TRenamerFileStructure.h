#pragma once
// New file names built from a naming mask: bracketed tokens stand for parts of the source
// name ([N] name, [E] extension, [F] folder), the date and time, and a counter.
#include <cstdint>

#include "platform/Text.h"

struct TRenamerFileStructure {
  int32_t CounterIndex = 0;  // 1-based number of the item being named; the driver sets it
  int32_t CounterStart = 0;  // counter value for index 1
  int32_t CounterWidth = 5;  // minimum digits
  int32_t CounterStep = 1;
  AnsiString Mask = "[N].[E]";
  bool ReplaceSwitch = false;  // never switched on by this plug-in
  AnsiString ReplaceFindText;
  AnsiString ReplaceWithText;
  int32_t NameCaseOption = 1;  // 1 leaves the name as it is
};

// The one record the naming calls of the batch share.
TRenamerFileStructure& RenamerFileStructure();

constexpr size_t kMaxMaskedNameLength = 260;

// The new file name (without folder) for a file of the folder (which ends with a path
// delimiter), named at fileTime (a UTC FILETIME, shown in local time).
AnsiString ExpandNameMask(const TRenamerFileStructure& renamer, const AnsiString& folderPath,
                          const AnsiString& fileName, int64_t fileTime);

// The part of text selected by a range of a mask bracket (1-based, negative from the end).
AnsiString SelectSubstring(const AnsiString& text, int32_t first, int32_t second, bool commaForm);

// Decimal text with zeros put in front (before a minus sign too) up to width characters.
AnsiString PadNumber(int64_t value, int32_t width);

// Whether a name can be saved beside its source without leaving the folder or meaning a
// device: not empty, ".", "..", no delimiter, drive colon, wildcard or control character.
bool IsPlainFileName(const AnsiString& name);

// ExpandNameMask for the driver: false (and name untouched) when the expanded name is not a
// plain file name, so the document is failed instead of written elsewhere.
bool NewFileNameByMask(const TRenamerFileStructure& renamer, const AnsiString& folderPath,
                       const AnsiString& fileName, int64_t fileTime, AnsiString& name);
