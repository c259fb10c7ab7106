// The late-binding helper and the automation host against a small COM object
// of this test: argument order and omitted arguments as Invoke receives them,
// property puts, failures as results; a running instance found by ProgID, the
// workbook found through a file moniker in the running-object table, a new
// instance from a registered class object; and with no server at all, the
// install folder's document opened through its association. Also the
// privilege, special-folder and system-folder adapters.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <ole2.h>
#include <oleauto.h>

#include <map>
#include <string>
#include <vector>

#include "com_automation.h"
#include "dispatch_object.h"
#include "office_steps.h"
#include "system_actions.h"
#include "test_window.h"
#include "wide.h"
#include "win_system_platform.h"

namespace {

using quarn::AutoValue;
using quarn::ScrollDirection;

// "name flags (arg,arg,...)" in the order the method declares them.
using InvokeLog = std::vector<std::string>;

std::string Narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::string Arg(const VARIANT& v) {
  switch (V_VT(&v)) {
    case VT_ERROR:
      return V_ERROR(&v) == DISP_E_PARAMNOTFOUND ? "-" : "error";
    case VT_I4:
      return std::to_string(V_I4(&v));
    case VT_BOOL:
      return V_BOOL(&v) == VARIANT_TRUE ? "true" : "false";
    case VT_BSTR:
      return "\"" + Narrow(quarn::FromWide(V_BSTR(&v) ? V_BSTR(&v) : L"")) + "\"";
    case VT_EMPTY:
      return "empty";
    default:
      return "vt" + std::to_string(V_VT(&v));
  }
}

// A scriptable object: members by name, each a property (an integer or a child
// object) or a method; every Invoke is logged. It also answers the workbook
// interface when asked to.
class FakeDispatch : public IDispatch {
 public:
  FakeDispatch(std::string name, InvokeLog& log) : name_(std::move(name)), log_(log) {}

