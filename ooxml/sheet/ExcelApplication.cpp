#include "ooxml/sheet/ExcelApplication.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "automation/AutomationFactory.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/SheetXml.h"
#include "ooxml/sheet/XlsxReader.h"
#include "ooxml/sheet/XlsxWriter.h"
#include "platform/Files.h"

namespace ooxml {
namespace {

using automation::AutomationError;
using automation::CallKind;
using automation::Dispatch;
using automation::DispatchPtr;
using automation::Variant;
using automation::VarType;
using automation::Args;
using namespace ooxml::sheet;

constexpr int32_t kUnknownName = static_cast<int32_t>(0x80020006);
constexpr int32_t kBadParamCount = static_cast<int32_t>(0x8002000E);
constexpr int32_t kExcelFailure = static_cast<int32_t>(0x800A03EC);

bool is(std::string_view name, std::string_view member) {
  if (name.size() != member.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(member[i]))) return false;
  return true;
}

[[noreturn]] void unknown(std::string_view object, std::string_view name) {
  throw AutomationError("Unknown name: " + std::string(name) + " is not a member of " + std::string(object), kUnknownName);
}

// An optional argument left out: absent, Empty, or COM's "parameter not found" error value.
const Variant& arg(const Args& a, size_t i) {
  static const Variant kMissing;
  if (i >= a.size()) return kMissing;
  const Variant& v = a[i];
  if (v.type() == VarType::Error && static_cast<uint32_t>(v.rawInteger()) == 0x80020004u) return kMissing;
  return v;
}

// A Put carries its value last; a Get of a property takes no arguments.
const Variant& putValue(const Args& a) {
  if (a.empty()) throw AutomationError("A value to assign is missing", kBadParamCount);
  return a.back();
}

struct BookState {
  std::unique_ptr<Workbook> model;
  WideString name;
  AnsiString path;  // empty until saved
  bool closed = false;
};
using BookPtr = std::shared_ptr<BookState>;

struct AppState {
  bool visible = false, displayAlerts = true, askToUpdateLinks = true, screenUpdating = true, quit = false;
  std::vector<BookPtr> books;  // in opening order; the last is the active one
  int untitled = 0;

  void check() const {
    if (quit) throw AutomationError("The Excel application has quit", static_cast<int32_t>(0x800706BA));
  }
  BookPtr active() const {
    check();
    if (books.empty()) throw AutomationError("No workbook is open", kExcelFailure);
    return books.back();
  }
  void activate(const BookPtr& b) {
    auto it = std::find(books.begin(), books.end(), b);
    if (it != books.end()) std::rotate(it, it + 1, books.end());
  }
  void remove(const BookPtr& b) {
    b->closed = true;
    books.erase(std::remove(books.begin(), books.end(), b), books.end());
  }
};
using AppPtr = std::shared_ptr<AppState>;

void checkOpen(const BookPtr& b) {
  if (b->closed) throw AutomationError("The workbook has been closed: the object is no longer valid", static_cast<int32_t>(0x80010108));
}

WideString stemOf(const AnsiString& path) {
  AnsiString name = platform::fileNameOf(path);
  size_t dot = name.rfind('.');
  if (dot != AnsiString::npos && dot > 0) name.resize(dot);
  return platform::ansiToWide(name);
}

class FontObject : public Dispatch {
 public:
  FontObject(AppPtr app, BookPtr book, size_t sheet, uint32_t row, uint32_t column)
      : app_(std::move(app)), book_(std::move(book)), sheet_(sheet), row_(row), column_(column) {}
  Variant invoke(std::string_view name, CallKind kind, const Args& args) override {
    FontProperty p;
    if (is(name, "Bold")) p = FontProperty::Bold;
    else if (is(name, "Italic")) p = FontProperty::Italic;
    else if (is(name, "Color")) p = FontProperty::Color;
    else if (is(name, "Size")) p = FontProperty::Size;
    else if (is(name, "Name")) p = FontProperty::Name;
    else if (is(name, "Underline")) p = FontProperty::Underline;
    else if (is(name, "Strikethrough")) p = FontProperty::Strikethrough;
    else unknown("Font", name);
    app_->check();
    checkOpen(book_);
    CellAccess cell(*book_->model, book_->model->sheets.at(sheet_), row_, column_);
    if (kind == CallKind::Put) {
      cell.setFont(p, putValue(args));
      return Variant();
    }
    return cell.font(p);
  }

