#pragma once
// The hyperlinks of the main text in document order, as Word's Hyperlinks collection shows
// them: hyperlink elements (address from their relationship, sub-address from their anchor)
// and HYPERLINK fields, simple or complex (address and \l argument of the field code).
// Assigning changes the relationship (a new one when others share it) or the field code.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "ooxml/word/StoryElements.h"
#include "ooxml/word/WordDocument.h"

namespace ooxml::word {

class Hyperlinks {
 public:
  explicit Hyperlinks(WordDocument& doc) : doc_(doc) {}

  size_t count() { return links().size(); }
  // Links are numbered from 0 here.
  std::u16string address(size_t i);
  std::u16string subAddress(size_t i);
  void setAddress(size_t i, std::u16string_view address);
  void setSubAddress(size_t i, std::u16string_view subAddress);

 private:
  std::vector<el::LinkSite>& links();
  el::LinkSite& link(size_t i);
  xml::Node relationshipsRoot(bool create);  // empty when the part is missing and not to be made
  // The entry of a relationship id, looked up: reading every link's address walks them all.
  xml::Node relationshipEntry(std::string_view id);
  uint64_t relationshipsVersion();
  void setElementAddress(xml::Node hyperlink, std::u16string_view address);
  void setCode(el::LinkSite& site, std::u16string code);

  WordDocument& doc_;
  std::vector<el::LinkSite> links_;
  // How many elements of the main part name each relationship, as a link may share its own.
  std::map<std::string, size_t, std::less<>> uses_;
  uint64_t read_ = UINT64_MAX;
  std::unordered_map<std::string_view, xml::Node> entries_;  // kept while the part stands
  size_t entryElements_ = 0;                                 // elements of the part, which new ids count from
  uint64_t entriesRead_ = UINT64_MAX;                        // the part's version they were read at
};

// A HYPERLINK field code taken apart: its address and \l argument, and the code with either
// one changed (quoted as Word quotes them, the rest of the code kept as it was).
class HyperlinkFieldCode {
 public:
  explicit HyperlinkFieldCode(std::u16string code);
  bool isHyperlink() const { return hyperlink_; }
  std::u16string address() const { return address_ < 0 ? std::u16string() : tokens_[address_].value; }
  std::u16string subAddress() const { return anchor_ < 0 ? std::u16string() : tokens_[anchor_ + 1].value; }
  std::u16string withAddress(std::u16string_view address) const;
  std::u16string withSubAddress(std::u16string_view subAddress) const;

 private:
  struct Token {
    size_t begin, end;
    std::u16string value;
    bool isSwitch;
  };
  std::u16string replaced(int token, std::u16string_view value, size_t insertAt, std::u16string_view prefix) const;

  std::u16string code_;
  std::vector<Token> tokens_;
  bool hyperlink_ = false;
  int address_ = -1;  // token index
  int anchor_ = -1;   // the \l switch, its argument follows
};

}  // namespace ooxml::word
