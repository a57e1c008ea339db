#include "engine/TRenamerFileStructure.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "platform/Clock.h"
#include "platform/Text.h"

namespace {

int32_t saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Twenty-digit numbers in a mask stop at the 32-bit limits instead of wrapping.
int32_t appendDigit(int32_t number, int digit, int sign) {
  return saturate(static_cast<int64_t>(number) * 10 + digit * sign);
}

AnsiString changeCase(const AnsiString& token, int mode) {
  if (mode == 0 || token.empty()) return token;
  WideString w = platform::ansiToWide(token);
  return platform::wideToAnsi(mode > 0 ? platform::toUpper(w) : platform::toLower(w));
}

// Both delimiters on every target: the host hands over Windows paths, the batch of the
// command line its own.
bool isDelimiter(char c) { return c == '\\' || c == '/'; }

AnsiString folderNameOf(AnsiString folder) {
  if (!folder.empty() && isDelimiter(folder.back())) folder.pop_back();
  size_t i = folder.size();
  while (i > 0 && !isDelimiter(folder[i - 1])) --i;
  return folder.substr(i);
}

bool isDeviceName(const AnsiString& name) {
  AnsiString base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  static const char* const fixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* d : fixed)
    if (base == d) return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '0' && base[3] <= '9';
}

}  // namespace

TRenamerFileStructure& RenamerFileStructure() {
  static TRenamerFileStructure record;
  return record;
}

AnsiString PadNumber(int64_t value, int32_t width) {
  AnsiString digits = std::to_string(value);
  // Width comes from the record, not from outside text, but a mask field must not allocate
  // without bound; names longer than this are cut at 260 anyway.
  size_t target = static_cast<size_t>(std::clamp<int32_t>(width, 0, 1024));
  if (digits.size() < target) digits.insert(0, target - digits.size(), '0');
  return digits;
}

AnsiString SelectSubstring(const AnsiString& text, int32_t first, int32_t second, bool commaForm) {
  const int64_t length = static_cast<int64_t>(text.size());
  if (length == 0) return AnsiString();
  int64_t a = first, b = second == 0 ? length : second;
  int64_t start = 0, count = 0;
  if (a > 0 && a <= length) {
    start = a;
    count = b > 0 ? b : -b - a + 1;
  } else if (a < 0) {
    int64_t t = a + length;
    start = std::max<int64_t>(t + 1, 1);
    if (b > 0) {
      count = b;
    } else if (commaForm) {
      count = -b;
      if (t < -b) count = start;
      start = std::max<int64_t>(start + b + 1, 1);
    } else {
      count = b - a + 1;
    }
  }
  if (count < 0) start = 0;
  if (start + count - 1 > length) count = length - start + 1;
  if (start <= 0 || start > length || count <= 0) return AnsiString();
  return text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
}

AnsiString ExpandNameMask(const TRenamerFileStructure& renamer, const AnsiString& folderPath,
                          const AnsiString& fileName, int64_t fileTime) {
  const AnsiString folder = folderNameOf(folderPath);
  const platform::LocalTime time = platform::fileTimeToLocal(fileTime);
  AnsiString name = fileName, extension;
  if (size_t dot = fileName.rfind('.'); dot != AnsiString::npos) {
    name = fileName.substr(0, dot);
    extension = fileName.substr(dot + 1);
  }
  const int64_t counter = (static_cast<int64_t>(renamer.CounterIndex) - 1) * renamer.CounterStep +
                          renamer.CounterStart;

  AnsiString result, token;
  size_t lengthSoFar = 0;
  int caseMode = 0;  // 1 upper, -1 lower
  bool inBracket = false, numberSeen = false, secondFollows = false, commaForm = false;
  char source = 0;
  int32_t firstNumber = 0, secondNumber = 0;
  int sign = 1;

  const AnsiString& mask = renamer.Mask;
  for (size_t i = 0; i < mask.size(); ++i) {
    const char c = mask[i];
    bool complete = false;
    if (!inBracket) {
      if (c == '[') {
        inBracket = true;
        numberSeen = secondFollows = commaForm = false;
        source = 0;
      } else {
        // A whole character, not a byte: a lone byte of one would not survive the case
        // change, and the length cut must not split one.
        const size_t length = platform::ansiCharLength(std::string_view(mask).substr(i));
        token.assign(mask, i, length);
        i += length - 1;
        complete = true;
      }
    } else if (c >= '0' && c <= '9') {
      if (secondFollows) {
        secondNumber = appendDigit(secondNumber, c - '0', sign);
      } else {
        firstNumber = appendDigit(firstNumber, c - '0', sign);
        numberSeen = true;
      }
    } else {
      switch (c) {
        case '-':
          if (numberSeen) secondFollows = true;
          sign = -1;
          break;
        case ',':
          if (numberSeen) {
            secondFollows = commaForm = true;
            sign = 1;
          }
          break;
        case 'F': source = 'F'; break;
        case 'N': if (source != 'F') source = 'N'; break;
        case 'E': if (source == 0) source = 'E'; break;
        case 'C': token += PadNumber(saturate(counter), renamer.CounterWidth); break;
        case 'Y': token += PadNumber(time.year, 2); break;
        case 'M': token += PadNumber(time.month, 2); break;
        case 'D': token += PadNumber(time.day, 2); break;
        case 'h': token += PadNumber(time.hour, 2); break;
        case 'm': token += PadNumber(time.minute, 2); break;
        case 's': token += PadNumber(time.second, 2); break;
        case 'U': caseMode = 1; break;
        case 'L': caseMode = -1; break;
        case 'n': caseMode = 0; break;
        case ']': {
          AnsiString text = source == 'F' ? folder : source == 'N' ? name : source == 'E' ? extension : fileName;
          if (secondFollows) text = SelectSubstring(text, firstNumber, secondNumber, commaForm);
          if (source != 0 || secondFollows) token += text;
          firstNumber = secondNumber = 0;
          sign = 1;
          inBracket = false;
          complete = true;
          break;
        }
        default: break;
      }
    }
    if (complete) {
      token = changeCase(token, caseMode);
      lengthSoFar += token.size();
      if (lengthSoFar > kMaxMaskedNameLength) break;
      result += token;
      token.clear();
    }
  }
  if (!result.empty() && result.back() == '.') result.pop_back();
  return result;
}

bool IsPlainFileName(const AnsiString& name) {
  if (name.empty() || name.find_first_not_of('.') == AnsiString::npos) return false;
  for (unsigned char c : name)
    if (c < 32 || AnsiString("<>:\"/\\|?*").find(static_cast<char>(c)) != AnsiString::npos) return false;
  // Windows drops trailing dots and blanks, so such a name would be saved as another file's
  // (the source's own, with no backup, for "[N].[E] "); a name of only those is the folder.
  if (name.back() == '.' || name.back() == ' ') return false;
  return !isDeviceName(name);
}

bool NewFileNameByMask(const TRenamerFileStructure& renamer, const AnsiString& folderPath,
                       const AnsiString& fileName, int64_t fileTime, AnsiString& name) {
  AnsiString expanded = ExpandNameMask(renamer, folderPath, fileName, fileTime);
  if (!IsPlainFileName(expanded)) return false;
  name = expanded;
  return true;
}
