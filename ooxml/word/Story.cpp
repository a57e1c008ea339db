#include "ooxml/word/Story.h"

#include <algorithm>
#include <set>

#include "automation/Dispatch.h"
#include "ooxml/word/Elements.h"
#include "platform/ParallelFor.h"

namespace ooxml::word {

using xml::Node;

namespace {

constexpr size_t kFiltersAtOnceFrom = 1024;  // blocks

bool inFieldCode(const OpenFields& fields) { return fields.codes != 0; }

OpenFields openFieldsFrom(const std::vector<bool>& inCode) {
  return {inCode, static_cast<size_t>(std::count(inCode.begin(), inCode.end(), true))};
}

bool hasRunContent(Node run) {
  for (Node c = run.firstElement(); c; c = c.nextElement())
    if (!el::isProperties(c)) return true;
  return false;
}

bool isRunBacked(const Segment& s) { return s.kind == SegmentKind::Text || s.kind == SegmentKind::Char; }

SegmentKind markOf(const Block& b) { return b.segments.back().kind; }

// A run cut in two before `child`: the second half is a copy of the run's properties holding
// `child` and everything after it.
Node splitRunBefore(Node run, Node child) {
  Node second = run.clone(false);
  if (Node props = el::runProperties(run)) second.appendChild(props.clone(true));
  for (Node c = child; c;) {
    Node next = c.nextSibling();
    second.appendChild(c);
    c = next;
  }
  run.parent().insertAfter(second, run);
  return second;
}

// Splits the paragraph holding `node` right after it, splitting every container in between
// (hyperlinks, content controls, fields); returns where content continues in the new paragraph.
struct SplitResult {
  Node paragraph, parent, before;
};
SplitResult splitParagraphAfter(Node node) {
  Node carry;
  Node cur = node;
  Node innermost;
  while (!el::isParagraph(cur.parent())) {
    Node parent = cur.parent();
    if (parent.is("w:fldSimple")) {
      // Copied into the new paragraph, the field would show its result twice once updated.
      el::unfoldSimpleField(parent);
      continue;
    }
    Node copy = parent.clone(false);
    for (Node c = parent.firstChild(); c; c = c.nextSibling())
      if (el::isProperties(c)) copy.appendChild(c.clone(true));
    el::dropContentControlId(copy);
    if (carry) copy.appendChild(carry);
    for (Node c = cur.nextSibling(); c;) {
      Node next = c.nextSibling();
      copy.appendChild(c);
      c = next;
    }
    if (!innermost) innermost = copy;
    carry = copy;
    cur = parent;
  }
  Node p = cur.parent();
  Node fresh = el::splitParagraphShell(p);
  if (carry) fresh.appendChild(carry);
  for (Node c = cur.nextSibling(); c;) {
    Node next = c.nextSibling();
    fresh.appendChild(c);
    c = next;
  }
  p.parent().insertAfter(fresh, p);
  SplitResult r;
  r.paragraph = fresh;
  r.parent = innermost ? innermost : fresh;
  r.before = Node();
  for (Node c = r.parent.firstChild(); c; c = c.nextSibling()) {
    if (!el::isProperties(c)) {
      r.before = c;
      break;
    }
  }
  return r;
}

}  // namespace

Story::Story(Node root, std::function<void()> onChange, size_t maxBlocks)
    : root_(root), onChange_(std::move(onChange)), blockLimit_(maxBlocks) {
  rebuild();
  blockLimit_ = SIZE_MAX;
}

void Story::countBlock(const std::vector<Block>& out) const {
  if (out.size() >= blockLimit_)
    throw automation::AutomationError("The document is too large: its stories hold more than " + std::to_string(kMaxBlocks) +
                                      " paragraphs and table rows.");
}

void Story::rebuild() {
  blocks_.clear();
  OpenFields fields;
  std::u16string all;
  flattenBlocks(root_, blocks_, fields, all);
  size_t start = 0;
  for (Block& b : blocks_) {
    b.start = start;
    start += b.length;
  }
  text_.assign(std::move(all));
  shiftFrom_ = SIZE_MAX;
  shift_ = 0;
  signatures_.clear();
  filtersBuilt_ = false;
  ++layoutVersion_;
  ++objectsVersion_;
}

void Story::flattenBlocks(Node container, std::vector<Block>& out, OpenFields& fields, std::u16string& text) {
  for (Node c = container.firstElement(); c; c = c.nextElement()) {
    switch (el::blockKind(c)) {
      case el::BlockKind::Paragraph:
        countBlock(out);
        out.push_back(flattenParagraph(c, SegmentKind::ParagraphMark, fields, text));
        break;
      case el::BlockKind::Table: flattenTable(c, out, fields, text); break;
      case el::BlockKind::Container: flattenBlocks(el::blockContent(c), out, fields, text); break;
      case el::BlockKind::Other: break;
    }
  }
}

void Story::flattenTable(Node table, std::vector<Block>& out, OpenFields& fields, std::u16string& text) {
  std::function<void(Node)> cells = [&](Node row) {
    for (Node c = row.firstElement(); c; c = c.nextElement()) {
      if (el::isCell(c)) {
        size_t before = out.size();
        flattenBlocks(c, out, fields, text);
        // The cell's last paragraph ends the cell, also when a content control or custom XML wraps it.
        if (out.size() > before && el::enclosingCell(out.back().node) == c && markOf(out.back()) == SegmentKind::ParagraphMark) {
          out.back().segments.back().kind = SegmentKind::CellMark;
          text.back() = el::kCellMark;
        }
      } else if (Node inner = el::rowOrCellContent(c)) {
        cells(inner);
      }
    }
  };
  std::function<void(Node)> rows = [&](Node t) {
    for (Node r = t.firstElement(); r; r = r.nextElement()) {
      if (el::isRow(r)) {
        cells(r);
        countBlock(out);
        Block end;
        end.node = r;
        end.length = 1;
        end.fieldsAtStart = fields.inCode;
        end.segments.push_back({SegmentKind::RowMark, 0, 1, r, Node()});
        text += el::kCellMark;
        out.push_back(std::move(end));
      } else if (Node inner = el::rowOrCellContent(r)) {
        rows(inner);
      }
    }
  };
  rows(table);
}

Block Story::flattenParagraph(Node p, SegmentKind mark, OpenFields& fields, std::u16string& text) {
  Block b;
  b.node = p;
  b.fieldsAtStart = fields.inCode;
  flattenInline(p, b, fields, text);
  b.segments.push_back({mark, b.length, 1, p, Node()});
  text += mark == SegmentKind::ParagraphMark ? el::kParagraphMark : el::kCellMark;
  b.length += 1;
  return b;
}

void Story::flattenInline(Node container, Block& b, OpenFields& fields, std::u16string& text) {
  for (Node c = container.firstElement(); c; c = c.nextElement()) {
    switch (el::inlineKind(c)) {
      case el::InlineKind::Run: flattenRun(c, c, b, fields, text); break;
      case el::InlineKind::Container:
        if (Node inner = el::inlineContent(c)) flattenInline(inner, b, fields, text);
        break;
      case el::InlineKind::Skip: break;
    }
  }
}

void Story::flattenRun(Node run, Node container, Block& b, OpenFields& fields, std::u16string& text) {
  for (Node c = container.firstElement(); c; c = c.nextElement()) {
    el::RunItem item = el::runItem(c);
    switch (item.kind) {
      case el::RunItemKind::Text:
        if (!inFieldCode(fields)) {
          size_t before = text.size();
          el::appendTextOf(c, text);
          uint32_t n = static_cast<uint32_t>(text.size() - before);
          if (n) {
            b.segments.push_back({SegmentKind::Text, b.length, n, c, run});
            b.length += n;
          }
        }
        break;
      case el::RunItemKind::Char:
        if (!inFieldCode(fields)) {
          b.segments.push_back({SegmentKind::Char, b.length, 1, c, run});
          b.length += 1;
          text += item.ch;
        }
        break;
      case el::RunItemKind::FieldBegin:
        // Each paragraph keeps the fields open at its start: thousands never ended would cost the
        // square. Checked when the story is first read: an edit never adds a field.
        if (fields.inCode.size() >= Story::kMaxOpenFields && blockLimit_ != SIZE_MAX)
          throw automation::AutomationError("The document is damaged: more than " + std::to_string(Story::kMaxOpenFields) +
                                            " fields are open at once.");
        fields.inCode.push_back(true);
        ++fields.codes;
        break;
      case el::RunItemKind::FieldSeparate:
        if (!fields.inCode.empty() && fields.inCode.back()) {
          fields.inCode.back() = false;
          --fields.codes;
        }
        break;
      case el::RunItemKind::FieldEnd:
        if (!fields.inCode.empty()) {
          if (fields.inCode.back()) --fields.codes;
          fields.inCode.pop_back();
        }
        break;
      case el::RunItemKind::Choice:
        if (Node choice = el::alternateChoice(c)) flattenRun(run, choice, b, fields, text);
        break;
      case el::RunItemKind::Properties:
      case el::RunItemKind::Ignored: break;
    }
  }
}

std::u16string Story::text(size_t start, size_t end) {
  end = std::min(end, length());
  if (start >= end) return {};
  std::u16string_view v = text_.view(start, end);
  std::u16string out;
  out.reserve(v.size());
  for (char16_t c : v) {
    if (c == el::kCellMark) out += u"\r\a";
    else out += c;
  }
  return out;
}

size_t Story::blockAt(size_t pos) {
  if (blocks_.empty()) throw automation::AutomationError("The story has no text.");
  // Searches and edits go forward through a story: the block asked for last, or the next one,
  // is most often the answer.
  for (size_t i = lastBlock_, end = std::min(lastBlock_ + 2, blocks_.size()); i < end; ++i)
    if (blockStart(i) <= pos && (i + 1 == blocks_.size() || blockStart(i + 1) > pos)) return lastBlock_ = i;
  size_t lo = 0, hi = blocks_.size();
  while (hi - lo > 1) {
    size_t mid = (lo + hi) / 2;
    if (blockStart(mid) <= pos) lo = mid;
    else hi = mid;
  }
  return lastBlock_ = lo;
}

void Story::settleShift(size_t upTo) {
  if (shiftFrom_ == SIZE_MAX) return;
  upTo = std::min(upTo, blocks_.size());
  for (size_t i = shiftFrom_; i < upTo; ++i) blocks_[i].start += shift_;
  if (upTo >= blocks_.size()) {
    shiftFrom_ = SIZE_MAX;
    shift_ = 0;
  } else if (upTo > shiftFrom_) {
    shiftFrom_ = upTo;
  }
}

void Story::reflatten(size_t first, size_t last, const std::vector<Node>& paragraphs, SegmentKind lastMark) {
  settleShift(last + 1);
  size_t start = blocks_[first].start;
  size_t oldLength = 0;
  for (size_t i = first; i <= last; ++i) oldLength += blocks_[i].length;
  OpenFields fields = openFieldsFrom(blocks_[first].fieldsAtStart);
  std::vector<Block> fresh;
  std::u16string text;
  size_t at = start;
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    Block b = flattenParagraph(paragraphs[i], i + 1 == paragraphs.size() ? lastMark : SegmentKind::ParagraphMark, fields, text);
    b.start = at;
    at += b.length;
    fresh.push_back(std::move(b));
  }
  text_.replace(start, oldLength, text);
  size_t oldCount = last - first + 1;
  // The records in common are replaced where they stand, so that the blocks after them move
  // once, by the difference, as a paragraph split or joined hit after hit needs.
  const size_t common = std::min(oldCount, fresh.size());
  const auto place = blocks_.begin() + static_cast<ptrdiff_t>(first);
  std::move(fresh.begin(), fresh.begin() + static_cast<ptrdiff_t>(common), place);
  if (fresh.size() > oldCount) {
    blocks_.insert(place + static_cast<ptrdiff_t>(common), std::make_move_iterator(fresh.begin() + static_cast<ptrdiff_t>(common)),
                   std::make_move_iterator(fresh.end()));
  } else if (fresh.size() < oldCount) {
    blocks_.erase(place + static_cast<ptrdiff_t>(common), place + static_cast<ptrdiff_t>(oldCount));
  }
  if (fresh.size() != oldCount && shiftFrom_ != SIZE_MAX) shiftFrom_ = shiftFrom_ + fresh.size() - oldCount;
  addShift(first + fresh.size(), static_cast<ptrdiff_t>(text.size()) - static_cast<ptrdiff_t>(oldLength));
  signatures_.replace(first, oldCount, fresh.size(), [this](size_t i) { return blockText(i); });
}

