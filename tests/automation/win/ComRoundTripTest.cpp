#include <gtest/gtest.h>

#include "automation/Apartment.h"
#include "automation/AutomationFactory.h"
#include "automation/Ole.h"
#include "automation/win/ComDispatch.h"
#include "tests/automation/win/TestServer.h"

using namespace automation;

class ComRoundTrip : public ::testing::Test {
 protected:
  ComApartment apartment_;
  Ole server_{automationFactory().create(TAVIMO_TEST_SERVER_PROGID)};
};

TEST_F(ComRoundTrip, MethodWithPositionalArguments) {
  EXPECT_DOUBLE_EQ(server_.call("Add", 2, 3.5).toDouble(), 5.5);
  // Arguments keep their order and kinds across the boundary, omitted ones arrive as Empty.
  EXPECT_EQ(server_.call("ArgCount", 1, u"x", Variant()).toInt(), 3);
  EXPECT_EQ(server_.call("ArgText", 1, u"a \"q\"", true).toString(), u"\"a \"\"q\"\"\"");
  EXPECT_EQ(server_.call("ArgText", 2, 0, Variant()).toString(), u"Empty");
  EXPECT_EQ(server_.call("ArgText", 1, true).toString(), u"True");
}

TEST_F(ComRoundTrip, PropertyGetAndPutIgnoringCase) {
  EXPECT_EQ(server_.get("Name").toString(), u"calc");
  server_.put("name", u"Zählwerk");
  EXPECT_EQ(server_.get("NAME").toString(), u"Zählwerk");
}

TEST_F(ComRoundTrip, ServerErrorArrivesWithItsText) {
  try {
    server_.call("Fail");
    FAIL() << "no error";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.text(), u"the server refused: Größe");
  }
}

TEST_F(ComRoundTrip, ObjectsReturnedAreCallable) {
  EXPECT_EQ(server_.get("Child").get("Child").get("Depth").toInt(), 2);
}

TEST_F(ComRoundTrip, VersionedProgIdOfTheClassId) {
  EXPECT_EQ(automationFactory().versionedProgId(TAVIMO_TEST_SERVER_CLSID), TAVIMO_TEST_SERVER_VERSIONED);
  EXPECT_EQ(automationFactory().versionedProgId("{00000000-1111-2222-3333-444444444444}"), std::nullopt);
}

TEST(ComFactory, UnknownProgIdRaises) {
  ComApartment apartment;
  EXPECT_THROW(automationFactory().create("Tavimo.NoSuchClass"), AutomationError);
}

TEST_F(ComRoundTrip, AnAssignmentWithoutAValueIsRefusedAtTheBoundary) {
  auto com = std::dynamic_pointer_cast<win::ComDispatch>(server_.object());
  ASSERT_TRUE(com);
  IDispatch* raw = com->object();
  OLECHAR name[] = L"Name";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  ASSERT_EQ(raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  DISPPARAMS nothing{nullptr, nullptr, 0, 0};
  EXPECT_EQ(raw->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &nothing, nullptr, nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(server_.get("Name").toString(), u"calc");
}
