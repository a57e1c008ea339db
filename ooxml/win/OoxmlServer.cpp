// The in-process COM server of our OOXML engine: registered in a test prefix under Word's
// class id, so the plug-in reaches it by ProgID exactly as it would reach Word.
#include <windows.h>

#include "automation/win/ComServer.h"
#include "ooxml/sheet/ExcelApplication.h"
#include "ooxml/word/WordApplication.h"

namespace {

HMODULE g_module = nullptr;

// One entry per application the engine stands in for.
const std::vector<automation::win::ServerClass>& classes() {
  static const std::vector<automation::win::ServerClass> c{
      {ooxml::kWordClassId, ooxml::kWordProgId, ooxml::kWordVersionedProgId, "Tavimo OOXML engine: Word",
       [] { return ooxml::createWordApplication(); }},
      {ooxml::kExcelClassId, ooxml::kExcelProgId, ooxml::kExcelVersionedProgId, "Tavimo OOXML engine: Excel",
       [] { return ooxml::createExcelApplication(); }},
  };
  return c;
}

}  // namespace

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}
HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return automation::win::serverGetClassObject(classes(), clsid, iid, out);
}
HRESULT WINAPI DllCanUnloadNow() { return automation::win::serverCanUnloadNow(); }
HRESULT WINAPI DllRegisterServer() { return automation::win::serverRegister(classes(), g_module); }
HRESULT WINAPI DllUnregisterServer() { return automation::win::serverUnregister(classes()); }
}