void Story::learnTrios(size_t bi, size_t start, size_t length) {
  Block& b = blocks_[bi];
  const size_t bs = blockStart(bi);
  const size_t from = start >= bs + 2 ? start - 2 : bs;
  const size_t to = std::min(start + length + 2, bs + b.length);
  if (b.trigrams.crowded(b.length)) {
    b.trigrams.clear();  // grown well past what it was made for: made anew when next asked
  } else if (b.trigrams.built()) {
    b.trigrams.add(text_.view(from, to));
  }
  if (signatures_.built()) signatures_.add(bi, text_.view(from, to), b.length);
}

void Story::addShift(size_t j, ptrdiff_t delta) {
  // Blocks from j on move by delta, settled lazily. An edit before the pending shift (a search
  // that wrapped round) settles it once; edits after it extend it, so a forward
  // find-and-replace pass costs one walk over the blocks.
  if (delta == 0 || j >= blocks_.size()) return;
  if (shiftFrom_ != SIZE_MAX && shiftFrom_ > j) settleShift(blocks_.size());
  if (shiftFrom_ == SIZE_MAX) {
    shiftFrom_ = j;
    shift_ = delta;
  } else {
    for (size_t i = shiftFrom_; i < j; ++i) blocks_[i].start += shift_;
    shiftFrom_ = j;
    shift_ += delta;
  }
}

