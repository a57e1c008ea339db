#pragma once
// The element layer: the only place that knows WordprocessingML's element names. The story
// model above asks it what a node means and to build the few elements an edit creates.
#include <string>
#include <string_view>

#include "ooxml/package/Xml.h"

namespace ooxml::word::el {

using xml::Node;

// Characters a story's text shows for elements that are not plain text.
inline constexpr char16_t kParagraphMark = 13, kCellMark = 7, kLineBreak = 11, kPageBreak = 12, kColumnBreak = 14,
                          kTab = 9, kNoBreakHyphen = 30, kOptionalHyphen = 31, kObject = 1, kNoteReference = 2,
                          kCommentReference = 5;

enum class BlockKind { Paragraph, Table, Container, Other };
BlockKind blockKind(Node n);
Node blockContent(Node container);  // where a block-level container keeps its blocks

// Rows of a table and cells of a row, looking through content controls around them.
bool isRow(Node n);
bool isCell(Node n);
Node rowOrCellContent(Node n);  // a content control's content, or the node itself
Node enclosingCell(Node n);    // the nearest table cell around n, or empty

enum class InlineKind { Run, Container, Skip };
InlineKind inlineKind(Node n);
Node inlineContent(Node container);  // the node whose children continue the paragraph's content

enum class RunItemKind { Text, Char, FieldBegin, FieldSeparate, FieldEnd, Choice, Properties, Ignored };
struct RunItem {
  RunItemKind kind;
  char16_t ch = 0;  // for Char
};
RunItem runItem(Node n);
Node alternateChoice(Node alternateContent);  // the branch whose content counts

bool isRun(Node n);
bool isParagraph(Node n);
bool isProperties(Node n);  // w:rPr, w:pPr, w:sdtPr ...: kept when an element is split
Node runProperties(Node run);
Node paragraphProperties(Node p);

std::u16string textOf(Node t);
void appendTextOf(Node t, std::u16string& out);
void setTextOf(Node t, std::u16string_view text);
// Replaces [from, from + count) of a w:t's text (UTF-16 units) in place when it is one text
// node of well-formed UTF-8 up to the end of that range; false, changing nothing, otherwise.
bool spliceText(Node t, size_t from, size_t count, std::u16string_view text);
// Cuts a w:t in two before UTF-16 offset k: a new w:t with the first k units goes in front of
// it and t keeps the rest, so a long text cut again and again is never copied whole. Returns
// the new one, or an empty node (nothing changed) under the conditions of spliceText.
Node splitTextFront(Node t, size_t k);

// Builders for what an edit inserts.
Node newRun(xml::Document& doc, Node propertiesToCopy);
Node newText(xml::Document& doc, std::u16string_view text);
Node newSpecial(xml::Document& doc, char16_t code);  // tab, breaks, hyphens
bool isInsertableSpecial(char16_t c);
// A copy of a paragraph's properties for a paragraph split off it: without identifiers that
// must stay unique. The section break stays with the second half, which keeps the mark.
Node splitParagraphShell(Node p);
// A simple field (w:fldSimple) turned into the runs of a complex one, its result kept between
// them: only a complex field may go on into the next paragraph when its result is split.
void unfoldSimpleField(Node field);
// The copy of a content control that a split paragraph carries on: Word wants each control's
// id its own, so the copy goes without one and Word gives it a new one.
void dropContentControlId(Node controlCopy);
void moveSectionBreak(Node from, Node to);
// The paragraph mark's own run properties, as the formatting of text typed into an empty paragraph.
Node markRunProperties(Node p);

}  // namespace ooxml::word::el