 private:
  AppPtr app_;
  BookPtr book_;
  size_t sheet_;
  uint32_t row_, column_;
};

class InteriorObject : public Dispatch {
 public:
  InteriorObject(AppPtr app, BookPtr book, size_t sheet, uint32_t row, uint32_t column)
      : app_(std::move(app)), book_(std::move(book)), sheet_(sheet), row_(row), column_(column) {}
  Variant invoke(std::string_view name, CallKind kind, const Args& args) override {
    if (!is(name, "Color")) unknown("Interior", name);
    app_->check();
    checkOpen(book_);
    CellAccess cell(*book_->model, book_->model->sheets.at(sheet_), row_, column_);
    if (kind == CallKind::Put) {
      cell.setInteriorColor(putValue(args));
      return Variant();
    }
    return cell.interiorColor();
  }

 private:
  AppPtr app_;
  BookPtr book_;
  size_t sheet_;
  uint32_t row_, column_;
};

DispatchPtr cellsOf(const AppPtr& app, const BookPtr& book, size_t sheet);
DispatchPtr applicationOf(const AppPtr& app);  // a handle on the same application

// One cell of one sheet of one workbook.
class RangeObject : public Dispatch {
 public:
  RangeObject(AppPtr app, BookPtr book, size_t sheet, uint32_t row, uint32_t column)
      : app_(std::move(app)), book_(std::move(book)), sheet_(sheet), row_(row), column_(column) {
    CellAccess(*book_->model, sheetModel(), row_, column_);  // checks the address
  }
  Variant invoke(std::string_view name, CallKind kind, const Args& args) override {
    app_->check();
    checkOpen(book_);
    CellAccess cell(*book_->model, sheetModel(), row_, column_);
    bool put = kind == CallKind::Put;
    if (is(name, "Value") || is(name, "Value2")) {
      if (put) return cell.assign(putValue(args)), Variant();
      Variant v = cell.value();
      if (is(name, "Value2") && (v.type() == VarType::Date || v.type() == VarType::Currency))
        return Variant(book_->model->sheets.at(sheet_).find(row_, column_)->number);
      return v;
    }
    if (is(name, "FormulaR1C1") || is(name, "Formula")) {
      if (put) return cell.assign(putValue(args)), Variant();
      return Variant(cell.formulaR1C1());
    }
    if (put) throw AutomationError("The property " + std::string(name) + " of Range cannot be set", kExcelFailure);
    if (is(name, "Text")) return Variant(cell.text());
    if (is(name, "Activate") || is(name, "Select")) {
      // Selecting a cell makes its workbook and sheet the active ones, as clicking it would.
      app_->activate(book_);
      book_->model->activeSheet = sheet_;
      sheetModel().activeRow = row_;
      sheetModel().activeColumn = column_;
      return Variant(true);
    }
    if (is(name, "Interior")) return Variant(DispatchPtr(std::make_shared<InteriorObject>(app_, book_, sheet_, row_, column_)));
    if (is(name, "Font")) return Variant(DispatchPtr(std::make_shared<FontObject>(app_, book_, sheet_, row_, column_)));
    if (is(name, "Row")) return Variant(static_cast<int32_t>(row_));
    if (is(name, "Column")) return Variant(static_cast<int32_t>(column_));
    if (is(name, "Address")) return Variant(platform::utf8ToWide("$" + columnName(column_) + "$" + std::to_string(row_)));
    if (is(name, "Application")) return Variant(applicationOf(app_));
    unknown("Range", name);
  }

