#pragma once
// A story's text held with a gap at the last edit: a find-and-replace loop edits at steadily
// later places, so each edit moves only the text between two hits.
#include <algorithm>
#include <string>
#include <string_view>

namespace ooxml::word {

class GapText {
 public:
  void assign(std::u16string text) {
    buf_ = std::move(text);
    gapStart_ = buf_.size();
    gapLength_ = 0;
  }
  size_t size() const { return buf_.size() - gapLength_; }
  char16_t at(size_t pos) const { return buf_[pos < gapStart_ ? pos : pos + gapLength_]; }

  void replace(size_t pos, size_t oldLength, std::u16string_view text) {
    moveGap(pos + oldLength);
    gapStart_ = pos;
    gapLength_ += oldLength;
    if (text.size() > gapLength_) grow(text.size());
    std::copy(text.begin(), text.end(), buf_.begin() + gapStart_);
    gapStart_ += text.size();
    gapLength_ -= text.size();
  }

  // [from, to) as one piece; the gap moves out of the way to the nearer end.
  std::u16string_view view(size_t from, size_t to) {
    if (gapStart_ > from && gapStart_ < to) moveGap(gapStart_ - from < to - gapStart_ ? from : to);
    size_t base = from < gapStart_ ? from : from + gapLength_;
    return std::u16string_view(buf_).substr(base, to - from);
  }

 private:
  void moveGap(size_t pos) {
    if (pos < gapStart_) {
      std::move_backward(buf_.begin() + pos, buf_.begin() + gapStart_, buf_.begin() + gapStart_ + gapLength_);
    } else if (pos > gapStart_) {
      std::move(buf_.begin() + gapStart_ + gapLength_, buf_.begin() + pos + gapLength_, buf_.begin() + gapStart_);
    }
    gapStart_ = pos;
  }
  void grow(size_t need) {
    size_t extra = std::max(need - gapLength_ + 64, buf_.size() / 8);
    buf_.insert(buf_.begin() + gapStart_ + gapLength_, extra, u'\0');
    gapLength_ += extra;
  }

  std::u16string buf_;
  size_t gapStart_ = 0, gapLength_ = 0;
};

}  // namespace ooxml::word
