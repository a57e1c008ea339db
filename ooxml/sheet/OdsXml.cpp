#include "ooxml/sheet/OdsXml.h"

namespace ooxml::sheet::ods {
namespace {

struct Known {
  const char* prefix;
  const char* uri;
};
constexpr Known kKnown[] = {
    {"office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
    {"table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
    {"text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
    {"style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
    {"fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
    {"svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
    {"number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
    {"calcext", "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"},
    {"loext", "urn:org:documentfoundation:names:experimental:office:xmlns:loext:1.0"},
    {"config", "urn:oasis:names:tc:opendocument:xmlns:config:1.0"},
    {"manifest", "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"},
};
static_assert(std::size(kKnown) == static_cast<size_t>(Ns::Count));

}  // namespace

Names::Names(xml::Node root) {
  for (size_t i = 0; i < prefix_.size(); ++i) prefix_[i] = kKnown[i].prefix;
  for (xml::Attribute a = root.firstAttribute(); a; a = a.next()) {
    std::string_view name = a.name();
    if (name != "xmlns" && name.substr(0, 6) != "xmlns:") continue;
    std::string_view prefix = name.size() > 6 ? name.substr(6) : std::string_view();
    for (size_t i = 0; i < prefix_.size(); ++i)
      if (a.value() == kKnown[i].uri) prefix_[i] = prefix;
  }
}

bool Names::matches(std::string_view q, Ns ns, std::string_view local) const {
  const std::string& p = prefix_[static_cast<size_t>(ns)];
  if (p.empty()) return q == local;
  return q.size() == p.size() + 1 + local.size() && q[p.size()] == ':' && q.compare(0, p.size(), p) == 0 &&
         q.compare(p.size() + 1, local.size(), local) == 0;
}

bool Names::is(xml::Node n, Ns ns, std::string_view local) const { return n.isElement() && matches(n.name(), ns, local); }

std::string_view Names::attr(xml::Node n, Ns ns, std::string_view local) const {
  for (xml::Attribute a = n.firstAttribute(); a; a = a.next())
    if (matches(a.name(), ns, local)) return a.value();
  return {};
}

bool Names::has(xml::Node n, Ns ns, std::string_view local) const {
  for (xml::Attribute a = n.firstAttribute(); a; a = a.next())
    if (matches(a.name(), ns, local)) return true;
  return false;
}

std::string_view Names::localIn(xml::Node n, Ns ns) const {
  if (!n.isElement()) return {};
  std::string_view q = n.name();
  const std::string& p = prefix_[static_cast<size_t>(ns)];
  if (p.empty()) return q.find(':') == std::string_view::npos ? q : std::string_view();
  if (q.size() <= p.size() + 1 || q[p.size()] != ':' || q.compare(0, p.size(), p) != 0) return {};
  return q.substr(p.size() + 1);
}

xml::Node Names::child(xml::Node parent, Ns ns, std::string_view local) const {
  for (xml::Node c = parent.firstElement(); c; c = c.nextElement())
    if (is(c, ns, local)) return c;
  return {};
}

}  // namespace ooxml::sheet::ods
