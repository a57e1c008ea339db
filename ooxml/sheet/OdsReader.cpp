#include "ooxml/sheet/OdsReader.h"

#include <algorithm>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/Zip.h"
#include "ooxml/sheet/OdsStyles.h"
#include "ooxml/sheet/OdsTables.h"
#include "ooxml/sheet/SheetXml.h"

namespace ooxml::sheet {
namespace {

using ods::Names;
using ods::Ns;

constexpr std::string_view kOfficeNamespace = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view kMimePrefix = "application/vnd.oasis.opendocument.";
constexpr std::string_view kSpreadsheet = "application/vnd.oasis.opendocument.spreadsheet";

[[noreturn]] void fail(const std::string& message) { throw PackageError(message); }

void refuseMime(std::string_view mime) {
  mime = mime.substr(0, std::min<size_t>(mime.find_first_of("\r\n"), 100));
  // .ods and its template .ots
  if (mime == kSpreadsheet || mime == std::string(kSpreadsheet) + "-template") return;
  fail("The file is not a workbook but an OpenDocument file of another kind (" + std::string(mime) + ")");
}

[[noreturn]] void protectedFile() {
  fail("The workbook is protected by a password and cannot be read: open it in the program that saved it, "
       "remove the password and save it again");
}

// The parsed documents of one file, with the memory their trees may take together bounded as
// a package's are: a small file of millions of tiny elements is refused.
class Documents {
 public:
  Documents(uint64_t fileSize, const WorkbookLimits& limits) : limits_(limits) {
    budget_ = std::clamp<uint64_t>(fileSize * 200, 384ull << 20, 1024ull << 20);
  }

  const xml::Document& parse(std::string text) {
    xml::ParseLimits pl;
    pl.maxBytes = static_cast<size_t>(std::min<uint64_t>(limits_.maxPartSize, SIZE_MAX));
    pl.maxMemory = static_cast<size_t>(budget_ - std::min(held_, budget_));
    docs_.push_back(xml::Document::parse(std::move(text), pl));
    held_ += docs_.back()->memoryUse();
    names_.push_back(std::make_unique<Names>(docs_.back()->documentElement()));
    return *docs_.back();
  }
  const Names& names() const { return *names_.back(); }

 private:
  const WorkbookLimits& limits_;
  uint64_t budget_ = 0, held_ = 0;
  std::vector<std::unique_ptr<xml::Document>> docs_;
  std::vector<std::unique_ptr<Names>> names_;
};

class OdsLoader {
 public:
  OdsLoader(uint64_t fileSize, const WorkbookLimits& limits)
      : limits_(limits), docs_(fileSize, limits), book_(std::make_unique<Workbook>()), styles_(book_->styles) {
    book_->sheets.clear();
  }

  std::unique_ptr<Workbook> fromPackage(std::string bytes) {
    ZipLimits zl;
    zl.maxEntrySize = limits_.maxPartSize;
    ZipReader zip(std::move(bytes), zl);
    const ZipEntry* mime = zip.find("mimetype");
    if (!mime) fail("The file is not a workbook: it is a package without an OpenDocument type");
    if (mime->size > 200) fail("The file is not a workbook: its OpenDocument type is damaged");
    refuseMime(zip.read(*mime));
    if (const ZipEntry* manifest = zip.find("META-INF/manifest.xml")) {
      const xml::Document& doc = docs_.parse(zip.read(*manifest));
      if (findDescendant(doc.documentElement(), "encryption-data", 3)) protectedFile();
    }
    const ZipEntry* content = zip.find("content.xml");
    if (!content) fail("The file is not a workbook: the OpenDocument package has no content.xml");
    const xml::Document& contentDoc = docs_.parse(zip.read(*content));
    const Names& contentNames = docs_.names();
    xml::Node root = contentDoc.documentElement();
    if (!contentNames.is(root, Ns::Office, "document-content")) fail("The file is not a workbook: its content.xml is not OpenDocument content");
    styles_.addFontFaces(contentNames.child(root, Ns::Office, "font-face-decls"), contentNames);
    styles_.addStyles(contentNames.child(root, Ns::Office, "automatic-styles"), contentNames);
    if (const ZipEntry* stylesPart = zip.find("styles.xml")) {
      const xml::Document& doc = docs_.parse(zip.read(*stylesPart));
      const Names& n = docs_.names();
      xml::Node s = doc.documentElement();
      styles_.addFontFaces(n.child(s, Ns::Office, "font-face-decls"), n);
      styles_.addStyles(n.child(s, Ns::Office, "styles"), n);
      styles_.addStyles(n.child(s, Ns::Office, "automatic-styles"), n);
    }
    std::optional<std::string> active;
    if (const ZipEntry* settings = zip.find("settings.xml")) {
      const xml::Document& doc = docs_.parse(zip.read(*settings));
      active = activeTable(docs_.names().child(doc.documentElement(), Ns::Office, "settings"), docs_.names());
    }
    return finish(root, contentNames, active);
  }

