#include "tables/TExcelObject.h"

#include "automation/AutomationFactory.h"
#include "settings/TClassTranslator.h"

using automation::Ole;
using automation::Variant;
using automation::VarType;

namespace {

constexpr int32_t kLastSheetRow = 1048576;

enum class ValueKind { Number, Text, Nothing, Other };

// Variant kinds as the reader sorts them: 4-byte reals, 4-byte unsigned, booleans, errors and
// objects are "other" and end the table like an empty cell.
ValueKind KindOf(const Variant& v) {
  switch (v.type()) {
    case VarType::I1: case VarType::I2: case VarType::I4: case VarType::I8:
    case VarType::UI1: case VarType::UI2: case VarType::R8: case VarType::Currency: case VarType::Date:
      return ValueKind::Number;
    case VarType::String: return ValueKind::Text;
    case VarType::Empty: case VarType::Null: return ValueKind::Nothing;
    default: return ValueKind::Other;
  }
}

}  // namespace

TExcelObject::TExcelObject() {
  try {
    ExcelApp = Variant(automation::automationFactory().create("Excel.Application"));
  } catch (const std::exception&) {
    ExcelApp = Variant();
  }
  Ready = ExcelApp.isObject();
  if (!Ready) return;
  // A started Excel stays usable even if it refuses these two; they only keep prompts away.
  try {
    Ole app(ExcelApp);
    app.put("DisplayAlerts", false);
    app.put("AskToUpdateLinks", false);
  } catch (const std::exception&) {
  }
}

TExcelObject::~TExcelObject() {
  // Nothing may escape a destructor: a failed close or count leaves Excel running instead.
  if (Ready) {
    try {
      Close();
    } catch (const std::exception&) {
    }
    try {
      if (Ole(ExcelApp).get("Workbooks").get("Count").toInt() == 0) {
        try {
          Ole(ExcelApp).call("Quit");
        } catch (const std::exception&) {
        }
      }
    } catch (const std::exception&) {
    }
  }
  Workbook = Variant();
  ExcelApp = Variant();
}

bool TExcelObject::GetVisible() { return Ole(ExcelApp).get("Visible").toBool(); }

void TExcelObject::SetVisible(bool visible) { Ole(ExcelApp).put("Visible", visible); }

void TExcelObject::Open(const AnsiString& fileName) {
  // The table file is only the template of a new, unsaved workbook: it is never written.
  Workbook = Ole(ExcelApp).get("Workbooks").call("Add", platform::ansiToWide(fileName)).value();
}

void TExcelObject::Close() {
  if (Workbook.isEmpty()) return;
  Ole(Workbook).call("Close", false, Variant(), Variant());
  Workbook = Variant();
}

Ole TExcelObject::Cell(int32_t row, int32_t column) const {
  return Ole(Workbook).get("Application").get("Cells").get("Item", row, column);
}

bool TExcelObject::ReadRow(WideString& findText, WideString& replaceText, TFormating& findFormat,
                           TFormating& replaceFormat) {
  Stage = 60;
  findText.clear();
  replaceText.clear();
  // A sheet has no row after its last one: a table that fills the sheet ends there instead
  // of failing on a cell address Excel refuses.
  if (Row > kLastSheetRow) return false;
  Variant first = Cell(Row, 1).get("Value").value();
  Variant second = Cell(Row, 2).get("Value").value();
  Variant third = Cell(Row, 3).get("Value").value();

  Stage = 61;
  WideString firstText;
  switch (KindOf(first)) {
    case ValueKind::Text: firstText = first.toString(); break;
    case ValueKind::Number: firstText = Cell(Row, 1).get("Text").toString(); break;
    default: return false;
  }
  Stage = 62;
  WideString secondText;
  switch (KindOf(second)) {
    case ValueKind::Nothing: break;
    case ValueKind::Text: secondText = second.toString(); break;
    case ValueKind::Number: secondText = Cell(Row, 2).get("Text").toString(); break;
    default: return false;
  }

  ReadCellFormat(1, findFormat);
  ReadCellFormat(2, replaceFormat);

  findFormat.MatchCase = findFormat.WholeWord = findFormat.Wildcards = -1;
  try {
    if (third.type() == VarType::String) ParseRowOptions(findFormat, third.toString());
  } catch (const std::exception&) {
  }

  ++Row;
  findText = firstText;
  Stage = 68;
  replaceText = secondText;
  return true;
}

void TExcelObject::ReadCellFormat(int32_t column, TFormating& record) {
  Ole cell = Cell(Row, column);
  Stage = 63;
  record.BackColor = cell.get("Interior").get("Color").toInt();

  Stage = 64;
  Ole font = cell.get("Font");
  // Mixed bold or italic reads as Null: the row passes as not bold, not italic.
  try {
    record.Bold = font.get("Bold").toInt();
  } catch (const std::exception&) {
    record.Bold = 0;
  }
  try {
    record.Italic = font.get("Italic").toInt();
  } catch (const std::exception&) {
    record.Italic = 0;
  }
  record.FontColor = font.get("Color").toInt();

  Stage = 65;
  record.FontSize = font.get("Size").toDouble();

  Stage = 66;
  try {
    record.FontName = font.get("Name").toString();
  } catch (const std::exception&) {
    record.FontName.clear();
  }
  record.Underline = font.get("UnderLine").toInt();

  Stage = 67;
}

void TExcelObject::GetPosition(TTablePosition& position) {
  position.Row = Row;
  try {
    Cell(Row, 1).get("Value");
    TFormating scratch;
    ReadCellFormat(1, scratch);
    position.Column = 2;
  } catch (const std::exception&) {
    position.Column = 1;
  }
}

int32_t TableCheckMessageId(int32_t stage) {
  switch (stage) {
    case 63: case 64: return 243;
    case 65: return 244;
    case 66: return 245;
    default: return 246;
  }
}

WideString TableCheckMessage(int32_t stage, const std::function<WideString(int32_t id)>& textById) {
  return textById(TableCheckMessageId(stage)) + u"\r" + textById(247);
}

WideString TableCheckMessage(int32_t stage) {
  return TableCheckMessage(stage, [](int32_t id) { return platform::ansiToWide(Translator().GetText(id)); });
}
