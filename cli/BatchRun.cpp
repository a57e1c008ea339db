#include "cli/BatchRun.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <optional>
#include <set>
#include <system_error>

#include "cli/JsonReport.h"
#include "cli/LineOrder.h"
#include "cli/ProgressBar.h"
#include "cli/Terminal.h"
#include "engine/SearchControlWord.h"
#include "engine/TMSWordTavimo.h"
#include "platform/Files.h"
#include "plugin/BatchReport.h"
#include "plugin/TReplacer.h"
#include "settings/SettingsFile.h"
#include "settings/TClassTranslator.h"
#include "tables/TExcelObject.h"

namespace {

// The settings file's view of a main window: what the command line has instead.
class CliForm : public SettingsForm {
 public:
  QuickOptions quick;
  AnsiString table;
  QuickOptions GetQuickOptions() const override { return quick; }
  void SetQuickOptions(const QuickOptions& o) override { quick = o; }
  AnsiString GetTableFile() const override { return table; }
  void SetTableFile(const AnsiString& path) override { table = path; }
  void SetOpenDialogFolder(const AnsiString&) override {}
};

WideString text(int id) { return platform::ansiToWide(Translator().GetText(id)); }
std::string utf8(const WideString& w) { return platform::wideToUtf8(w); }
// Text as a terminal may print it: control characters in a file name (or in a failure's words
// that quote one) would clear the screen or retitle the window.
std::string printable(WideString w) {
  for (char16_t& c : w)
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) c = u'?';
  return utf8(w);
}
std::string shown(const AnsiString& path) { return printable(platform::ansiToWide(path)); }
std::string shownText(const std::string& utf8Text) { return printable(platform::utf8ToWide(utf8Text)); }

// Each folder and file once, by what it is behind links: a link back up the tree would
// otherwise hand the same document over again and again, replacing in it each time.
void collect(const AnsiString& path, std::vector<AnsiString>& out, std::set<AnsiString>& seen, int depth) {
  if (depth > 64 || !seen.insert(platform::fileIdentity(path)).second) return;
  for (auto& e : platform::fileSystem().listFolder(path)) {
    AnsiString child = platform::joinPath(path, e.name);
    // Windows marks a junction or a folder link as a reparse point; it is not followed.
    if (e.isFolder && !(platform::fileSystem().attributes(child) & platform::kAttrReparsePoint))
      collect(child, out, seen, depth + 1);
    else if (!e.isFolder && seen.insert(platform::fileIdentity(child)).second)
      out.push_back(child);
  }
}

void printLine(std::FILE* out, const FileLine& line) {
  std::fprintf(out, "%-40s %15s %15s %15s %8s  %s\n", shown(line.path).c_str(), line.sizes[0].c_str(),
               line.sizes[1].c_str(), line.sizes[2].c_str(), line.sizes[3].c_str(), utf8(line.status).c_str());
}

void printHeader(std::FILE* out, const BatchReport& report) {
  auto t = report.LineColumnTitles();
  std::fprintf(out, "%-40s %15s %15s %15s %8s  %s\n", utf8(t[0]).c_str(), utf8(t[1]).c_str(), utf8(t[2]).c_str(),
               utf8(t[3]).c_str(), utf8(t[4]).c_str(), utf8(t[5]).c_str());
}

void printTotals(std::FILE* out, const BatchReport& report) {
  auto cols = report.TotalsColumnTitles();
  auto rows = report.TotalsRowTitles();
  auto cells = report.Totals();
  std::fprintf(out, "\n%-20s %16s %15s %15s %15s\n", "", utf8(cols[0]).c_str(), utf8(cols[1]).c_str(),
               utf8(cols[2]).c_str(), utf8(cols[3]).c_str());
  for (size_t r = 0; r < 4; ++r)
    std::fprintf(out, "%-20s %16s %15s %15s %15s\n", utf8(rows[r]).c_str(), cells[r][0].c_str(), cells[r][1].c_str(),
                 cells[r][2].c_str(), cells[r][3].c_str());
}

