// Shut down, suspend, the drives folder, the calculator, mail and the new
// Office documents over a fake system and fake Office applications: what each
// asks of the system, and where each failure leads.
#include "system_actions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "office_fakes.h"

namespace {

using quarn::AutoValue;
using quarn::SystemActions;
using quarn::testing::CallLog;
using quarn::testing::FakeAutomation;
using quarn::testing::FakePlatform;
using quarn::testing::ScriptedObject;
using ::testing::ElementsAre;

struct Rig {
  CallLog calls;
  FakePlatform platform{calls};
  FakeAutomation automation{calls};
  SystemActions actions{platform, automation};
};

TEST(SystemActions, ShutDownAsksProgramsToEndAndOnlyForcesHungOnes) {
  Rig rig;
  rig.actions.ShutDownWindows();
  EXPECT_THAT(rig.calls, ElementsAre("privilege SeShutdownPrivilege on", "exit windows 11"));
}

TEST(SystemActions, SuspendEnablesThePrivilegeFirst) {
  Rig rig;
  rig.actions.SuspendWindows();
  EXPECT_THAT(rig.calls, ElementsAre("privilege SeShutdownPrivilege on", "suspend"));
}

TEST(SystemActions, APrivilegeThatCannotBeEnabledShowsTheSystemTextAndActsNot) {
  for (const bool shutDown : {true, false}) {
    SCOPED_TRACE(shutDown ? "shut down" : "suspend");
    Rig rig;
    rig.platform.privilegeError =
        u"Not all privileges or groups referenced are assigned to the caller.";
    if (shutDown)
      rig.actions.ShutDownWindows();
    else
      rig.actions.SuspendWindows();
    EXPECT_THAT(rig.calls,
                ElementsAre("privilege SeShutdownPrivilege on",
                            "error Not all privileges or groups referenced are assigned to the "
                            "caller."));
  }
}

TEST(SystemActions, MyComputerOpensTheDrivesListAndFreesIt) {
  Rig rig;
  rig.actions.OpenMyComputer();
  EXPECT_THAT(rig.calls, ElementsAre("folder list 17", "open list 20497", "free list 20497"));
}

TEST(SystemActions, NoFolderListMeansNothingIsOpened) {
  Rig rig;
  rig.platform.listFails = true;
  rig.actions.OpenMyComputer();
  EXPECT_THAT(rig.calls, ElementsAre("folder list 17"));
}

TEST(SystemActions, CalculatorAndMailStartByFullPathInTheSystemFolder) {
  struct Case {
    const char* why;
    bool calculator;
    bool mailMissing;
    std::u16string systemFolder;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"calculator by full path",
       true,
       false,
       u"C:\\windows\\system32",
       {"open C:\\windows\\system32\\calc.exe"}},
      {"no system folder: no relative start", true, false, u"", {}},
      {"the mail program of the system folder",
       false,
       false,
       u"C:\\windows\\system32",
       {"open C:\\windows\\system32\\msimn.exe"}},
      {"without it, the user's mail handler",
       false,
       true,
       u"C:\\windows\\system32",
       {"open C:\\windows\\system32\\msimn.exe", "open mailto:"}},
      {"no system folder: straight to the mail handler", false, false, u"", {"open mailto:"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    rig.platform.systemFolder = c.systemFolder;
    if (c.mailMissing) rig.platform.missing.insert(u"C:\\windows\\system32\\msimn.exe");
    if (c.calculator)
      rig.actions.RunCalculator();
    else
      rig.actions.RunMailClient();
    EXPECT_THAT(rig.calls, ::testing::ElementsAreArray(c.calls));
  }
}

struct OfficeRig : Rig {
  std::shared_ptr<ScriptedObject> app = std::make_shared<ScriptedObject>("app", calls);
  std::shared_ptr<ScriptedObject> list = std::make_shared<ScriptedObject>("list", calls);
  OfficeRig(const std::u16string& progId, const std::u16string& listName) {
    app->properties[listName] = AutoValue::Object(list);
    automation.creatable[progId] = app;
  }
};

TEST(SystemActions, NewWordDocumentInANewVisibleWord) {
  OfficeRig rig(u"Word.Application", u"Documents");
  rig.actions.NewWordDocument();
  EXPECT_THAT(rig.calls, ElementsAre("new Word.Application", "app.put Visible=true lcid 0",
                                     "app.get Documents", "list.Add(\"\",false,0,true) lcid 0"));
}

TEST(SystemActions, NewExcelWorkbookInANewVisibleExcelInTheUsersLocale) {
  OfficeRig rig(u"Excel.Application", u"Workbooks");
  rig.actions.NewExcelWorkbook();
  EXPECT_THAT(rig.calls, ElementsAre("new Excel.Application", "app.put Visible=true lcid 0",
                                     "app.get Workbooks", "list.Add(-) lcid 1033"));
}

TEST(SystemActions, EveryOfficeFailureOpensTheInstallFoldersDocument) {
  struct Case {
    const char* why;
    std::function<void(OfficeRig&)> spoil;
  };
  const Case cases[] = {
      {"no automation server", [](OfficeRig& r) { r.automation.creatable.clear(); }},
      {"Visible cannot be set", [](OfficeRig& r) { r.app->failing.insert(u"Visible"); }},
      {"the list cannot be read",
       [](OfficeRig& r) {
         r.app->failing.insert(u"Documents");
         r.app->failing.insert(u"Workbooks");
       }},
      {"the list is a null object",
       [](OfficeRig& r) {
         r.app->properties[u"Documents"] = AutoValue::Object(nullptr);
         r.app->properties[u"Workbooks"] = AutoValue::Object(nullptr);
       }},
      {"Add fails", [](OfficeRig& r) { r.list->failing.insert(u"Add"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    {
      OfficeRig rig(u"Word.Application", u"Documents");
      c.spoil(rig);
      rig.actions.NewWordDocument();
      EXPECT_EQ(rig.calls.back(), "open C:\\Quarn\\Document1.doc");
    }
    {
      OfficeRig rig(u"Excel.Application", u"Workbooks");
      c.spoil(rig);
      rig.actions.NewExcelWorkbook();
      EXPECT_EQ(rig.calls.back(), "open C:\\Quarn\\Book1.xls");
    }
  }
}

}  // namespace