  std::map<std::wstring, FakeDispatch*> objects;  // not owned
  std::map<std::wstring, LONG> numbers;
  std::vector<std::wstring> methods;
  bool workbook = false;
  HRESULT methodResult = S_OK;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    IID wb;
    IIDFromString(L"{000208DA-0000-0000-C000-000000000046}", &wb);
    if (riid == IID_IUnknown || riid == IID_IDispatch || (workbook && riid == wb)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // lives on the test's stack
  STDMETHODIMP GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1) return E_INVALIDARG;
    const std::wstring n = names[0];
    const auto all = Members();
    for (std::size_t i = 0; i < all.size(); ++i)
      if (all[i] == n) {
        ids[0] = static_cast<DISPID>(i + 1);
        return S_OK;
      }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    const auto all = Members();
    const std::string member = id == 0x224 ? "#224"
                               : id >= 1 && static_cast<std::size_t>(id) <= all.size()
                                   ? Narrow(quarn::FromWide(all[id - 1]))
                                   : "?";
    std::string entry = name_ + "." + member + (flags & DISPATCH_PROPERTYPUT ? " put" : "") +
                        (flags & DISPATCH_PROPERTYGET ? " get" : "") +
                        (flags & DISPATCH_METHOD ? " call" : "") + " (";
    // rgvarg holds the last argument first.
    for (UINT i = 0; i < params->cArgs; ++i)
      entry += (i ? "," : "") + Arg(params->rgvarg[params->cArgs - 1 - i]);
    entry += ")";
    if (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT)
      entry += " named put";
    if (lcid != LOCALE_USER_DEFAULT) entry += " lcid " + std::to_string(lcid);
    log_.push_back(entry);
    if (flags & DISPATCH_PROPERTYGET) {
      const std::wstring n = member == "?" ? L"" : all[id - 1];
      if (auto it = objects.find(n); it != objects.end()) {
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = it->second;
        if (it->second) it->second->AddRef();
        return S_OK;
      }
      if (auto it = numbers.find(n); it != numbers.end()) {
        V_VT(result) = VT_I4;
        V_I4(result) = it->second;
        return S_OK;
      }
    }
    if (flags & DISPATCH_METHOD) return methodResult;
    if (flags & DISPATCH_PROPERTYPUT) return S_OK;
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  std::vector<std::wstring> Members() const {
    std::vector<std::wstring> all;
    for (const auto& [n, o] : objects) all.push_back(n);
    for (const auto& [n, v] : numbers) all.push_back(n);
    for (const auto& n : methods) all.push_back(n);
    all.push_back(L"Visible");
    return all;
  }
  std::string name_;
  InvokeLog& log_;
  ULONG refs_ = 1;
};

struct Com {
  Com() { OleInitialize(nullptr); }
  ~Com() { OleUninitialize(); }
};

TEST(WinAutomation, ArgumentsReachInvokeInTheirDeclaredOrderWithOmittedOnesMarked) {
  Com com;
  InvokeLog log;
  FakeDispatch window("win", log);
  window.methods = {L"SmallScroll"};
  auto object = quarn::DispatchObject::Wrap(&window);
  EXPECT_TRUE(object->Call(
      u"SmallScroll",
      {AutoValue::Omitted(), AutoValue::Omitted(), AutoValue::Int(1), AutoValue::Omitted()}, 0,
      nullptr));
  EXPECT_TRUE(object->CallId(
      0x224, {AutoValue::Omitted(), AutoValue::Omitted(), AutoValue::Omitted(), AutoValue::Int(1)},
      nullptr));
  EXPECT_TRUE(object->Put(u"Visible", AutoValue::Bool(true), 0));
  EXPECT_TRUE(object->Call(
      u"SmallScroll",
      {AutoValue::String(u""), AutoValue::Bool(false), AutoValue::Int(0), AutoValue::Bool(true)},
      0x0409, nullptr));
  EXPECT_THAT(log, ::testing::ElementsAre("win.SmallScroll call (-,-,1,-) lcid 0",
                                          "win.#224 call (-,-,-,1)",
                                          "win.Visible put (true) named put lcid 0",
                                          "win.SmallScroll call (\"\",false,0,true) lcid 1033"));
}

TEST(WinAutomation, FailuresAndNullObjectsAreResultsNotCrashes) {
  Com com;
  InvokeLog log;
  FakeDispatch app("app", log);
  app.objects[L"ActiveWindow"] = nullptr;  // a property that gives a null object
  app.methods = {L"Fails"};
  app.methodResult = DISP_E_EXCEPTION;
  auto object = quarn::DispatchObject::Wrap(&app);
  EXPECT_EQ(object->GetObject(u"ActiveWindow"), nullptr);
  EXPECT_FALSE(object->Call(u"Fails", {}, 0, nullptr));
  EXPECT_FALSE(object->Call(u"NoSuchMethod", {}, 0, nullptr));
  AutoValue v;
  EXPECT_FALSE(object->Get(u"NoSuchProperty", v));
  EXPECT_EQ(quarn::DispatchObject::Wrap(nullptr), nullptr);
}

// A ProgID of the prefix's classes that names a test class identifier.
struct RegisteredProgId {
  RegisteredProgId(const wchar_t* progId, const wchar_t* clsid) : progId_(progId) {
    const std::wstring key = L"Software\\Classes\\" + progId_ + L"\\CLSID";
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, clsid,
                    static_cast<DWORD>((wcslen(clsid) + 1) * sizeof(wchar_t)));
    CLSIDFromString(clsid, &clsid_);
  }
  ~RegisteredProgId() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + progId_).c_str());
  }
  std::wstring progId_;
  CLSID clsid_{};
};