 private:
  Sheet& sheetModel() { return book_->model->sheets.at(sheet_); }
  AppPtr app_;
  BookPtr book_;
  size_t sheet_;
  uint32_t row_, column_;
};

// All cells of a sheet: Item(row, column) picks one.
class CellsObject : public Dispatch {
 public:
  CellsObject(AppPtr app, BookPtr book, size_t sheet) : app_(std::move(app)), book_(std::move(book)), sheet_(sheet) {}
  Variant invoke(std::string_view name, CallKind kind, const Args& args) override {
    app_->check();
    checkOpen(book_);
    if (is(name, "Item") && kind != CallKind::Put) {
      if (args.size() != 2) throw AutomationError("Cells.Item takes a row and a column", kBadParamCount);
      int64_t row = args[0].toInt64(), column = args[1].toInt64();
      if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        throw AutomationError("Application-defined or object-defined error: the cell is outside the sheet", kExcelFailure);
      return Variant(DispatchPtr(std::make_shared<RangeObject>(app_, book_, sheet_, static_cast<uint32_t>(row),
                                                               static_cast<uint32_t>(column))));
    }
    if (is(name, "Application")) return Variant(applicationOf(app_));
    unknown("Range", name);
  }

 private:
  AppPtr app_;
  BookPtr book_;
  size_t sheet_;
};

DispatchPtr cellsOf(const AppPtr& app, const BookPtr& book, size_t sheet) {
  return std::make_shared<CellsObject>(app, book, sheet);
}

class WorkbookObject : public Dispatch {
 public:
  WorkbookObject(AppPtr app, BookPtr book) : app_(std::move(app)), book_(std::move(book)) {}
  Variant invoke(std::string_view name, CallKind kind, const Args& args) override {
    app_->check();
    if (is(name, "Application")) return Variant(applicationOf(app_));
    checkOpen(book_);
    if (is(name, "Close")) {
      // Close(SaveChanges, Filename, RouteWorkbook): saving needs a name, and an unsaved new
      // workbook has none unless the call gives one.
      const Variant& save = arg(args, 0);
      if (!save.isEmpty() && save.toBool()) {
        AnsiString path = arg(args, 1).isEmpty() ? book_->path : platform::wideToAnsi(arg(args, 1).toString());
        if (path.empty()) throw AutomationError("The workbook has never been saved: Close needs a file name to save it", kExcelFailure);
        saveWorkbook(*book_->model, path);
      }
      app_->remove(book_);
      return Variant(true);
    }
    if (is(name, "SaveAs")) {
      AnsiString path = platform::wideToAnsi(arg(args, 0).toString());
      if (path.empty()) throw AutomationError("SaveAs needs a file name", kExcelFailure);
      saveWorkbook(*book_->model, path);
      book_->path = path;
      book_->name = platform::ansiToWide(platform::fileNameOf(path));
      return Variant(true);
    }
    if (is(name, "Save")) {
      if (book_->path.empty()) throw AutomationError("The workbook has never been saved: use SaveAs", kExcelFailure);
      saveWorkbook(*book_->model, book_->path);
      return Variant(true);
    }
    if (is(name, "Activate")) return app_->activate(book_), Variant(true);
    if (is(name, "Name")) return Variant(book_->name);
    if (is(name, "FullName")) return Variant(book_->path.empty() ? book_->name : platform::ansiToWide(book_->path));
    if (is(name, "Path")) return Variant(platform::ansiToWide(book_->path.empty() ? "" : platform::folderOf(book_->path)));
    if (is(name, "Cells")) return Variant(cellsOf(app_, book_, book_->model->activeSheet));
    if (kind == CallKind::Put && is(name, "Saved")) return Variant();
    if (is(name, "Saved")) return Variant(false);
    unknown("Workbook", name);
  }

