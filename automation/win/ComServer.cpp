#include "automation/win/ComServer.h"

#include <olectl.h>

#include <atomic>
#include <map>
#include <mutex>

#include "automation/win/VariantConvert.h"

namespace automation::win {
namespace {

std::atomic<long> g_liveObjects{0};

// Member names to DISPIDs, the same for every object: a client may cache them across objects.
class NameTable {
 public:
  DISPID idOf(const std::u16string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::u16string key = platform::toLower(name);
    auto it = ids_.find(key);
    if (it != ids_.end()) return it->second;
    names_.push_back(platform::wideToUtf8(name));
    DISPID id = static_cast<DISPID>(names_.size());
    ids_[key] = id;
    return id;
  }
  bool nameOf(DISPID id, std::string& out) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (id < 1 || static_cast<size_t>(id) > names_.size()) return false;
    out = names_[static_cast<size_t>(id) - 1];
    return true;
  }

 private:
  std::mutex mutex_;
  std::map<std::u16string, DISPID> ids_;
  std::vector<std::string> names_;
};

NameTable& names() {
  static NameTable t;
  return t;
}

BSTR bstr(const std::string& utf8) {
  WideString w = platform::utf8ToWide(utf8);
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(w.data()), static_cast<UINT>(w.size()));
}

// IUnknown for a server object implementing one interface: reference counting, and the count of
// live objects that DllCanUnloadNow answers from.
template <class Interface>
class UnknownBase : public Interface {
 public:
  explicit UnknownBase(const IID& own) : own_(own) { ++g_liveObjects; }
  virtual ~UnknownBase() { --g_liveObjects; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, own_)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }

 private:
  IID own_;
  std::atomic<ULONG> refs_{1};
};

class DispatchAdapter : public UnknownBase<IDispatch> {
 public:
  explicit DispatchAdapter(DispatchPtr inner) : UnknownBase(IID_IDispatch), inner_(std::move(inner)) {}

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* nameList, UINT count, LCID, DISPID* ids) override {
    if (!nameList || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = i == 0 ? names().idOf(reinterpret_cast<const char16_t*>(nameList[0])) : DISPID_UNKNOWN;
    return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT*) override {
    std::string name;
    if (id == DISPID_VALUE) name = "_Default";
    else if (!names().nameOf(id, name)) return DISP_E_MEMBERNOTFOUND;
    try {
      CallKind kind = CallKind::Method;
      if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) kind = CallKind::Put;
      else if (flags == DISPATCH_PROPERTYGET) kind = CallKind::Get;
      std::vector<Variant> args;
      UINT total = params ? params->cArgs : 0;
      // Positional arguments arrive last-first; the named DISPID_PROPERTYPUT value is rgvarg[0].
      UINT named = params ? params->cNamedArgs : 0;
      for (UINT i = total; i > named; --i) args.push_back(fromVARIANT(params->rgvarg[i - 1]));
      if (kind == CallKind::Put && named > 0) args.push_back(fromVARIANT(params->rgvarg[0]));
      // An assignment from another program that carries no value: nothing to hand on.
      if (kind == CallKind::Put && args.empty()) return DISP_E_BADPARAMCOUNT;
      Variant r = inner_->invoke(name, kind, args);
      if (result) toVARIANT(r, result);
      return S_OK;
    } catch (const std::exception& e) {
      if (info) {
        *info = EXCEPINFO{};
        info->scode = DISP_E_EXCEPTION;
        info->bstrSource = bstr("Tavimo");
        info->bstrDescription = bstr(e.what());
      }
      return DISP_E_EXCEPTION;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }

 private:
  DispatchPtr inner_;
};

class ClassObject : public UnknownBase<IClassFactory> {
 public:
  explicit ClassObject(std::function<DispatchPtr()> create)
      : UnknownBase(IID_IClassFactory), create_(std::move(create)) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    try {
      IDispatch* d = exposeAsIDispatch(create_());
      HRESULT hr = d->QueryInterface(iid, out);
      d->Release();
      return hr;
    } catch (...) {
      return E_FAIL;
    }
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ++g_liveObjects : --g_liveObjects;
    return S_OK;
  }

 private:
  std::function<DispatchPtr()> create_;
};

std::wstring wide(const std::string& s) {
  WideString w = platform::utf8ToWide(s);
  return std::wstring(w.begin(), w.end());
}

bool setKey(const std::wstring& path, const wchar_t* valueName, const std::wstring& value) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG r = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

}  // namespace

IDispatch* exposeAsIDispatch(DispatchPtr object) { return new DispatchAdapter(std::move(object)); }

HRESULT serverGetClassObject(const std::vector<ServerClass>& classes, REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (auto& c : classes) {
    CLSID id;
    if (FAILED(CLSIDFromString(wide(c.classId).c_str(), &id)) || !IsEqualCLSID(id, clsid)) continue;
    auto* factory = new ClassObject(c.create);
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT serverRegister(const std::vector<ServerClass>& classes, HMODULE module) {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(module, path, MAX_PATH * 2);
  if (n == 0) return HRESULT_FROM_WIN32(GetLastError());
  for (auto& c : classes) {
    std::wstring clsid = L"CLSID\\" + wide(c.classId);
    std::wstring prog = wide(c.progId), versioned = wide(c.versionedProgId);
    bool ok = setKey(clsid, nullptr, wide(c.description)) &&
              setKey(clsid + L"\\InprocServer32", nullptr, path) &&
              setKey(clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
              setKey(clsid + L"\\ProgID", nullptr, versioned.empty() ? prog : versioned) &&
              setKey(clsid + L"\\VersionIndependentProgID", nullptr, prog) &&
              setKey(prog, nullptr, wide(c.description)) && setKey(prog + L"\\CLSID", nullptr, wide(c.classId)) &&
              setKey(prog + L"\\CurVer", nullptr, versioned.empty() ? prog : versioned);
    if (ok && !versioned.empty())
      ok = setKey(versioned, nullptr, wide(c.description)) && setKey(versioned + L"\\CLSID", nullptr, wide(c.classId));
    if (!ok) return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT serverUnregister(const std::vector<ServerClass>& classes) {
  for (auto& c : classes) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + wide(c.classId)).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, wide(c.progId).c_str());
    if (!c.versionedProgId.empty()) RegDeleteTreeW(HKEY_CLASSES_ROOT, wide(c.versionedProgId).c_str());
  }
  return S_OK;
}

HRESULT serverCanUnloadNow() { return g_liveObjects == 0 ? S_OK : S_FALSE; }

}  // namespace automation::win