  std::unique_ptr<Workbook> fromFlat(std::string bytes) {
    const xml::Document& doc = docs_.parse(std::move(bytes));
    const Names& n = docs_.names();
    xml::Node root = doc.documentElement();
    if (!n.is(root, Ns::Office, "document")) fail("The file is not a workbook: it is XML of another kind");
    if (n.has(root, Ns::Office, "mimetype")) refuseMime(n.attr(root, Ns::Office, "mimetype"));
    styles_.addFontFaces(n.child(root, Ns::Office, "font-face-decls"), n);
    styles_.addStyles(n.child(root, Ns::Office, "automatic-styles"), n);
    styles_.addStyles(n.child(root, Ns::Office, "styles"), n);
    return finish(root, n, activeTable(n.child(root, Ns::Office, "settings"), n));
  }

 private:
  // The sheet the file was left on: the view settings' ActiveTable.
  static std::optional<std::string> activeTable(xml::Node from, const Names& n, int depth = 0) {
    for (xml::Node c = from.firstElement(); c && depth < 6; c = c.nextElement()) {
      if (n.is(c, Ns::Config, "config-item") && n.attr(c, Ns::Config, "name") == "ActiveTable") return textOf(c);
      if (auto found = activeTable(c, n, depth + 1)) return found;
    }
    return std::nullopt;
  }

  std::unique_ptr<Workbook> finish(xml::Node root, const Names& n, const std::optional<std::string>& active) {
    xml::Node spreadsheet = n.child(n.child(root, Ns::Office, "body"), Ns::Office, "spreadsheet");
    if (!spreadsheet) fail("The file is not a workbook: the OpenDocument file holds no spreadsheet");
    styles_.finish();
    ods::TableReader tables(*book_, styles_, limits_);
    for (xml::Node t = spreadsheet.firstElement(); t; t = t.nextElement())
      if (n.is(t, Ns::Table, "table")) {
        if (active && n.attr(t, Ns::Table, "name") == *active) book_->activeSheet = book_->sheets.size();
        tables.read(t, n);
      }
    if (book_->sheets.empty()) fail("The workbook has no worksheet");
    return std::move(book_);
  }

  const WorkbookLimits& limits_;
  Documents docs_;
  std::unique_ptr<Workbook> book_;
  ods::CellStyles styles_;
};

}  // namespace

bool looksLikeOpenDocument(std::string_view bytes) {
  // A package: the local header of its first entry names "mimetype", stored first so that
  // its type can be read at a fixed place.
  if (bytes.size() >= 38 && bytes.compare(0, 4, "PK\x03\x04") == 0) {
    const size_t nameLength = static_cast<unsigned char>(bytes[26]) | static_cast<unsigned char>(bytes[27]) << 8;
    const size_t extraLength = static_cast<unsigned char>(bytes[28]) | static_cast<unsigned char>(bytes[29]) << 8;
    const bool stored = bytes[8] == 0 && bytes[9] == 0;
    if (nameLength != 8 || bytes.compare(30, 8, "mimetype") != 0) return false;
    const size_t data = 38 + extraLength;
    return !stored || (data < bytes.size() && bytes.substr(data, kMimePrefix.size()) == kMimePrefix);
  }
  // Flat XML: an element in the office namespace near the start.
  std::string_view head = bytes.substr(0, 64 << 10);
  if (head.compare(0, 3, "\xEF\xBB\xBF") == 0) head.remove_prefix(3);
  const size_t start = head.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && head[start] == '<' && head.find(kOfficeNamespace) != std::string_view::npos;
}

std::unique_ptr<Workbook> loadOdsWorkbook(std::string bytes, const WorkbookLimits& limits) {
  if (bytes.size() > limits.maxFileSize) fail("The workbook file is too large to be read");
  const uint64_t size = bytes.size();
  OdsLoader loader(size, limits);
  if (bytes.compare(0, 2, "PK") == 0) return loader.fromPackage(std::move(bytes));
  return loader.fromFlat(std::move(bytes));
}

}  // namespace ooxml::sheet