 private:
  AppPtr app_;
  BookPtr book_;
};

class WorkbooksObject : public Dispatch {
 public:
  explicit WorkbooksObject(AppPtr app) : app_(std::move(app)) {}
  Variant invoke(std::string_view name, CallKind kind, const Args& args) override {
    app_->check();
    (void)kind;
    if (is(name, "Count")) return Variant(static_cast<int32_t>(app_->books.size()));
    if (is(name, "Add")) {
      auto book = std::make_shared<BookState>();
      const Variant& tmpl = arg(args, 0);
      if (tmpl.isEmpty()) {
        book->model = std::make_unique<Workbook>();
        book->name = platform::utf8ToWide("Book" + std::to_string(++app_->untitled));
      } else {
        // The file is only read: the new workbook has no path until it is saved.
        AnsiString path = platform::wideToAnsi(tmpl.toString());
        book->model = loadWorkbook(path);
        book->name = stemOf(path) + u"1";
      }
      return open(book);
    }
    if (is(name, "Open")) {
      AnsiString path = platform::wideToAnsi(arg(args, 0).toString());
      auto book = std::make_shared<BookState>();
      book->model = loadWorkbook(path);
      book->path = path;
      book->name = platform::ansiToWide(platform::fileNameOf(path));
      return open(book);
    }
    if (is(name, "Item")) {
      int64_t i = arg(args, 0).toInt64();
      if (i < 1 || i > static_cast<int64_t>(app_->books.size()))
        throw AutomationError("Subscript out of range", static_cast<int32_t>(0x8002000B));
      return Variant(DispatchPtr(std::make_shared<WorkbookObject>(app_, app_->books[static_cast<size_t>(i - 1)])));
    }
    if (is(name, "Application")) return Variant(applicationOf(app_));
    unknown("Workbooks", name);
  }

 private:
  Variant open(const BookPtr& book) {
    app_->books.push_back(book);
    return Variant(DispatchPtr(std::make_shared<WorkbookObject>(app_, book)));
  }
  AppPtr app_;
};

class ApplicationObject : public Dispatch {
 public:
  explicit ApplicationObject(AppPtr app) : app_(std::move(app)) {}
  Variant invoke(std::string_view name, CallKind kind, const Args& args) override {
    bool put = kind == CallKind::Put;
    if (is(name, "Quit")) {
      // Quitting with alerts off discards every unsaved workbook, as Excel does.
      for (auto& b : app_->books) b->closed = true;
      app_->books.clear();
      app_->quit = true;
      return Variant();
    }
    app_->check();
    if (bool* flag = is(name, "Visible")            ? &app_->visible
                     : is(name, "DisplayAlerts")    ? &app_->displayAlerts
                     : is(name, "AskToUpdateLinks") ? &app_->askToUpdateLinks
                     : is(name, "ScreenUpdating")   ? &app_->screenUpdating
                                                    : nullptr) {
      if (put) return *flag = putValue(args).toBool(), Variant();
      return Variant(*flag);
    }
    if (put) throw AutomationError("The property " + std::string(name) + " of Application cannot be set", kExcelFailure);
    if (is(name, "Workbooks")) return Variant(DispatchPtr(std::make_shared<WorkbooksObject>(app_)));
    if (is(name, "ActiveWorkbook")) {
      if (app_->books.empty()) return Variant(DispatchPtr());
      return Variant(DispatchPtr(std::make_shared<WorkbookObject>(app_, app_->books.back())));
    }
    if (is(name, "Cells")) {
      BookPtr book = app_->active();
      return Variant(cellsOf(app_, book, book->model->activeSheet));
    }
    if (is(name, "Application")) return Variant(applicationOf(app_));
    if (is(name, "Name")) return Variant(u"Microsoft Excel");
    if (is(name, "Version")) return Variant(u"16.0");
    unknown("Application", name);
  }

 private:
  AppPtr app_;
};

DispatchPtr applicationOf(const AppPtr& app) { return std::make_shared<ApplicationObject>(app); }

}  // namespace

automation::DispatchPtr createExcelApplication() { return applicationOf(std::make_shared<AppState>()); }

void registerExcelInProcess() {
  automation::inProcessFactory().registerClass(kExcelClassId, kExcelProgId, kExcelVersionedProgId,
                                               [] { return createExcelApplication(); });
}

}  // namespace ooxml
