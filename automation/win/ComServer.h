#pragma once
// The COM server side: any Dispatch exposed as an IDispatch (one stable DISPID per member
// name, process-wide), and the plumbing of an in-process server DLL (class objects,
// registration under HKEY_CLASSES_ROOT).
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "automation/Dispatch.h"

namespace automation::win {

// A new IDispatch over the object, with one reference owned by the caller.
IDispatch* exposeAsIDispatch(DispatchPtr object);

struct ServerClass {
  std::string classId;          // "{...}"
  std::string progId;           // "Word.Application"
  std::string versionedProgId;  // "Word.Application.16"
  std::string description;
  std::function<DispatchPtr()> create;
};

// For DllGetClassObject, DllRegisterServer, DllUnregisterServer and DllCanUnloadNow.
HRESULT serverGetClassObject(const std::vector<ServerClass>& classes, REFCLSID clsid, REFIID iid, void** out);
HRESULT serverRegister(const std::vector<ServerClass>& classes, HMODULE module);
HRESULT serverUnregister(const std::vector<ServerClass>& classes);
HRESULT serverCanUnloadNow();

}  // namespace automation::win
