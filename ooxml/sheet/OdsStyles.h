#pragma once
// The cell and text styles of an OpenDocument spreadsheet (common ones, automatic ones and the
// default style, with their parents), resolved into the workbook's fonts, fills and formats.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "ooxml/sheet/OdsDataStyles.h"
#include "ooxml/sheet/OdsXml.h"
#include "ooxml/sheet/Workbook.h"

namespace ooxml::sheet::ods {

class CellStyles {
 public:
  explicit CellStyles(Styles& target) : target_(target) {}

  // What one document declares: office:font-face-decls, office:styles or office:automatic-styles.
  // The documents must outlive this object.
  void addFontFaces(xml::Node decls, const Names& names);
  void addStyles(xml::Node container, const Names& names);
  // Makes format 0 what a cell without a style shows; call once everything is added.
  void finish();

  // The workbook format of a cell style ("" for none).
  uint32_t formatOf(std::string_view cellStyle);
  // Whether the format's data style has no equivalent code, so a cell shows the file's text.
  bool showsFileText(uint32_t format) const { return fileText_.count(format) != 0; }
  // The format, with a code that shows `text` for any number.
  uint32_t withShownText(uint32_t format, const WideString& text);
  // The font of a piece of text in a span of that text style, in a cell of that font.
  Font spanFont(const Font& cellFont, std::string_view textStyle);

 private:
  struct Declared {
    xml::Node node;
    const Names* names = nullptr;
  };
  using ByName = std::unordered_map<std::string, Declared>;
  std::vector<const Declared*> chain(const ByName& family, std::string_view name) const;
  void applyText(const Declared& d, Font& font) const;
  uint32_t codeId(const WideString& code);
  uint32_t fontIndex(const Font& f);
  uint32_t fillIndex(const Fill& f);
  uint32_t formatIndex(const CellFormat& f);

  Styles& target_;
  DataStyles dataStyles_;
  std::unordered_map<std::string, WideString> fontFaces_;
  ByName cellStyles_, textStyles_;
  std::optional<Declared> defaultCell_;
  std::unordered_map<std::string, uint32_t> formats_;  // by cell style name
  std::unordered_map<std::string, uint32_t> fontKeys_, fillKeys_, formatKeys_, codeKeys_;
  std::unordered_set<uint32_t> fileText_;
};

}  // namespace ooxml::sheet::ods
