#include "tables/TAbstractTable.h"

void TAbstractTable::ParseRowOptions(TFormating& findFormat, const WideString& options) {
  findFormat.MatchCase = -1;
  findFormat.WholeWord = -1;
  findFormat.Wildcards = -1;
  bool negate = false;
  for (char16_t c : options) {
    if (c == u'-') {
      negate = true;
      continue;
    }
    int32_t value = negate ? 0 : 1;
    switch (c) {
      case u'C': case u'c': findFormat.MatchCase = value; break;
      case u'W': case u'w': findFormat.WholeWord = value; break;
      case u'D': case u'd': findFormat.Wildcards = value; break;
      default: break;
    }
    negate = false;  // the minus sign covers the next character only, whatever it is
  }
}
