#include "com_automation.h"

#include <oleauto.h>

#include "dispatch_object.h"
#include "office_steps.h"
#include "wide.h"

namespace quarn {

namespace {

bool ClassOf(const std::u16string& progId, CLSID& clsid) {
  const std::wstring name = ToWide(progId);
  return SUCCEEDED(CLSIDFromProgID(name.c_str(), &clsid));
}

std::u16string GuidText(const GUID& guid) {
  wchar_t buf[40];
  const int n = StringFromGUID2(guid, buf, 40);
  return n > 1 ? FromWide(std::wstring_view(buf, static_cast<std::size_t>(n - 1)))
               : std::u16string{};
}

}  // namespace

ComAutomation::~ComAutomation() {
  ReleaseListing();
}

void ComAutomation::ReleaseListing() {
  for (IMoniker* m : monikers_) m->Release();
  monikers_.clear();
  if (table_) table_->Release();
  table_ = nullptr;
}

std::shared_ptr<AutoObject> ComAutomation::RunningInstance(const std::u16string& progId) {
  CLSID clsid;
  if (!ClassOf(progId, clsid)) return nullptr;
  IUnknown* unknown = nullptr;
  if (FAILED(GetActiveObject(clsid, nullptr, &unknown)) || unknown == nullptr) return nullptr;
  std::shared_ptr<AutoObject> out = DispatchObject::FromUnknown(unknown);
  unknown->Release();
  return out;
}

std::shared_ptr<AutoObject> ComAutomation::NewInstance(const std::u16string& progId) {
  CLSID clsid;
  if (!ClassOf(progId, clsid)) return nullptr;
  IDispatch* dispatch = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&dispatch))) ||
      dispatch == nullptr)
    return nullptr;
  std::shared_ptr<AutoObject> out = DispatchObject::Wrap(dispatch);
  dispatch->Release();
  return out;
}

bool ComAutomation::ListRunningObjects(std::vector<RunningEntry>& out) {
  ReleaseListing();
  out.clear();
  IBindCtx* context = nullptr;
  if (FAILED(CreateBindCtx(0, &context)) || context == nullptr) return false;
  IEnumMoniker* list = nullptr;
  bool ok = SUCCEEDED(GetRunningObjectTable(0, &table_)) && table_ != nullptr &&
            SUCCEEDED(table_->EnumRunning(&list)) && list != nullptr;
  if (ok) {
    IMoniker* moniker = nullptr;
    while (monikers_.size() < MAX_RUNNING_OBJECTS && list->Next(1, &moniker, nullptr) == S_OK &&
           moniker != nullptr) {
      RunningEntry entry;
      LPOLESTR name = nullptr;
      if (SUCCEEDED(moniker->GetDisplayName(context, nullptr, &name)) && name != nullptr) {
        entry.displayName = FromWide(std::wstring_view(name));
        CoTaskMemFree(name);
      }
      CLSID clsid;
      if (SUCCEEDED(moniker->GetClassID(&clsid))) entry.monikerClassId = GuidText(clsid);
      monikers_.push_back(moniker);
      out.push_back(std::move(entry));
      moniker = nullptr;
    }
  }
  if (list) list->Release();
  context->Release();
  return ok;
}

std::shared_ptr<AutoObject> ComAutomation::RunningWorkbook(std::size_t index) {
  if (table_ == nullptr || index >= monikers_.size()) return nullptr;
  IUnknown* object = nullptr;
  if (FAILED(table_->GetObject(monikers_[index], &object)) || object == nullptr) return nullptr;
  IID workbook;
  const std::wstring iid = ToWide(EXCEL_WORKBOOK_IID);
  IDispatch* dispatch = nullptr;
  // The workbook interface is a dual one: its pointer is an IDispatch.
  if (SUCCEEDED(IIDFromString(iid.c_str(), &workbook)))
    object->QueryInterface(workbook, reinterpret_cast<void**>(&dispatch));
  object->Release();
  if (dispatch == nullptr) return nullptr;
  std::shared_ptr<AutoObject> out = DispatchObject::Wrap(dispatch);
  dispatch->Release();
  return out;
}

std::uint32_t ComAutomation::UserDefaultLcid() {
  return GetUserDefaultLCID();
}

}  // namespace quarn
