#pragma once
// An OOXML package: its parts (ZIP entries), content types and relationships. Parts are
// read and parsed only when asked for; a part nobody changed is written back as the very
// bytes it was read from.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ooxml/package/Xml.h"
#include "ooxml/package/Zip.h"
#include "platform/Text.h"

namespace ooxml {

struct Relationship {
  std::string id;
  std::string type;    // the full relationship type URI
  std::string target;  // as written
  bool external = false;
};

namespace relTypes {
inline constexpr std::string_view kOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr std::string_view kOfficeDocumentStrict = "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument";
}  // namespace relTypes

struct PackageLimits {
  ZipLimits zip;
  xml::ParseLimits xml;
  uint64_t maxFileSize = 1024ull << 20;
  // The memory the parsed XML of all parts may take together (xml::Document::memoryUse()):
  // xmlMemoryPerByte times the file's size, within [minXmlMemory, maxXmlMemory]. Word's XML
  // takes some 3 to 5 times its own size parsed and compresses 5 to 30 fold, so a document
  // needs 15 to 150 times its file's size: a 2,000-page one (30 to 150 MB of XML) some 0.1 to
  // 0.7 GB. A small file of millions of tiny elements, in one part or spread over many, is refused.
  uint64_t xmlMemoryPerByte = 200;
  uint64_t minXmlMemory = 384ull << 20;
  uint64_t maxXmlMemory = 1024ull << 20;
};

class Package {
 public:
  // Reads the file through platform::fileSystem(). Errors are PackageError.
  static std::unique_ptr<Package> open(const AnsiString& path, const PackageLimits& limits = {});
  static std::unique_ptr<Package> fromBytes(std::string bytes, const PackageLimits& limits = {});

  // Part names are ZIP entry names: "word/document.xml", no leading slash.
  bool hasPart(std::string_view name) const;
  std::vector<std::string> partNames() const;
  std::string partBytes(std::string_view name);             // raw, as stored (or as last set)
  xml::Document& xmlPart(std::string_view name);             // parsed once, kept
  void setPartBytes(std::string_view name, std::string bytes);  // creates the part when new
  void markChanged(std::string_view name);                   // its parsed DOM is written on save
  bool isChanged(std::string_view name) const;
  // Changes whenever any part is replaced or made, or this part's parsed tree is edited:
  // what was read from the part stays true while it stands.
  uint64_t partVersion(std::string_view name) const;
  // Grows whenever any part is replaced or made: with a parsed part's own edits() it tells,
  // without looking the part up by name, whether what was read from it still stands.
  uint64_t replacements() const { return partsReplaced_; }

  // Content types: the Override for the part, else the Default for its extension.
  std::string contentType(std::string_view partName);
  void setContentTypeOverride(std::string_view partName, std::string_view type);

  // Relationships of a part ("" for the package's own, _rels/.rels).
  // The answer is kept until the relationships part is edited or replaced.
  const std::vector<Relationship>& relationships(std::string_view sourcePart);
  // The part a relative (or absolute "/...") internal target names, seen from the source
  // part. Throws PackageError when it climbs out of the package.
  static std::string resolveTarget(std::string_view sourcePart, std::string_view target);
  // The main part: the target of the package's officeDocument relationship ("" when none).
  std::string mainPartName();

  // The whole package as ZIP bytes, and written atomically to a file: a temporary file in
  // the target's folder renamed over it once complete. Throws PackageError on failure and
  // leaves the target as it was.
  std::string save();
  void saveAs(const AnsiString& path);

 private:
  struct Part {
    std::string name;
    const ZipEntry* entry = nullptr;  // null for a part made here
    std::optional<std::string> bytes;
    std::unique_ptr<xml::Document> dom;
    uint64_t domMemory = 0;  // what parsing it took, counted against the package's budget
    bool changed = false;
  };
  Package(std::string bytes, const PackageLimits& limits);
  Part* find(std::string_view name);
  const Part* find(std::string_view name) const;
  Part& need(std::string_view name);

  PackageLimits limits_;
  ZipReader zip_;
  std::vector<std::unique_ptr<Part>> parts_;  // in the archive's order; new parts at the end
  // Folder entries hold no part but are the user's entries all the same: each is written back
  // where it stood, before the part it preceded (the number of parts before it).
  std::vector<std::pair<size_t, const ZipEntry*>> folders_;
  // Parts by name as written and by name folded to lower case: every call asks for some, and a
  // package may hold thousands.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  std::unordered_map<std::string, Part*, NameHash, std::equal_to<>> byName_, byFoldedName_;
  void index(Part* p);
  struct RelationshipsRead {
    const xml::Document* dom = nullptr;  // null: the part did not exist
    uint64_t edits = 0;
    std::vector<Relationship> list;
  };
  std::map<std::string, RelationshipsRead, std::less<>> relationshipsRead_;
  uint64_t partsReplaced_ = 0;
  uint64_t xmlBudget_ = 0;  // for all parts, from the limits and the file's size
  uint64_t xmlHeld_ = 0;    // by the parts parsed, as parsed
};

// Relationship parts' name for a source part: "word/_rels/document.xml.rels".
std::string relationshipsPartName(std::string_view sourcePart);

}  // namespace ooxml
