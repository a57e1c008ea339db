// A tiny automation server: Add(a, b), Name (get/put), Fail(), Child.Depth.
#include <windows.h>

#include "automation/win/ComServer.h"
#include "tests/automation/win/TestServer.h"

using namespace automation;

namespace {

HMODULE g_module = nullptr;

class Calculator : public Dispatch {
 public:
  explicit Calculator(int depth = 0) : depth_(depth) {}
  Variant invoke(std::string_view name, CallKind kind, const automation::Args& args) override {
    std::string n(name);
    for (auto& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (n == "add" && args.size() == 2) return Variant(args[0].toDouble() + args[1].toDouble());
    if (n == "argcount") return Variant(static_cast<int>(args.size()));
    if (n == "argtext") return Variant(args.at(args.at(0).toInt()).render().c_str());
    if (n == "name" && kind == CallKind::Put) {
      name_ = args.back().toString();
      return Variant();
    }
    if (n == "name") return Variant(name_);
    if (n == "fail") throw AutomationError(u"the server refused: Größe");
    if (n == "child") return Variant(DispatchPtr(std::make_shared<Calculator>(depth_ + 1)));
    if (n == "depth") return Variant(depth_);
    throw AutomationError("Unknown member " + std::string(name));
  }

 private:
  int depth_;
  WideString name_ = u"calc";
};

const std::vector<win::ServerClass>& classes() {
  static const std::vector<win::ServerClass> c{{TAVIMO_TEST_SERVER_CLSID, TAVIMO_TEST_SERVER_PROGID,
                                                 TAVIMO_TEST_SERVER_VERSIONED, "Tavimo test server",
                                                 [] { return std::make_shared<Calculator>(); }}};
  return c;
}

}  // namespace

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}
HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return win::serverGetClassObject(classes(), clsid, iid, out);
}
HRESULT WINAPI DllCanUnloadNow() { return win::serverCanUnloadNow(); }
HRESULT WINAPI DllRegisterServer() { return win::serverRegister(classes(), g_module); }
HRESULT WINAPI DllUnregisterServer() { return win::serverUnregister(classes()); }
}
