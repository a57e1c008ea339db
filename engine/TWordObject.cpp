#include "engine/TWordObject.h"

#include <limits>

#include "automation/AutomationFactory.h"
#include "engine/Guard.h"
#include "engine/InStringReplace.h"

using automation::Ole;
using automation::Variant;

namespace {

constexpr int32_t wdAlertsNone = 0;
constexpr int32_t wdDoNotSaveChanges = 0;
constexpr int32_t wdNoProtection = -1;
constexpr int32_t wdOpenFormatAuto = 0;
constexpr const char* kWordClassId = "{000209FF-0000-0000-C000-000000000046}";

}  // namespace

TWordObject::TWordObject(IReplaceOwner* owner) {
  Parameters = nullptr;
  StartApplication();
  Mode = kModeReplace;
  document_ = Ole();
  SetFormattingSet = 0;
  SearchFormattingSet = 0;
  wordVersion_ = 0;
  owner_ = owner;
  restrictToSelection_ = false;
}

TWordObject::~TWordObject() {
  // A destructor must not throw: a Word that refuses to close its document is left as it is.
  try {
    ReleaseApplication(true);
  } catch (...) {
  }
}

void TWordObject::StartApplication() {
  application_ = Ole();
  try {
    application_ = Ole(automation::automationFactory().create("Word.Application"));
  } catch (const std::exception&) {
  }
  wordRunning_ = application_.isObject();
  if (wordRunning_) application_.put("DisplayAlerts", wdAlertsNone);
}

void TWordObject::ReleaseApplication(bool quitWord) {
  try {
    if (quitWord && wordRunning_) {
      CloseDocument();
      swallowErrors([&] {
        // Another document still open in this Word belongs to someone else: leave Word running.
        if (application_.isObject() && application_.get("Documents").get("Count").toInt() == 0)
          application_.call("Quit", wdDoNotSaveChanges, Variant(), Variant());
      });
    }
  } catch (...) {
    forgetDocumentObjects();
    document_ = Ole();
    application_ = Ole();
    throw;
  }
  forgetDocumentObjects();
  document_ = Ole();
  application_ = Ole();
}

void TWordObject::SetVisible(bool visible) { application_.put("Visible", visible); }

void TWordObject::OpenDocument(const WideString& path) {
  replacementCount_ = 0;
  forgetDocumentObjects();
  application_.put("DisplayAlerts", wdAlertsNone);
  document_ = application_.get("Documents").call("Open", path, false, false, false, u"", u"", false, u"", u"",
                                                 wdOpenFormatAuto);
  if (!document_.isObject()) {
    document_ = Ole();
    return;
  }
  swallowErrors([&] {
    document_.put("ShowGrammaticalErrors", false);
    document_.put("ShowSpellingErrors", false);
  });
}

bool TWordObject::IsProtected() {
  if (!document_.isObject()) return true;  // a document that could not be opened is not ours to change
  return document_.get("ProtectionType").toInt() != wdNoProtection;
}

void TWordObject::SaveDocument(const WideString& path) {
  if (path.empty())
    document_.call("Save");
  else
    document_.call("SaveAs", path);
}

void TWordObject::CloseDocument() {
  if (!document_.isObject()) return;
  document_.call("Close", wdDoNotSaveChanges, Variant(), Variant());
  document_ = Ole();
  forgetDocumentObjects();
}

int32_t TWordObject::DocumentCount() { return application_.get("Documents").get("Count").toInt(); }

int32_t TWordObject::DetectWordVersion() {
  std::optional<std::string> progId;
  try {
    progId = automation::automationFactory().versionedProgId(kWordClassId);
  } catch (const std::exception&) {
    return 0;
  }
  if (!progId) return 0;
  int64_t version = 0;
  for (char c : *progId) {
    if (c < '0' || c > '9') continue;
    version = version * 10 + (c - '0');
    if (version > std::numeric_limits<int32_t>::max()) return 0;  // no real version: treat as unknown
  }
  return static_cast<int32_t>(version);
}

bool TWordObject::IsCancelled() const { return owner_ != nullptr && owner_->TerminateRequested(); }

void TWordObject::checkCancelled() const {
  if (IsCancelled()) throw CancellationError();
}

WideString TWordObject::ReplaceAllInText(const WideString& source, const WideString& find,
                                         const WideString& replacement, int32_t flags) {
  return ::ReplaceAllInText(source, find, replacement, flags, replacementCount_);
}