bool Story::replaceWithinText(size_t start, size_t end, std::u16string_view text) {
  size_t bi = blockAt(start);
  Block& b = blocks_[bi];
  size_t rel = start - blockStart(bi);
  size_t relEnd = rel + (end - start);
  for (size_t i = 0; i < b.segments.size(); ++i) {
    Segment& s = b.segments[i];
    if (s.kind != SegmentKind::Text || rel < s.start || relEnd > s.start + s.length) continue;
    // Most edits splice the UTF-8 of the w:t; the rest go through its UTF-16 text.
    if (!el::spliceText(s.node, rel - s.start, end - start, text)) {
      std::u16string t = el::textOf(s.node);
      t.replace(rel - s.start, end - start, text);
      el::setTextOf(s.node, t);
    }
    ptrdiff_t delta = static_cast<ptrdiff_t>(text.size()) - static_cast<ptrdiff_t>(end - start);
    const size_t remaining = s.length + delta;
    if (remaining == 0) {
      Node run = s.node.parent();
      s.node.detach();
      if (el::isRun(run) && !hasRunContent(run)) run.detach();
      b.segments.erase(b.segments.begin() + static_cast<ptrdiff_t>(i));
      --i;
    } else {
      s.length = static_cast<uint32_t>(remaining);
    }
    for (size_t k = i + 1; k < b.segments.size(); ++k) b.segments[k].start = static_cast<uint32_t>(b.segments[k].start + delta);
    b.length = static_cast<uint32_t>(b.length + delta);
    text_.replace(start, end - start, text);
    learnTrios(bi, start, text.size());
    addShift(bi + 1, delta);
    return true;
  }
  return false;
}

