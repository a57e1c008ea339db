#include "automation/FakeAutomation.h"

namespace automation {
namespace {

class FakeObject : public Dispatch {
 public:
  FakeObject(FakeAutomation& world, std::string path) : world_(world), path_(std::move(path)) {}
  Variant invoke(std::string_view name, CallKind kind, const Args& args) override {
    return world_.answer(path_, name, kind, args);
  }

 private:
  FakeAutomation& world_;
  std::string path_;
};

std::string join(const std::string& path, std::string_view member) {
  return path.empty() ? std::string(member) : path + "." + std::string(member);
}

std::string renderArgs(const Args& args, size_t count) {
  std::string s = "(";
  for (size_t i = 0; i < count; ++i) s += (i ? ", " : "") + args[i].render();
  return s + ")";
}

}  // namespace

FakeAutomation::FakeAutomation() : root_(std::make_shared<FakeObject>(*this, "")) {}

DispatchPtr FakeAutomation::object(const std::string& path) {
  auto& o = objects_[path];
  if (!o) o = std::make_shared<FakeObject>(*this, path);
  return o;
}

void FakeAutomation::returns(const std::string& key, std::vector<Variant> answers) {
  auto& s = scripts_[key];
  s.answers = std::move(answers);
  s.next = 0;
}

void FakeAutomation::fails(const std::string& key, const std::string& message, bool always) {
  auto& s = scripts_[key];
  s.failure = message;
  s.failAlways = always;
  s.failPending = true;
}

void FakeAutomation::handles(const std::string& key, Handler handler) { scripts_[key].handler = std::move(handler); }

Variant FakeAutomation::property(const std::string& key) const {
  auto it = properties_.find(key);
  return it == properties_.end() ? Variant() : it->second;
}

std::vector<std::string> FakeAutomation::calls(const std::string& prefix) const {
  std::vector<std::string> out;
  for (auto& l : log_)
    if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
  return out;
}

Variant FakeAutomation::answer(const std::string& path, std::string_view member, CallKind kind,
                               const Args& args) {
  std::string key = join(path, member);
  size_t shown = kind == CallKind::Put && !args.empty() ? args.size() - 1 : args.size();
  std::string line = key;
  if (shown > 0 || kind == CallKind::Method) line += renderArgs(args, shown);
  if (kind == CallKind::Put) line += " = " + (args.empty() ? std::string("Empty") : args.back().render());
  log_.push_back(line);

  auto sit = scripts_.find(key);
  if (sit != scripts_.end()) {
    Script& s = sit->second;
    if (s.failPending) {
      s.failPending = s.failAlways;
      throw AutomationError(s.failure);
    }
    if (s.handler) return s.handler(std::vector<Variant>(args.begin(), args.end()));
    if (!s.answers.empty() && kind != CallKind::Put) {
      const Variant& v = s.answers[std::min(s.next, s.answers.size() - 1)];
      if (s.next < s.answers.size()) ++s.next;
      return v;
    }
  }
  if (kind == CallKind::Put) {
    if (!args.empty()) properties_[key] = args.back();
    return Variant();
  }
  auto pit = properties_.find(key);
  if (pit != properties_.end() && args.empty()) return pit->second;
  return Variant(object(shown > 0 ? key + renderArgs(args, shown) : key));
}

}  // namespace automation
