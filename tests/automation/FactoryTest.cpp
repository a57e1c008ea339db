#include <gtest/gtest.h>

#include "automation/AutomationFactory.h"
#include "automation/FakeAutomation.h"

using namespace automation;

TEST(InProcessFactory, CreatesByEitherProgIdAndAnswersTheVersionedOne) {
  InProcessFactory f;
  FakeAutomation fake;
  f.registerClass("{000209FF-0000-0000-C000-000000000046}", "Word.Application", "Word.Application.16",
                  [&] { return fake.root(); });
  EXPECT_EQ(f.create("word.application"), fake.root());
  EXPECT_EQ(f.create("Word.Application.16"), fake.root());
  EXPECT_EQ(f.versionedProgId("{000209ff-0000-0000-c000-000000000046}"), "Word.Application.16");
  EXPECT_EQ(f.versionedProgId("{00024500-0000-0000-C000-000000000046}"), std::nullopt);
  EXPECT_THROW(f.create("Excel.Application"), AutomationError);
}

TEST(AutomationFactory, AnInstalledFactoryWinsWhileInScope) {
  InProcessFactory f;
  AutomationFactory* before = &automationFactory();
  {
    ScopedAutomationFactory scope(f);
    EXPECT_EQ(&automationFactory(), &f);
  }
  EXPECT_EQ(&automationFactory(), before);
}