void Story::splitAt(size_t pos) {
  if (pos >= length()) return;
  size_t bi = blockAt(pos);
  Block& b = blocks_[bi];
  size_t rel = pos - blockStart(bi);
  for (size_t i = 0; i < b.segments.size(); ++i) {
    Segment& s = b.segments[i];
    if (s.kind != SegmentKind::Text || s.start >= rel || rel >= s.start + s.length) continue;
    // The w:t is cut in two inside its run; the text does not change, so the block's
    // segments are patched rather than rebuilt.
    uint32_t k = static_cast<uint32_t>(rel - s.start);
    if (Node head = el::splitTextFront(s.node, k)) {
      Segment front{SegmentKind::Text, s.start, k, head, s.run};
      s.start += k;
      s.length -= k;
      b.segments.insert(b.segments.begin() + static_cast<ptrdiff_t>(i), front);
      return;
    }
    std::u16string t = el::textOf(s.node);
    Node second = el::newText(*s.node.document(), std::u16string_view(t).substr(k));
    el::setTextOf(s.node, std::u16string_view(t).substr(0, k));
    s.node.parent().insertAfter(second, s.node);
    Segment tail{SegmentKind::Text, s.start + k, s.length - k, second, s.run};
    s.length = k;
    b.segments.insert(b.segments.begin() + static_cast<ptrdiff_t>(i) + 1, tail);
    return;
  }
}

