#pragma once
// The element layer of SpreadsheetML: names matched by local name (files may use any prefix),
// text with OOXML's _xHHHH_ escapes, cell references, and reading long lists of items (rows,
// shared strings) a slice at a time so that a huge part never becomes one huge DOM.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ooxml/package/Xml.h"
#include "platform/Text.h"

namespace ooxml::sheet {

std::string_view localName(xml::Node n);
xml::Node childNamed(xml::Node parent, std::string_view local);
xml::Node nextNamed(xml::Node sibling, std::string_view local);
xml::Node findDescendant(xml::Node from, std::string_view local, int depth);
std::string_view attr(xml::Node n, std::string_view name);
std::string_view attrByLocalName(xml::Node n, std::string_view local);  // "r:id" and the like
std::string textOf(xml::Node n);  // its text and CDATA children joined; "" when none

// UTF-8 to UTF-16 with OOXML's _xHHHH_ escapes decoded, and back (control characters escaped).
WideString utf8(std::string_view text);
std::string toXmlText(const WideString& text);

// "AB12" -> 28; 0 when malformed.
uint32_t columnOfReference(std::string_view reference);
std::string columnName(uint32_t column);

// "2023-03-15T18:00:00" -> serial day number.
bool isoDateToSerial(std::string_view text, bool date1904, double& serial);

// A whole part, with no more nodes than one slice of forEachItem may hold.
std::unique_ptr<xml::Document> parseXml(std::string text);

// Calls back with every element of that local name, in order, parsing the part in slices of
// about `sliceBytes` cut after an item's end tag.
void forEachItem(const std::string& part, std::string_view local, const std::function<void(xml::Node)>& each,
                 size_t sliceBytes = 4u << 20);

}  // namespace ooxml::sheet
