#pragma once
// The element layer of OpenDocument: elements and attributes matched by namespace, whatever
// prefix a file binds it to, so that "table:table-cell" and "t:table-cell" read alike.
#include <array>
#include <string>
#include <string_view>

#include "ooxml/package/Xml.h"

namespace ooxml::sheet::ods {

enum class Ns { Office, Table, Text, Style, Fo, Svg, Number, Calcext, Loext, Config, Manifest, Count };

class Names {
 public:
  // The prefixes the document element declares; a namespace it does not declare keeps its
  // usual prefix.
  explicit Names(xml::Node documentElement);

  bool is(xml::Node n, Ns ns, std::string_view local) const;
  std::string_view attr(xml::Node n, Ns ns, std::string_view local) const;  // "" when absent
  bool has(xml::Node n, Ns ns, std::string_view local) const;
  // The local name of an element in that namespace; "" for an element of another one.
  std::string_view localIn(xml::Node n, Ns ns) const;
  xml::Node child(xml::Node parent, Ns ns, std::string_view local) const;

 private:
  bool matches(std::string_view qualified, Ns ns, std::string_view local) const;
  std::array<std::string, static_cast<size_t>(Ns::Count)> prefix_;
};

}  // namespace ooxml::sheet::ods