Story::Point Story::insertionPoint(size_t pos) {
  size_t bi = blockAt(pos);
  Block& b = blocks_[bi];
  size_t rel = pos - blockStart(bi);
  for (const Segment& s : b.segments) {
    if (s.start != rel) continue;
    if (s.kind == SegmentKind::RowMark) throw automation::AutomationError("Text cannot be placed at the end of a table row.");
    if (!isRunBacked(s)) return {b.node, Node()};
    if (s.node.parent() != s.run) return {s.run.parent(), s.run};
    for (Node c = s.node.previousSibling(); c; c = c.previousSibling())
      if (c.isElement() && !el::isProperties(c)) return {s.run.parent(), splitRunBefore(s.run, s.node)};
    return {s.run.parent(), s.run};
  }
  return {b.node, Node()};
}

void Story::buildFilters() {
  // The gap goes to one end first, so that no view below moves it while the threads read.
  text_.view(0, text_.size());
  std::vector<std::u16string_view> texts(blocks_.size());
  for (size_t i = 0; i < blocks_.size(); ++i) texts[i] = blockText(i);
  signatures_.build(texts.size(), text_.size(), [&](size_t i) { return texts[i]; });
  filtersBuilt_ = true;
}

std::pair<size_t, size_t> Story::nextCandidateBlock(const TrigramKeys& keys, size_t pos) {
  size_t n = length();
  if (pos >= n || blocks_.empty()) return {n, n};
  // A long story's first search would make its paragraphs' filters one by one as it passes
  // them; their table is made on all cores at once instead.
  if (!filtersBuilt_ && blocks_.size() >= kFiltersAtOnceFrom) buildFilters();
  if (signatures_.built()) {
    for (auto offer = signatures_.next(keys, blockAt(pos)); offer.block != BlockSignatures::npos;
         offer = signatures_.next(keys, offer.block + 1)) {
      const size_t i = offer.block;
      Block& b = blocks_[i];
      if (offer.wide) {
        if (!b.trigrams.built()) b.trigrams.build(blockText(i));
        if (!b.trigrams.mayHold(keys)) continue;
      }
      const size_t start = blockStart(i);
      lastBlock_ = i;
      return {start, start + b.length};
    }
    return {n, n};
  }
  for (size_t i = blockAt(pos); i < blocks_.size(); ++i) {
    Block& b = blocks_[i];
    size_t start = blockStart(i);
    if (!b.trigrams.built()) b.trigrams.build(text_.view(start, start + b.length));
    if (b.trigrams.mayHold(keys)) return {start, start + b.length};
  }
  return {n, n};
}

void Story::forEachBlock(const std::function<void(Node, size_t)>& f) {
  settleShift(blocks_.size());
  for (const Block& b : blocks_) f(b.node, b.start + b.length);
}

Node Story::runAt(size_t pos) {
  if (pos >= length()) return {};
  size_t bi = blockAt(pos);
  size_t rel = pos - blockStart(bi);
  for (const Segment& s : blocks_[bi].segments)
    if (rel >= s.start && rel < s.start + s.length) return isRunBacked(s) ? s.run : Node();
  return {};
}