void applyOverrides(const CliOptions& o, CliForm& form, PluginSettings& settings, TUserParameters& store) {
  if (o.matchCase) form.quick.CaseSensitive = *o.matchCase;
  if (o.wildcards) form.quick.ControlCards = *o.wildcards;
  if (o.wholeWord) form.quick.WholeWord = *o.wholeWord;
  int32_t& scw = settings.SearchControlWord;
  if (o.saveMode) {
    scw &= ~(scwSaveByMask | scwMakeInOriginal);
    if (*o.saveMode == CliOptions::SaveMode::InPlace) scw |= scwMakeInOriginal;
    if (*o.saveMode == CliOptions::SaveMode::Mask) {
      scw |= scwSaveByMask;
      settings.NameMask = o.mask;
    }
  }
  if (o.ignoreEmptyReplacement) scw = *o.ignoreEmptyReplacement ? (scw | scwSecondCellEmptyIgnore) : (scw & ~scwSecondCellEmptyIgnore);
  if (o.setFormattingOnly) store.SetBoolParameter("JustHighLight", *o.setFormattingOnly);
  if (o.leaveCapitalAsIs) store.SetBoolParameter("LeaveCapitalAsIs", *o.leaveCapitalAsIs);
}

}  // namespace

std::vector<AnsiString> ExpandPaths(const std::vector<AnsiString>& paths, bool recursive, std::vector<AnsiString>* repeated) {
  std::vector<AnsiString> out;
  std::set<AnsiString> seen;
  for (auto& p : paths) {
    if (platform::isFolder(p)) {
      if (recursive) collect(p, out, seen, 0);
      else out.push_back(p);
      continue;
    }
    // A document named twice (by another spelling, a link or a hard link, or inside a folder
    // named too) is translated once: a second pass would apply every row to the first pass's
    // replacements.
    if (platform::exists(p) && !seen.insert(platform::fileIdentity(p)).second) {
      if (repeated) repeated->push_back(p);
      continue;
    }
    out.push_back(p);
  }
  return out;
}

