#include <gtest/gtest.h>

#include "cli/LineOrder.h"

namespace {
FileOutcome withCount(int32_t count) {
  FileOutcome r;
  r.result = 2;
  r.count = count;
  return r;
}
}  // namespace

TEST(LineOrder, LinesComeInTheOrderHandedOverWhateverOrderTheyFinish) {
  LineOrder order;
  std::vector<std::pair<AnsiString, int32_t>> out;
  auto take = [&](const FileOutcome& r) { out.push_back({r.path, r.count}); };
  size_t a = order.Start("a"), b = order.Start("b"), c = order.Start("c");
  order.Done(c, withCount(3));
  order.Release(take);
  EXPECT_TRUE(out.empty());  // a and b are still in hand
  EXPECT_EQ(order.NextPlace(), a);
  order.Done(a, withCount(1));
  order.Release(take);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(*order.NextPath(), "b");
  size_t d = order.Start("d");
  order.Done(b, withCount(2));
  order.Release(take);
  EXPECT_EQ(out, (std::vector<std::pair<AnsiString, int32_t>>{{"a", 1}, {"b", 2}, {"c", 3}}));
  EXPECT_EQ(order.NextPlace(), d);
  EXPECT_THROW(order.Done(b, withCount(9)), std::logic_error);  // already out
  EXPECT_THROW(order.Done(d + 1, withCount(9)), std::logic_error);  // never handed over
}

TEST(LineOrder, AtTheEndAnUnreportedDocumentDoesNotHoldBackTheLinesAfterIt) {
  LineOrder order;
  std::vector<AnsiString> out;
  auto take = [&](const FileOutcome& r) { out.push_back(r.path); };
  order.Start("lost");
  size_t b = order.Start("b");
  order.Start("also lost");
  size_t d = order.Start("d");
  order.Done(d, withCount(1));
  order.Done(b, withCount(1));
  EXPECT_THROW(order.Done(b, withCount(1)), std::logic_error);  // reported twice
  order.ReleaseRest(take);
  EXPECT_EQ(out, (std::vector<AnsiString>{"b", "d"}));
  EXPECT_FALSE(order.NextPlace().has_value());
  EXPECT_EQ(order.NextPath(), nullptr);
}