std::pair<size_t, size_t> Story::replace(size_t start, size_t end, std::u16string_view newText) {
  if (start > end || end > length()) throw automation::AutomationError("The range lies outside the story.");
  // Nothing goes after the story's last paragraph mark: text put there goes before it.
  if (start == length() && start > 0) start = end = length() - 1;
  // Text as it will be inserted: CR LF and LF alone are paragraph marks; control characters
  // an XML part cannot hold are dropped.
  std::u16string text;
  for (size_t i = 0; i < newText.size(); ++i) {
    char16_t c = newText[i];
    if (c == u'\r' && i + 1 < newText.size() && newText[i + 1] == u'\n') ++i;
    if (c == u'\n') c = u'\r';
    if ((c < 0x20 && c != u'\r' && !el::isInsertableSpecial(c)) || c == 0xFFFE || c == 0xFFFF) continue;
    text += c;
  }

  // Text replaced inside one w:t by text without special characters: the w:t itself changes,
  // which keeps the formatting of the first replaced character and adds no runs.
  bool plain = std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x20; });
  if (start < end && plain && replaceWithinText(start, end, text)) {
    if (onChange_) onChange_();
    return {start, start + text.size()};
  }

  // The formatting of the first replaced character, else of the one before, else of the mark.
  Node props;
  {
    Node run = start < end ? runAt(start) : Node();
    size_t bi = blockAt(start);
    if (!run && start > blockStart(bi)) run = runAt(start - 1);
    if (!run) {
      size_t rel = start - blockStart(bi);
      for (const Segment& s : blocks_[bi].segments)
        if (s.start >= rel && isRunBacked(s)) {
          run = s.run;
          break;
        }
    }
    props = run ? el::runProperties(run) : el::markRunProperties(blocks_[bi].node);
  }

  splitAt(end);
  splitAt(start);
  Point at = insertionPoint(start);
  xml::Document& doc = *root_.document();
  Node anchor = el::newRun(doc, props);
  if (props) props = el::runProperties(anchor);  // copies below come from the cleaned copy
  at.parent.insertBefore(anchor, at.before);

  size_t b1 = blockAt(start), b2 = end > start ? blockAt(end - 1) : b1;
  size_t last = b2;
  bool sameParent = true;
  for (size_t i = b1; i <= b2; ++i)
    sameParent = sameParent && el::isParagraph(blocks_[i].node) && blocks_[i].node.parent() == blocks_[b1].node.parent();

  std::vector<std::pair<Segment, Node>> doomed;  // segment and, for a mark, the paragraph joined on
  for (size_t bi = b1; bi <= b2; ++bi) {
    size_t bs = blockStart(bi);
    for (const Segment& s : blocks_[bi].segments) {
      size_t abs = bs + s.start;
      if (abs < start || abs + s.length > end) continue;
      if (isRunBacked(s)) {
        doomed.push_back({s, Node()});
      } else if (s.kind == SegmentKind::ParagraphMark && bi + 1 < blocks_.size() && el::isParagraph(blocks_[bi + 1].node) &&
                 blocks_[bi + 1].node.parent() == blocks_[bi].node.parent()) {
        doomed.push_back({s, blocks_[bi + 1].node});
        last = std::max(last, bi + 1);
      }
    }
  }
  if (last > b2 && !el::isParagraph(blocks_[last].node)) sameParent = false;
  // Paragraphs of plain runs edited: the lists of hyperlinks and shapes cannot change.
  bool objectsStay = sameParent;
  for (size_t bi = b1; objectsStay && bi <= last; ++bi) objectsStay = holdsOnlyPlainRuns(blocks_[bi].node);

  for (auto& [s, next] : doomed) {
    if (!isRunBacked(s)) continue;
    Node run = s.node.parent();  // runs may have been split since the segments were made
    s.node.detach();
    if (el::isRun(run) && run != anchor && run.parent() && !hasRunContent(run)) run.detach();
  }
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    if (!it->second) continue;
    Node p = it->first.node, next = it->second;
    for (Node c = next.firstChild(); c;) {
      Node following = c.nextSibling();
      if (!c.is("w:pPr")) p.appendChild(c);
      c = following;
    }
    el::moveSectionBreak(next, p);
    next.detach();
  }

  // The new text: plain characters gather into w:t, specials become their elements, a
  // paragraph mark splits the paragraph after the current run. The pieces made are noted,
  // positioned from the start of the new text.
  Node current = anchor;
  std::u16string pending;
  std::vector<Segment> made;
  size_t offset = 0;
  auto flush = [&] {
    if (pending.empty()) return;
    Node t = current.appendChild(el::newText(doc, pending));
    made.push_back({SegmentKind::Text, static_cast<uint32_t>(offset - pending.size()), static_cast<uint32_t>(pending.size()), t, current});
    pending.clear();
  };
  for (char16_t c : text) {
    if (c == el::kParagraphMark) {
      flush();
      SplitResult split = splitParagraphAfter(current);
      if (!hasRunContent(current)) current.detach();
      current = el::newRun(doc, props);
      split.parent.insertBefore(current, split.before);
    } else if (el::isInsertableSpecial(c)) {
      flush();
      Node special = current.appendChild(el::newSpecial(doc, c));
      made.push_back({SegmentKind::Char, static_cast<uint32_t>(offset), 1, special, current});
    } else {
      pending += c;
    }
    ++offset;
  }
  flush();
  if (!hasRunContent(current)) current.detach();

  // Visible text replaced inside one paragraph, before its mark and without new marks: the
  // paragraph's pieces are patched where it changed. Reading it again whole would cost its
  // length for every hit, and a long paragraph edited hit after hit would take quadratic time.
  const bool withinParagraph = sameParent && b1 == last && start < end && at.before &&
                               end < blockStart(b1) + blocks_[b1].length &&
                               std::none_of(text.begin(), text.end(), [](char16_t c) { return c == el::kParagraphMark || (c >= 0xD800 && c <= 0xDFFF); });
  if (withinParagraph && patchParagraph(b1, start, end, text, made)) {
    ++layoutVersion_;
    if (!objectsStay) ++objectsVersion_;
    if (onChange_) onChange_();
    return {start, start + text.size()};
  }

  if (sameParent) {
    std::vector<Node> paragraphs;
    Node stop = last + 1 < blocks_.size() ? blocks_[last + 1].node : Node();
    for (Node n = blocks_[b1].node; n && n != stop; n = n.nextElement()) {
      el::BlockKind kind = el::blockKind(n);
      if (kind == el::BlockKind::Paragraph) paragraphs.push_back(n);
      else if (kind != el::BlockKind::Other) break;
    }
    // A paragraph edited in place keeps its filter, with the new text's trios added, so that
    // a long paragraph edited hit after hit is not hashed whole again for every hit.
    TrigramSet kept;
    const bool keepFilter = b1 == last && blocks_[b1].trigrams.built();
    if (keepFilter) kept = std::move(blocks_[b1].trigrams);
    const size_t blocksBefore = blocks_.size();
    reflatten(b1, last, paragraphs, markOf(blocks_[last]));
    if (keepFilter && blocks_.size() == blocksBefore && !kept.crowded(blocks_[b1].length)) {
      size_t bs = blockStart(b1);
      kept.add(text_.view(start >= bs + 2 ? start - 2 : bs, std::min(start + text.size() + 2, bs + blocks_[b1].length)));
      blocks_[b1].trigrams = std::move(kept);
    }
  } else {
    rebuild();
  }
  ++layoutVersion_;
  if (!objectsStay) ++objectsVersion_;
  if (onChange_) onChange_();
  return {start, start + text.size()};
}

