#include "dispatch_object.h"

#include <oleauto.h>

#include <limits>

#include "wide.h"

namespace quarn {

namespace {

// Fills `v` (VT_EMPTY on entry) from a value; false when it cannot be expressed.
bool ToVariant(const AutoValue& value, VARIANT& v) {
  switch (value.kind) {
    case AutoValue::Kind::Empty:
      return true;
    case AutoValue::Kind::Omitted:
      V_VT(&v) = VT_ERROR;
      V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
      return true;
    case AutoValue::Kind::Bool:
      V_VT(&v) = VT_BOOL;
      V_BOOL(&v) = value.boolean ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    case AutoValue::Kind::Int:
      if (value.integer >= std::numeric_limits<LONG>::min() &&
          value.integer <= std::numeric_limits<LONG>::max()) {
        V_VT(&v) = VT_I4;
        V_I4(&v) = static_cast<LONG>(value.integer);
      } else {
        V_VT(&v) = VT_I8;
        V_I8(&v) = value.integer;
      }
      return true;
    case AutoValue::Kind::String: {
      const std::wstring text = ToWide(value.text);
      BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      if (b == nullptr) return false;
      V_VT(&v) = VT_BSTR;
      V_BSTR(&v) = b;
      return true;
    }
    case AutoValue::Kind::Object: {
      auto* object = dynamic_cast<DispatchObject*>(value.object.get());
      if (value.object && object == nullptr) return false;
      V_VT(&v) = VT_DISPATCH;
      V_DISPATCH(&v) = object ? object->Get() : nullptr;
      if (V_DISPATCH(&v)) V_DISPATCH(&v)->AddRef();
      return true;
    }
  }
  return false;
}

AutoValue FromVariant(const VARIANT& v) {
  switch (V_VT(&v)) {
    case VT_DISPATCH:
      return AutoValue::Object(DispatchObject::Wrap(V_DISPATCH(&v)));
    case VT_UNKNOWN:
      return AutoValue::Object(DispatchObject::FromUnknown(V_UNKNOWN(&v)));
    case VT_BOOL:
      return AutoValue::Bool(V_BOOL(&v) != VARIANT_FALSE);
    case VT_BSTR:
      return AutoValue::String(
          V_BSTR(&v) ? FromWide(std::wstring_view(V_BSTR(&v), SysStringLen(V_BSTR(&v))))
                     : std::u16string{});
    case VT_I1:
      return AutoValue::Int(V_I1(&v));
    case VT_UI1:
      return AutoValue::Int(V_UI1(&v));
    case VT_I2:
      return AutoValue::Int(V_I2(&v));
    case VT_UI2:
      return AutoValue::Int(V_UI2(&v));
    case VT_I4:
      return AutoValue::Int(V_I4(&v));
    case VT_UI4:
      return AutoValue::Int(V_UI4(&v));
    case VT_INT:
      return AutoValue::Int(V_INT(&v));
    case VT_UINT:
      return AutoValue::Int(V_UINT(&v));
    case VT_I8:
      return AutoValue::Int(V_I8(&v));
    case VT_UI8:
      return AutoValue::Int(static_cast<std::int64_t>(V_UI8(&v)));
    default:
      return AutoValue{};
  }
}

// Owns the argument array of one Invoke.
class ArgumentArray {
 public:
  explicit ArgumentArray(std::size_t n) : v_(n) {
    for (auto& v : v_) VariantInit(&v);
  }
  ~ArgumentArray() {
    for (auto& v : v_) VariantClear(&v);
  }
  ArgumentArray(const ArgumentArray&) = delete;
  ArgumentArray& operator=(const ArgumentArray&) = delete;
  VARIANT* data() { return v_.empty() ? nullptr : v_.data(); }
  VARIANT& operator[](std::size_t i) { return v_[i]; }

 private:
  std::vector<VARIANT> v_;
};

}  // namespace

std::shared_ptr<AutoObject> DispatchObject::Wrap(IDispatch* dispatch) {
  if (dispatch == nullptr) return nullptr;
  return std::shared_ptr<AutoObject>(new DispatchObject(dispatch));
}

std::shared_ptr<AutoObject> DispatchObject::FromUnknown(IUnknown* unknown) {
  if (unknown == nullptr) return nullptr;
  IDispatch* dispatch = nullptr;
  if (FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) ||
      dispatch == nullptr)
    return nullptr;
  std::shared_ptr<AutoObject> out = Wrap(dispatch);
  dispatch->Release();
  return out;
}

DispatchObject::DispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {
  dispatch_->AddRef();
}

DispatchObject::~DispatchObject() {
  dispatch_->Release();
}

HRESULT DispatchObject::IdOf(const std::u16string& name, DISPID& id) {
  std::wstring wide = ToWide(name);
  LPOLESTR names[] = {wide.data()};
  return dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
}

HRESULT DispatchObject::Invoke(DISPID id, WORD flags, const std::vector<AutoValue>& args, LCID lcid,
                               AutoValue* result) {
  // Invoke takes the last argument first.
  ArgumentArray argv(args.size());
  for (std::size_t i = 0; i < args.size(); ++i)
    if (!ToVariant(args[i], argv[args.size() - 1 - i])) return E_INVALIDARG;
  DISPPARAMS params{};
  params.rgvarg = argv.data();
  params.cArgs = static_cast<UINT>(args.size());
  DISPID putId = DISPID_PROPERTYPUT;
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  VARIANT out;
  VariantInit(&out);
  EXCEPINFO exception{};
  UINT badArg = 0;
  HRESULT hr =
      dispatch_->Invoke(id, IID_NULL, lcid, flags, &params,
                        (flags & DISPATCH_PROPERTYPUT) ? nullptr : &out, &exception, &badArg);
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    if (exception.scode != 0) hr = exception.scode;
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  if (SUCCEEDED(hr) && result) *result = FromVariant(out);
  VariantClear(&out);
  return hr;
}

bool DispatchObject::Get(const std::u16string& name, AutoValue& out) {
  DISPID id = 0;
  last_ = IdOf(name, id);
  if (SUCCEEDED(last_)) last_ = Invoke(id, DISPATCH_PROPERTYGET, {}, LOCALE_USER_DEFAULT, &out);
  return SUCCEEDED(last_);
}

bool DispatchObject::Put(const std::u16string& name, const AutoValue& value, std::uint32_t lcid) {
  DISPID id = 0;
  last_ = IdOf(name, id);
  if (SUCCEEDED(last_)) last_ = Invoke(id, DISPATCH_PROPERTYPUT, {value}, lcid, nullptr);
  return SUCCEEDED(last_);
}

bool DispatchObject::Call(const std::u16string& name, const std::vector<AutoValue>& args,
                          std::uint32_t lcid, AutoValue* result) {
  DISPID id = 0;
  last_ = IdOf(name, id);
  if (SUCCEEDED(last_)) last_ = Invoke(id, DISPATCH_METHOD, args, lcid, result);
  return SUCCEEDED(last_);
}

bool DispatchObject::CallId(std::int32_t dispid, const std::vector<AutoValue>& args,
                            AutoValue* result) {
  last_ = Invoke(dispid, DISPATCH_METHOD, args, LOCALE_USER_DEFAULT, result);
  return SUCCEEDED(last_);
}

}  // namespace quarn
