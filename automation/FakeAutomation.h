#pragma once
// The recording fake: a scriptable object tree standing in for Word or Excel in tests.
//
// Every call on any object of the tree is logged as one line:
//   Get without arguments      Documents.Count
//   Get or Method with args    Selection.Find.Execute("x", False, False, False, False, False, True, 1, False, "", 0)
//   Method without arguments   Document.Save()
//   Put                        Selection.Text = "y"        indexed: Props("Title").Value = "t"
// An object's path is its parent's path, a dot and the member (with its arguments when it had
// some): the root has an empty path, so Word's application members log as "Documents.Open(...)".
// Values render as Variant::render() does: strings quoted with inner quotes doubled, True/False,
// Empty, Null, numbers as Visual Basic prints them.
//
// Scripting, by key = object path + "." + member (no arguments), e.g. "Selection.Find.Execute":
//   returns(key, {v1, v2, ...})  answers the calls in turn; the last answer repeats
//   fails(key, "message")        the next call raises AutomationError("message"); failsAlways too
//   handles(key, fn)             computes the answer (and may change properties)
//   object(path)                 a named object to hand out as an answer ("Document")
// Without a script, a Put stores the value and a later Get of the same key returns it; any other
// Get or Method answers with a child object, so chains of calls always work.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "automation/Dispatch.h"

namespace automation {

class FakeAutomation {
 public:
  using Handler = std::function<Variant(const std::vector<Variant>& args)>;

  FakeAutomation();
  DispatchPtr root() const { return root_; }
  DispatchPtr object(const std::string& path);

  void returns(const std::string& key, std::vector<Variant> answers);
  void fails(const std::string& key, const std::string& message, bool always = false);
  void failsAlways(const std::string& key, const std::string& message) { fails(key, message, true); }
  void handles(const std::string& key, Handler handler);
  void setProperty(const std::string& key, Variant value) { properties_[key] = std::move(value); }
  Variant property(const std::string& key) const;

  const std::vector<std::string>& log() const { return log_; }
  // Log lines that start with prefix, in order.
  std::vector<std::string> calls(const std::string& prefix = "") const;
  void clearLog() { log_.clear(); }

  // Used by the fake objects.
  Variant answer(const std::string& path, std::string_view member, CallKind kind, const Args& args);

 private:
  struct Script {
    std::vector<Variant> answers;
    size_t next = 0;
    std::string failure;
    bool failAlways = false;
    bool failPending = false;
    Handler handler;
  };
  DispatchPtr root_;
  std::map<std::string, DispatchPtr> objects_;
  std::map<std::string, Script> scripts_;
  std::map<std::string, Variant> properties_;
  std::vector<std::string> log_;
};

}  // namespace automation
