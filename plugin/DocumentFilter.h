#pragma once
// Which host paths are documents: file masks matched against the whole path, without
// regard to case, '*' any run of characters and '?' any one.
#include <string>
#include <vector>

#include "platform/Text.h"

class DocumentFilter {
 public:
  static constexpr const char* kDocumentMasks = "*.doc;*.dot;*.rtf;*.wps;*.mcw;*.docx;*.adt;*.mht;*.docm";

  explicit DocumentFilter(const AnsiString& masks = kDocumentMasks);
  bool Matches(const AnsiString& path) const;

 private:
  std::vector<WideString> patterns_;
};