TEST(WinAutomation, WordIsFoundAsTheRunningInstanceOfItsProgId) {
  Com com;
  InvokeLog log;
  FakeDispatch word("word", log), windows("windows", log), active("active", log);
  word.objects = {{L"Windows", &windows}, {L"ActiveWindow", &active}};
  windows.numbers[L"Count"] = 1;
  active.methods = {L"SmallScroll"};
  quarn::ComAutomation host;
  EXPECT_EQ(quarn::WordSmallScroll(host, ScrollDirection::Left), quarn::OfficeStep::Failed)
      << "not registered";
  RegisteredProgId progId(L"Word.Application", L"{6F1D8C52-2A39-4C35-9E59-3A1B5D0C7E11}");
  DWORD cookie = 0;
  ASSERT_HRESULT_SUCCEEDED(
      RegisterActiveObject(&word, progId.clsid_, ACTIVEOBJECT_STRONG, &cookie));
  EXPECT_EQ(quarn::WordSmallScroll(host, ScrollDirection::Left), quarn::OfficeStep::Done);
  RevokeActiveObject(cookie, nullptr);
  EXPECT_THAT(log, ::testing::Contains("active.SmallScroll call (-,-,-,1) lcid 0"));
}

TEST(WinAutomation, TheWorkbookIsFoundThroughItsFileMonikerPastAForeignFile) {
  Com com;
  InvokeLog log;
  FakeDispatch foreign("foreign", log), book("book", log), excel("excel", log),
      active("active", log);
  book.workbook = true;
  book.objects[L"Application"] = &excel;
  HWND window = CreateWindowExW(0, L"STATIC", L"Microsoft Excel - Budget.xlsx", WS_POPUP, 0, 0, 10,
                                10, nullptr, nullptr, nullptr, nullptr);
  excel.numbers[L"Hwnd"] = static_cast<LONG>(reinterpret_cast<std::uintptr_t>(window));
  excel.objects[L"ActiveWindow"] = &active;
  IRunningObjectTable* table = nullptr;
  ASSERT_HRESULT_SUCCEEDED(GetRunningObjectTable(0, &table));
  IMoniker *foreignName = nullptr, *bookName = nullptr;
  CreateFileMoniker(L"C:\\data\\Budget.txt", &foreignName);
  CreateFileMoniker(L"C:\\data\\Budget.xlsx", &bookName);
  DWORD c1 = 0, c2 = 0;
  ASSERT_HRESULT_SUCCEEDED(table->Register(0, &foreign, foreignName, &c1));
  ASSERT_HRESULT_SUCCEEDED(table->Register(0, &book, bookName, &c2));
  quarn::ComAutomation host;
  EXPECT_EQ(quarn::ExcelSmallScroll(host, reinterpret_cast<std::uintptr_t>(window),
                                    u"Microsoft Excel - Budget.xlsx", ScrollDirection::Right),
            quarn::OfficeStep::Done);
  EXPECT_THAT(log, ::testing::Contains("active.#224 call (-,-,1,-)"));
  // Another window of the same title is not this Excel's.
  EXPECT_EQ(quarn::ExcelSmallScroll(host, 0x1234, u"Microsoft Excel - Budget.xlsx",
                                    ScrollDirection::Right),
            quarn::OfficeStep::Failed);
  host.ReleaseListing();
  table->Revoke(c1);
  table->Revoke(c2);
  foreignName->Release();
  bookName->Release();
  table->Release();
  DestroyWindow(window);
}

// A class object that hands out one fake application.
class FakeFactory : public IClassFactory {
 public:
  explicit FakeFactory(IDispatch* app) : app_(app) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID riid, void** out) override {
    return app_->QueryInterface(riid, out);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  IDispatch* app_;
};