bool Story::holdsOnlyPlainRuns(Node paragraph) {
  // Only what an edit of plain text makes or moves; anything else (a hyperlink, a field, a
  // drawing, a content control) might be split, joined or dropped by the edit.
  static constexpr std::string_view kPlain[] = {"w:r", "w:t", "w:tab", "w:br", "w:cr", "w:noBreakHyphen", "w:softHyphen",
                                                "w:proofErr", "w:lastRenderedPageBreak", "w:bookmarkStart", "w:bookmarkEnd"};
  for (Node c = paragraph.firstElement(); c; c = c.nextElement()) {
    if (el::isProperties(c)) continue;
    if (std::find(std::begin(kPlain), std::end(kPlain), c.name()) == std::end(kPlain)) return false;
    if (el::isRun(c) && !holdsOnlyPlainRuns(c)) return false;
  }
  return true;
}

bool Story::patchParagraph(size_t bi, size_t start, size_t end, std::u16string_view text, const std::vector<Segment>& made) {
  Block& b = blocks_[bi];
  const size_t bs = blockStart(bi);
  const size_t relStart = start - bs, relEnd = end - bs;
  const ptrdiff_t delta = static_cast<ptrdiff_t>(text.size()) - static_cast<ptrdiff_t>(end - start);
  std::vector<Segment> pieces;
  pieces.reserve(b.segments.size() + made.size());
  for (const Segment& s : b.segments) {
    if (s.start + s.length <= relStart) {
      pieces.push_back(s);
    } else if (s.start < relEnd) {
      if (s.start < relStart || s.start + s.length > relEnd || !isRunBacked(s)) return false;  // not cut where expected
    }
  }
  for (Segment s : made) {
    s.start = static_cast<uint32_t>(s.start + relStart);
    pieces.push_back(s);
  }
  for (Segment s : b.segments) {
    if (s.start < relEnd) continue;
    s.start = static_cast<uint32_t>(static_cast<ptrdiff_t>(s.start) + delta);
    // The run holding the first replaced character may have been cut in two before it.
    if (isRunBacked(s) && el::isRun(s.node.parent())) s.run = s.node.parent();
    pieces.push_back(s);
  }
  b.segments = std::move(pieces);
  b.length = static_cast<uint32_t>(static_cast<ptrdiff_t>(b.length) + delta);
  text_.replace(start, end - start, text);
  learnTrios(bi, start, text.size());
  addShift(bi + 1, delta);
  return true;
}