int RunBatch(const CliOptions& options, std::FILE* out) {
  RegisterMainWindowTexts(Translator());
  // Checked first, as the main window does: a mistyped text table would read as an empty one
  // and the run would report every document unchanged.
  if (!platform::exists(options.table)) {
    std::fprintf(out, "%s\n", utf8(text(220)).c_str());
    return 2;
  }
  // Before any document is touched: a report that cannot be written is found out now.
  const AnsiString jsonFolder = platform::folderOf(options.jsonFile);
  if (!options.jsonFile.empty() && !jsonFolder.empty() && !platform::isFolder(jsonFolder)) {
    std::fprintf(stderr, "tavimo: cannot write %s: no such folder\n", shown(options.jsonFile).c_str());
    return 2;
  }

  CliForm form;
  PluginSettings settings;
  std::unique_ptr<TUserParameters> store = std::make_unique<TUserParameters>();
  store->SetBoolParameter("JustHighLight", false);
  store->SetBoolParameter("LeaveCapitalAsIs", true);
  if (!options.settingsFile.empty()) {
    AnsiString path = options.settingsFile;
    LoadSettings(form, path, settings, store);
  }
  applyOverrides(options, form, settings, *store);

  int32_t scw = settings.SearchControlWord + (form.quick.CaseSensitive ? scwCaseSensitive : 0) +
                (form.quick.ControlCards ? scwControlCards : 0) + (form.quick.WholeWord ? scwWholeWord : 0);
  store->SetBoolParameter("CreateBackUpCopy", (scw & (scwSaveByMask | scwMakeInOriginal)) == 0);

  std::deque<AnsiString> pending;
  std::vector<AnsiString> repeated;
  for (auto& p : ExpandPaths(options.paths, options.recursive, &repeated)) pending.push_back(p);
  for (auto& p : repeated) std::fprintf(stderr, "tavimo: %s: named more than once, translated once\n", shown(p).c_str());
  // A folder gets no line of its own; without a word, a run given only folders looks like it did nothing.
  if (!options.recursive)
    for (auto& p : options.paths)
      if (platform::isFolder(p))
        std::fprintf(stderr, "tavimo: %s: a folder; --recursive translates the documents in it\n", shown(p).c_str());

  // Several documents at a time only where each touches its own files: names built by a mask
  // could meet (two documents, or a document and another's new name).
  size_t jobs = std::max<size_t>(std::min(options.jobs, pending.size()), 1);
  if (jobs > 1 && (scw & scwSaveByMask)) {
    std::fprintf(stderr, "tavimo: --jobs: with a mask the documents are translated one at a time\n");
    jobs = 1;
  }

  const bool terminal = StdoutIsTerminal() && out == stdout;
  QueueUiInvoker ui;
  BatchReport report(text);
  std::vector<FileOutcome> outcomes;
  LineOrder order;
  bool headerPrinted = false;
  // The bar is drawn by this thread from the worker's last percentage, a few times a second.
  // A hand-over and a redraw for every row of every document cost more than the rows: a
  // batch of small documents ran six times slower on a terminal than into a file.
  ProgressBar bar(out);

  // One worker per job, each with its own Word and its own copy of the parameters it writes.
  struct Hand {
    std::unique_ptr<TUserParameters> store;
    std::unique_ptr<TReplacer> worker;
    std::optional<size_t> place;  // the document in hand
    bool started = false, completed = false;
  };
  std::vector<Hand> hands(jobs);
  auto handHolding = [&](std::optional<size_t> place) -> Hand* {
    for (Hand& h : hands)
      if (place && h.place == place) return &h;
    return nullptr;
  };
  auto printOut = [&](const FileOutcome& done) {
    report.AddFile(done.path);
    report.FileDone(done.result, done.step, done.count, done.sizeBefore, done.sizeAfter);
    const FileLine& line = report.Lines().back();
    outcomes.push_back(done);
    outcomes.back().status = utf8(line.status);
    printLine(out, line);
    // Why it failed goes beside the report, not into it: the lines keep the window's columns.
    if (done.result == 1 && !done.error.empty())
      std::fprintf(stderr, "tavimo: %s: %s\n", shown(line.path).c_str(), shownText(done.error).c_str());
  };
  // The others start once the first is past its table and its Word, so that a table or Word
  // that cannot be used is reported once, as with one worker.
  bool helpersStarted = false;
  auto startHelpers = [&] {
    if (helpersStarted) return;
    helpersStarted = true;
    for (size_t k = 1; k < hands.size(); ++k) {
      try {
        hands[k].worker->Resume();
        hands[k].started = true;
      } catch (const std::system_error&) {
        // No thread to be had: the jobs already running share the list.
        std::fprintf(stderr, "tavimo: --jobs: only %zu jobs could start\n", k);
        break;
      }
    }
  };
  for (size_t k = 0; k < hands.size(); ++k) {
    Hand& hand = hands[k];
    hand.store = std::make_unique<TUserParameters>(*store);
    TUserParameters* own = hand.store.get();
    hand.worker = std::make_unique<TReplacer>(ui, [&, own](TReplacer& owner) -> std::unique_ptr<BatchDriver> {
      return std::make_unique<TMSWordTavimo>(&owner, settings.SearchFormatting, settings.SetFormatting, scw, *own);
    });
    TReplacer& worker = *hand.worker;
    worker.tablePath = options.table;
    worker.searchControlWord = scw;
    worker.namingMask = settings.NameMask;
    worker.parameters = own;
    // The callbacks run on this thread; each knows its own hand (the vector is not resized).
    worker.onNextFile = [&, k, self = &hand] {
      if (k == 0) startHelpers();
      if (pending.empty()) {
        self->worker->SetRunState(rsCompleted);  // the host's list is exhausted
        return;
      }
      AnsiString path = pending.front();
      pending.pop_front();
      int32_t attributes = platform::fileSystem().attributes(path);
      if (attributes == -1 || !(attributes & platform::kAttrDirectory)) {
        if (!headerPrinted) printHeader(out, report);
        headerPrinted = true;
        self->place = order.Start(path);
        // The worker waits in this hand-over, so the new document's bar starts from 0 rather
        // than from where the last one ended.
        self->worker->progress = 0;
        if (terminal && order.NextPlace() == self->place) bar.Start(shown(path));
      }
      self->worker->HandOverFile(path, attributes);
    };
    worker.onFileDone = [&, self = &hand](int32_t result, int32_t step, int32_t count, int64_t before, int64_t after) {
      bar.Clear();
      order.Done(*self->place, {{}, result, step, count, before, after, {}, result == 1 ? self->worker->failureText : ""});
      self->place.reset();
      order.Release(printOut);
      std::fflush(out);
      if (terminal && order.NextPath()) bar.Start(shown(*order.NextPath()));
    };
    worker.onCompleted = [self = &hand] { self->completed = true; };
  }

  std::atomic<bool> interrupted{false};
  InstallInterruptFlag(interrupted);
  try {
    hands[0].worker->Resume();
    hands[0].started = true;
  } catch (const std::system_error& e) {
    std::fprintf(stderr, "tavimo: the batch could not start: %s\n", e.what());
    return 2;
  }
  ui.ServeUntil([&] {
    if (interrupted.load())
      for (Hand& h : hands) h.worker->Terminate();
    if (bar.Due()) {
      Hand* h = handHolding(order.NextPlace());
      bar.Draw(h ? h->worker->progress.load() : 0);
    }
    for (const Hand& h : hands)
      if (h.started && !h.completed) return false;
    return true;
  });
  for (Hand& h : hands) h.worker->WaitFor();
  bar.Clear();
  order.ReleaseRest(printOut);

  TReplacer& worker = *hands[0].worker;
  int32_t state = worker.RunStateValue();
  // A helper stopped by Ctrl+C makes the run aborted; one that could not use the table or its
  // Word left its share to the others, and that is said.
  for (size_t k = 1; k < hands.size(); ++k) {
    if (!hands[k].started) continue;
    const int32_t own = hands[k].worker->RunStateValue();
    if (own == rsAborted && state == rsCompleted) state = rsAborted;
    if (own >= rsTableNotOpened)
      std::fprintf(stderr, "tavimo: job %zu stopped before its first document (%s); the others took its share\n", k + 1,
                   utf8(RunStateText(own, text)).c_str());
  }
  // A run that went through its list has totals, zeros too; one stopped by its table or Word has none.
  if (!outcomes.empty() || state == rsCompleted || state == rsAborted) printTotals(out, report);
  std::string endText = utf8(RunStateText(state, text));
  if (state == rsTableCheckFailed) {
    TTablePosition cell = worker.tableErrorPosition;
    endText = utf8(TableCheckMessage(worker.stepCode, text)) + " (row " + std::to_string(cell.Row) + ", column " +
              std::to_string(cell.Column) + ")";
  }
  // Why the table or Word could not be used, when the failure said so.
  if ((state == rsTableNotOpened || state == rsWordNotStarted) && !worker.failureText.empty())
    endText += "\n" + shownText(worker.failureText);
  // The check message is made for a message box (lines end in CR); a console wants LF.
  for (size_t p; (p = endText.find('\r')) != std::string::npos;)
    endText.replace(p, endText.compare(p, 2, "\r\n") == 0 ? 2 : 1, "\n");
  std::fprintf(out, "\n%s\n", endText.c_str());
  std::fflush(out);

  bool reportWritten = options.jsonFile.empty() ||
                       platform::writeFileAtomically(options.jsonFile, RenderJsonReport(outcomes, report, state, endText));
  if (!reportWritten) std::fprintf(stderr, "tavimo: cannot write %s\n", shown(options.jsonFile).c_str());

  switch (state) {
    // A script must not read "all well" when the report it asked for is missing.
    case rsCompleted: return report.Failed() > 0 || !reportWritten ? 1 : 0;
    case rsAborted: return 130;
    default: return 2;
  }
}
