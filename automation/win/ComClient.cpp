// The COM client: objects by ProgID, late-bound calls through IDispatch.
#include <windows.h>
#include <objbase.h>

#include "automation/Apartment.h"
#include "automation/AutomationFactory.h"
#include "automation/win/ComDispatch.h"
#include "automation/win/VariantConvert.h"

namespace automation {

ComApartment::ComApartment() { initialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

namespace win {
namespace {

std::wstring wide(std::string_view ascii) {
  WideString w = platform::utf8ToWide(ascii);
  return std::wstring(w.begin(), w.end());
}

std::string systemMessage(HRESULT hr) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string text;
  if (n && buf) {
    text = platform::wideToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(buf), n));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  }
  if (buf) LocalFree(buf);
  char code[16];
  snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  return text.empty() ? std::string("error ") + code : text + " (" + code + ")";
}

class ComFactory : public AutomationFactory {
 public:
  DispatchPtr create(std::string_view progId) override {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(wide(progId).c_str(), &clsid);
    if (FAILED(hr)) throw AutomationError("Invalid class string " + std::string(progId) + ": " + systemMessage(hr), hr);
    IDispatch* d = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&d));
    if (FAILED(hr) || !d) throw AutomationError("Cannot create " + std::string(progId) + ": " + systemMessage(hr), hr);
    auto out = std::make_shared<ComDispatch>(d);
    d->Release();
    return out;
  }

  std::optional<std::string> versionedProgId(std::string_view classId) override {
    CLSID clsid;
    if (FAILED(CLSIDFromString(wide(classId).c_str(), &clsid))) return std::nullopt;
    LPOLESTR progId = nullptr;
    if (FAILED(ProgIDFromCLSID(clsid, &progId)) || !progId) return std::nullopt;
    std::string out = platform::wideToUtf8(reinterpret_cast<const char16_t*>(progId));
    CoTaskMemFree(progId);
    return out;
  }
};

}  // namespace

std::string describeFailure(HRESULT hr, EXCEPINFO* info, std::string_view member) {
  std::string text;
  if (hr == DISP_E_EXCEPTION && info) {
    if (info->pfnDeferredFillIn) info->pfnDeferredFillIn(info);
    if (info->bstrDescription)
      text = platform::wideToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(info->bstrDescription),
                                                      SysStringLen(info->bstrDescription)));
  }
  if (info) {
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrHelpFile);
  }
  if (text.empty()) text = std::string(member) + ": " + systemMessage(hr);
  return text;
}

ComDispatch::ComDispatch(IDispatch* object) : object_(object) { object_->AddRef(); }
ComDispatch::~ComDispatch() { object_->Release(); }

DISPID ComDispatch::idOf(std::string_view name) {
  std::string key(name);
  for (auto& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto it = ids_.find(key);
  if (it != ids_.end()) return it->second;
  std::wstring w = wide(name);
  LPOLESTR names[] = {w.data()};
  DISPID id;
  HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) throw AutomationError("Unknown name: " + std::string(name), hr);
  ids_[key] = id;
  return id;
}

Variant ComDispatch::invoke(std::string_view name, CallKind kind, const Args& args) {
  DISPID id = idOf(name);
  std::vector<VARIANT> reversed(args.size());
  for (size_t i = 0; i < args.size(); ++i) toVARIANT(args[i], &reversed[args.size() - 1 - i]);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(args.size()), 0};
  WORD flags = DISPATCH_METHOD;
  if (kind == CallKind::Get) flags = DISPATCH_PROPERTYGET;
  if (kind == CallKind::Put) {
    flags = DISPATCH_PROPERTYPUT;
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO info{};
  UINT badArg = 0;
  HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                               kind == CallKind::Put ? nullptr : &result, &info, &badArg);
  for (auto& v : reversed) VariantClear(&v);
  if (FAILED(hr)) {
    VariantClear(&result);
    throw AutomationError(describeFailure(hr, &info, name), hr);
  }
  Variant out;
  try {
    out = fromVARIANT(result);
  } catch (...) {
    VariantClear(&result);
    throw;
  }
  VariantClear(&result);
  return out;
}

}  // namespace win

AutomationFactory& comFactory() {
  static win::ComFactory f;
  return f;
}

}  // namespace automation