void Story::forEachRunIn(size_t start, size_t end, const std::function<void(Node)>& f) {
  if (start >= end) return;
  splitAt(end);
  splitAt(start);
  std::vector<Node> inRange;
  std::set<xml::NodeData*> members;
  size_t b1 = blockAt(start), b2 = blockAt(end - 1);
  for (size_t bi = b1; bi <= b2; ++bi) {
    size_t bs = blockStart(bi);
    for (const Segment& s : blocks_[bi].segments) {
      size_t abs = bs + s.start;
      if (abs < start || abs + s.length > end || !isRunBacked(s) || s.node.parent() != s.run) continue;
      inRange.push_back(s.node);
      members.insert(s.node.data());
    }
  }
  // Each run is cut where content outside the range begins or ends, so it holds only content in range.
  auto outside = [&](Node c) { return c.isElement() && !el::isProperties(c) && !members.count(c.data()); };
  std::vector<Node> runs;
  for (Node n : inRange) {
    Node run = n.parent();
    for (Node c = n.previousSibling(); c; c = c.previousSibling()) {
      if (outside(c)) {
        run = splitRunBefore(run, n);
        break;
      }
      if (c.isElement() && !el::isProperties(c)) break;
    }
    for (Node c = n.nextSibling(); c; c = c.nextSibling()) {
      if (outside(c)) {
        splitRunBefore(run, c);
        break;
      }
      if (c.isElement() && !el::isProperties(c)) break;
    }
    if (runs.empty() || runs.back() != run) runs.push_back(run);
  }
  for (Node r : runs) f(r);
  // Runs were cut and their pieces moved, but no element the lists of hyperlinks, shapes and
  // sections hold was made or dropped: those lists stand.
  rereadParagraphs(b1, b2);
  if (onChange_) onChange_();
}

void Story::rereadParagraphs(size_t first, size_t last) {
  // Formatting cuts runs and leaves the text as it was: only these paragraphs' pieces are read
  // again, and their filters stay. Reading the whole story after each formatted hit made a
  // long document's formatting pass take minutes.
  for (size_t bi = first; bi <= last && bi < blocks_.size(); ++bi) {
    Block& b = blocks_[bi];
    const SegmentKind mark = markOf(b);
    if (mark == SegmentKind::RowMark) continue;  // a row's end holds no runs
    OpenFields fields = openFieldsFrom(b.fieldsAtStart);
    std::u16string text;
    Block fresh = flattenParagraph(b.node, mark, fields, text);
    const size_t start = blockStart(bi);
    if (fresh.length != b.length || text_.view(start, start + b.length) != text) {
      rebuild();  // not the text it was: everything is read again, as before
      return;
    }
    b.segments = std::move(fresh.segments);
  }
}

}  // namespace ooxml::word
