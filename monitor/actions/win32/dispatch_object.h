// The late-binding helper: an automation object reached through IDispatch.
// Names become dispatch identifiers, arguments travel in the reverse order
// Invoke expects, an omitted optional argument is VT_ERROR with
// DISP_E_PARAMNOTFOUND, and every failure is an HRESULT, never an exception.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oaidl.h>

#include <memory>

#include "automation.h"

namespace quarn {

class DispatchObject : public AutoObject {
 public:
  // Holds its own reference; null gives null.
  static std::shared_ptr<AutoObject> Wrap(IDispatch* dispatch);
  // Views any object as IDispatch; null when it has no such interface.
  static std::shared_ptr<AutoObject> FromUnknown(IUnknown* unknown);
  ~DispatchObject() override;
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  bool Get(const std::u16string& name, AutoValue& out) override;
  bool Put(const std::u16string& name, const AutoValue& value, std::uint32_t lcid) override;
  bool Call(const std::u16string& name, const std::vector<AutoValue>& args, std::uint32_t lcid,
            AutoValue* result) override;
  bool CallId(std::int32_t dispid, const std::vector<AutoValue>& args, AutoValue* result) override;

  IDispatch* Get() const { return dispatch_; }
  // The HRESULT of the last call on this object.
  HRESULT LastResult() const { return last_; }

 private:
  explicit DispatchObject(IDispatch* dispatch);
  HRESULT IdOf(const std::u16string& name, DISPID& id);
  HRESULT Invoke(DISPID id, WORD flags, const std::vector<AutoValue>& args, LCID lcid,
                 AutoValue* result);

  IDispatch* dispatch_;
  HRESULT last_ = S_OK;
};

}  // namespace quarn
