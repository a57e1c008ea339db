#pragma once
// OpenDocument data styles (number:number-style and its kin) as the Excel number format codes
// that show the same text, for Range.Text and for Value's Date and Currency.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ooxml/sheet/OdsXml.h"
#include "platform/Text.h"

namespace ooxml::sheet::ods {

class DataStyles {
 public:
  // Keeps the element when it is a data style; the document must outlive this object.
  void add(xml::Node style, const Names& names);
  // The code of the named style: "General" for a name we do not know, nullopt for a style
  // our number formats cannot show (the caller shows the file's own text instead).
  std::optional<WideString> codeOf(std::string_view name);

 private:
  struct Entry {
    xml::Node node;
    const Names* names = nullptr;
  };
  std::optional<WideString> convert(const Entry& e);
  std::unordered_map<std::string, Entry> styles_;
  std::unordered_map<std::string, std::optional<WideString>> codes_;
};

}  // namespace ooxml::sheet::ods
