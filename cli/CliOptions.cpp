#include "cli/CliOptions.h"

#include <stdexcept>

std::string UsageText() {
  return "usage: tavimo --table FILE [options] PATH...\n"
         "\n"
         "Applies every row of a translation table (.txt: TAB-separated text, ANSI or Unicode; any\n"
         "other extension: a spreadsheet, .xlsx, .xls, .ods or comma-separated .csv) to each\n"
         "document, in the order given.\n"
         "\n"
         "  --table FILE              the translation table\n"
         "  --settings FILE           read the stored options from this settings file\n"
         "  --case, --no-case         match case\n"
         "  --whole-word, --no-whole-word\n"
         "  --wildcards, --no-wildcards\n"
         "  --backup                  save into the document, keeping a .bak copy (default)\n"
         "  --in-place                save into the document without a copy\n"
         "  --mask TEXT               save under a name built from TEXT, e.g. \"[N]_new.[E]\"\n"
         "                            (another file that has that name is kept as a .bak copy first)\n"
         "  --empty-replacement=delete|ignore\n"
         "                            what a row with an empty replacement does\n"
         "  --set-formatting-only, --no-set-formatting-only\n"
         "                            format the found text instead of replacing it\n"
         "  --keep-capitals, --no-keep-capitals\n"
         "                            leave a found capital letter as the table writes it\n"
         "  --recursive               expand folders into the files they hold\n"
         "  --json FILE               also write the results as JSON\n"
         "  --jobs N                  translate N documents at a time (1 to 64, default 1), each\n"
         "                            with a Word of its own; the lines keep the order given\n"
         "                            (with --mask, one at a time)\n"
         "\n"
         "Status of a document: successful; unchanged (no row matched, nothing saved); not\n"
         "supported (not a document); protected from changes (locked, read-only or protected);\n"
         "failed_N, where N tells how far it got: 1 reading the file, 2-3 starting Word, 4\n"
         "opening it, 5 its protection test, 6 and 60-68 reading a table row, 7 and 100 or\n"
         "more applying a row, 8 the backup copy, 9 saving.\n"
         "\n"
         "Exit status: 0 completed, 1 completed with failed documents or an unwritten --json\n"
         "report, 2 the table, Word or the report's folder could not be used, 130 aborted.\n";
}

namespace {
size_t jobCount(const std::string& text) {
  size_t n = 0;
  bool digits = !text.empty() && text.size() <= 2;
  for (char c : text) digits = digits && c >= '0' && c <= '9';
  if (digits) n = std::stoul(text);
  if (n < 1 || n > 64) throw std::invalid_argument("--jobs needs a number from 1 to 64");
  return n;
}
}  // namespace

CliOptions ParseCommandLine(const std::vector<std::string>& args) {
  CliOptions o;
  bool onlyPaths = false;
  auto value = [&](size_t& i, const std::string& name) -> std::string {
    if (i + 1 >= args.size()) throw std::invalid_argument(name + " needs a value");
    return args[++i];
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPaths || a.empty() || a[0] != '-' || a == "-") {
      o.paths.push_back(a);
      continue;
    }
    if (a == "--") onlyPaths = true;
    else if (a == "--table") o.table = value(i, a);
    else if (a == "--settings") o.settingsFile = value(i, a);
    else if (a == "--json") o.jsonFile = value(i, a);
    else if (a == "--recursive") o.recursive = true;
    else if (a == "--jobs") o.jobs = jobCount(value(i, a));
    else if (a == "--case") o.matchCase = true;
    else if (a == "--no-case") o.matchCase = false;
    else if (a == "--whole-word") o.wholeWord = true;
    else if (a == "--no-whole-word") o.wholeWord = false;
    else if (a == "--wildcards") o.wildcards = true;
    else if (a == "--no-wildcards") o.wildcards = false;
    else if (a == "--backup") o.saveMode = CliOptions::SaveMode::Backup;
    else if (a == "--in-place") o.saveMode = CliOptions::SaveMode::InPlace;
    else if (a == "--mask") {
      o.saveMode = CliOptions::SaveMode::Mask;
      o.mask = value(i, a);
    } else if (a == "--empty-replacement=delete") o.ignoreEmptyReplacement = false;
    else if (a == "--empty-replacement=ignore") o.ignoreEmptyReplacement = true;
    else if (a == "--set-formatting-only") o.setFormattingOnly = true;
    else if (a == "--no-set-formatting-only") o.setFormattingOnly = false;
    else if (a == "--keep-capitals") o.leaveCapitalAsIs = true;
    else if (a == "--no-keep-capitals") o.leaveCapitalAsIs = false;
    else if (a == "--help" || a == "-h") o.help = true;
    else throw std::invalid_argument("unknown option " + a);
  }
  if (o.help) return o;
  if (o.table.empty()) throw std::invalid_argument("--table FILE is required");
  if (o.saveMode == CliOptions::SaveMode::Mask && o.mask.empty()) throw std::invalid_argument("--mask needs a mask text");
  return o;
}
