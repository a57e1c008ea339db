#include <gtest/gtest.h>

#include "automation/Dispatch.h"

using automation::AutomationError;
using automation::Variant;
using automation::VarType;

TEST(VariantKinds, ConstructorsPickOleKinds) {
  EXPECT_EQ(Variant().type(), VarType::Empty);
  EXPECT_EQ(Variant::null().type(), VarType::Null);
  EXPECT_EQ(Variant(true).type(), VarType::Bool);
  EXPECT_EQ(Variant(5).type(), VarType::I4);
  EXPECT_EQ(Variant(int64_t(1) << 40).type(), VarType::I8);
  EXPECT_EQ(Variant(1.5).type(), VarType::R8);
  EXPECT_EQ(Variant(u"x").type(), VarType::String);
  EXPECT_EQ(Variant("x").type(), VarType::String);
}

TEST(VariantConversion, NullToANumberOrTextRaises) {
  EXPECT_THROW(Variant::null().toInt(), AutomationError);
  EXPECT_THROW(Variant::null().toDouble(), AutomationError);
  EXPECT_THROW(Variant::null().toBool(), AutomationError);
  EXPECT_THROW(Variant::null().toString(), AutomationError);
}

TEST(VariantConversion, BooleansAreMinusOneAndZero) {
  EXPECT_EQ(Variant(true).toInt(), -1);
  EXPECT_EQ(Variant(false).toInt(), 0);
  EXPECT_TRUE(Variant(-1).toBool());
  EXPECT_TRUE(Variant(7).toBool());
  EXPECT_FALSE(Variant(0.0).toBool());
  EXPECT_EQ(Variant(true).toString(), u"True");
  EXPECT_TRUE(Variant(u"TRUE").toBool());
  EXPECT_FALSE(Variant(u"false").toBool());
}

TEST(VariantConversion, DoublesRoundHalfToEven) {
  EXPECT_EQ(Variant(0.5).toInt(), 0);
  EXPECT_EQ(Variant(1.5).toInt(), 2);
  EXPECT_EQ(Variant(2.5).toInt(), 2);
  EXPECT_EQ(Variant(-2.5).toInt(), -2);
  EXPECT_EQ(Variant(2.5000001).toInt(), 3);
  EXPECT_EQ(Variant::currency(25000).toInt(), 2);  // 2.5
  EXPECT_EQ(Variant::currency(35000).toInt(), 4);
  EXPECT_THROW(Variant(3e9).toInt(), AutomationError);
  EXPECT_EQ(Variant(3e9).toInt64(), 3000000000LL);
}

TEST(VariantConversion, StringsParseWithoutLocale) {
  EXPECT_EQ(Variant(u" 42 ").toInt(), 42);
  EXPECT_DOUBLE_EQ(Variant(u"12.5").toDouble(), 12.5);
  EXPECT_DOUBLE_EQ(Variant(u"-1e3").toDouble(), -1000);
  EXPECT_THROW(Variant(u"12,5").toDouble(), AutomationError);
  EXPECT_THROW(Variant(u"abc").toInt(), AutomationError);
  EXPECT_THROW(Variant(u"").toInt(), AutomationError);
  EXPECT_THROW(Variant(u"inf").toDouble(), AutomationError);
  EXPECT_EQ(Variant().toInt(), 0);
  EXPECT_EQ(Variant().toString(), u"");
}

TEST(VariantConversion, NumbersToTextAsVisualBasicPrintsThem) {
  EXPECT_EQ(Variant(12.0).toString(), u"12");
  EXPECT_EQ(Variant(0.1).toString(), u"0.1");
  EXPECT_EQ(Variant(1e20).toString(), u"1E+20");
  EXPECT_EQ(Variant(-3).toString(), u"-3");
  EXPECT_EQ(Variant::currency(123450).toString(), u"12.345");
  EXPECT_EQ(Variant::date(43831.5).toString(), u"2020-01-01 12:00:00");
  EXPECT_EQ(Variant::date(43831).toString(), u"2020-01-01");
}

TEST(VariantConversion, ObjectsAndErrorsAreNotValues) {
  EXPECT_THROW(Variant::error(2042).toDouble(), AutomationError);
  EXPECT_THROW(Variant(1).toDispatch(), AutomationError);
}

TEST(VariantRender, AsTheFakeLogsIt) {
  EXPECT_EQ(Variant(u"say \"hi\"").render(), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(Variant(false).render(), "False");
  EXPECT_EQ(Variant().render(), "Empty");
  EXPECT_EQ(Variant::null().render(), "Null");
  EXPECT_EQ(Variant(1).render(), "1");
  EXPECT_EQ(Variant::error(2042).render(), "Error(2042)");
}

namespace {
struct Nothing : automation::Dispatch {
  Variant invoke(std::string_view, automation::CallKind, const automation::Args&) override { return {}; }
};
}  // namespace

TEST(VariantMoves, AValueLetsGoOfWhatItNoLongerHolds) {
  auto object = std::make_shared<Nothing>();
  std::weak_ptr<Nothing> watch = object;
  Variant v(automation::DispatchPtr(std::move(object)));
  v = Variant(5);  // an object replaced by a number is released at once
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(v.toInt(), 5);

  auto second = std::make_shared<Nothing>();
  watch = second;
  v = Variant(automation::DispatchPtr(second));
  second.reset();
  Variant taken(std::move(v));
  EXPECT_FALSE(watch.expired());
  EXPECT_TRUE(taken.isObject());
  taken = Variant(u"a text long enough to leave the string's own buffer");
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(taken.toString(), u"a text long enough to leave the string's own buffer");

  Variant text(u"another text, also longer than the inline buffer");
  taken = std::move(text);
  EXPECT_EQ(taken.toString(), u"another text, also longer than the inline buffer");
  Variant& same = taken;
  taken = std::move(same);
  EXPECT_EQ(taken.toString(), u"another text, also longer than the inline buffer");
  taken = Variant(true);
  EXPECT_EQ(taken, Variant(true));
  EXPECT_EQ(taken.toString(), u"True");
}

TEST(VariantConversion, ANumberOutsideLongRaisesRatherThanWrapping) {
  EXPECT_EQ(Variant(int64_t{1} << 40).type(), VarType::I8);
  EXPECT_THROW(Variant(int64_t{1} << 40).toInt(), AutomationError);
  // A 4-byte kind carrying a wider value (as a marshaller could hand over) is refused too.
  EXPECT_THROW(Variant::ofKind(VarType::I4, int64_t{1} << 33).toInt(), AutomationError);
  EXPECT_EQ(Variant::ofKind(VarType::I4, -7).toInt(), -7);
  EXPECT_EQ(Variant::ofKind(VarType::UI4, 4000000000u).toInt64(), 4000000000);
  EXPECT_THROW(Variant::ofKind(VarType::UI4, 4000000000u).toInt(), AutomationError);
  EXPECT_TRUE(Variant::ofKind(VarType::I4, 2).toBool());
  EXPECT_FALSE(Variant(0).toBool());
}