TEST(WinAutomation, ANewWordInstanceIsMadeVisibleAndGetsABlankDocument) {
  Com com;
  InvokeLog log;
  FakeDispatch word("word", log), documents("documents", log);
  word.objects[L"Documents"] = &documents;
  documents.methods = {L"Add"};
  RegisteredProgId progId(L"Word.Application", L"{6F1D8C52-2A39-4C35-9E59-3A1B5D0C7E12}");
  FakeFactory factory(&word);
  DWORD cookie = 0;
  ASSERT_HRESULT_SUCCEEDED(CoRegisterClassObject(progId.clsid_, &factory, CLSCTX_LOCAL_SERVER,
                                                 REGCLS_MULTIPLEUSE, &cookie));
  quarn::ComAutomation host;
  const auto step = quarn::NewWordDocumentByAutomation(host);
  CoRevokeClassObject(cookie);
  if (step != quarn::OfficeStep::Done)
    GTEST_SKIP() << "Wine does not hand out a class object of this process as a local server";
  EXPECT_THAT(log, ::testing::ElementsAre("word.Visible put (true) named put lcid 0",
                                          "word.Documents get ()",
                                          "documents.Add call (\"\",false,0,true) lcid 0"));
}

std::wstring TestFolder() {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring s(self, n);
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

TEST(WinAutomation, WithoutWordTheInstallFoldersDocumentOpensThroughItsAssociation) {
  Com com;
  // The document beside this test stands for the install folder's; the probe
  // program is its registered handler and writes down what it was given.
  const std::wstring folder = TestFolder();
  const std::wstring doc = folder + L"Document1.doc";
  HANDLE f = CreateFileW(doc.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  CloseHandle(f);
  const std::wstring output = folder + L"probe-out.txt";
  DeleteFileW(output.c_str());
  const std::wstring command = L"\"" + folder + L"action_probe.exe\" \"%1\"";
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.doc", nullptr, REG_SZ,
                  L"QuarnTestDocument", sizeof(L"QuarnTestDocument"));
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\QuarnTestDocument\\shell\\open\\command",
                  nullptr, REG_SZ, command.c_str(),
                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  quarn::ComAutomation host;
  quarn::WinSystemPlatform platform([] { return u"test"; });
  quarn::SystemActions actions(platform, host);
  actions.NewWordDocument();
  std::wstring text;
  quarn::testing::RecordingWindow::PumpUntil(
      [&] {
        HANDLE r = CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (r == INVALID_HANDLE_VALUE) return false;
        wchar_t buf[2048];
        DWORD read = 0;
        ReadFile(r, buf, sizeof buf, &read, nullptr);
        CloseHandle(r);
        text.assign(buf, read / sizeof(wchar_t));
        return true;
      },
      10000);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.doc");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\QuarnTestDocument");
  DeleteFileW(output.c_str());
  DeleteFileW(doc.c_str());
  ASSERT_FALSE(text.empty()) << "the handler did not run";
  const std::wstring lower = [&] {
    std::wstring s = text;
    CharLowerW(s.data());
    return s;
  }();
  std::wstring expected = doc;
  CharLowerW(expected.data());
  EXPECT_NE(lower.find(L"document1.doc"), std::wstring::npos) << Narrow(quarn::FromWide(text));
}

TEST(WinSystemPlatform, PrivilegesEnableOrReportTheSystemText) {
  quarn::WinSystemPlatform platform([] { return u"test"; });
  std::u16string error;
  EXPECT_TRUE(platform.SetProcessPrivilege(u"SeShutdownPrivilege", true, error)) << Narrow(error);
  EXPECT_FALSE(platform.SetProcessPrivilege(u"SeNoSuchPrivilege", true, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(error, quarn::SystemErrorText(ERROR_NO_SUCH_PRIVILEGE));
}

TEST(WinSystemPlatform, DrivesFolderListAndSystemFolder) {
  Com com;
  quarn::WinSystemPlatform platform([] { return u"test"; });
  const quarn::ShellItemList list = platform.SpecialFolderList(quarn::CSIDL_DRIVES_);
  EXPECT_NE(list, 0u);
  platform.FreeItemList(list);
  EXPECT_EQ(platform.SpecialFolderList(0x7FFF), 0u) << "no such folder";
  const std::u16string system = platform.SystemFolder();
  ASSERT_GT(system.size(), 9u);
  EXPECT_NE(system.back(), u'\\');
  EXPECT_NE(GetFileAttributesW((quarn::ToWide(system) + L"\\kernel32.dll").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

}  // namespace
