#pragma once
// The spreadsheet table reader: drives Excel by member name, reads column 1 (find text),
// column 2 (replacement text) and column 3 (option letters) from row 1 of the active sheet,
// and doubles as the table check: a cell whose characters differ in colour, size or
// underline makes ReadRow raise, with Stage naming the step.
#include <functional>

#include "automation/Ole.h"
#include "tables/TAbstractTable.h"

class TExcelObject : public TAbstractTable {
 public:
  automation::Variant ExcelApp;  // the application; Empty when Excel could not be started
  automation::Variant Workbook;  // the workbook made from the table file; Empty when none

  TExcelObject();
  ~TExcelObject() override;
  TExcelObject(const TExcelObject&) = delete;
  TExcelObject& operator=(const TExcelObject&) = delete;

  bool GetVisible() override;
  void SetVisible(bool visible) override;
  void Open(const AnsiString& fileName) override;
  void Close() override;
  bool ReadRow(WideString& findText, WideString& replaceText, TFormating& findFormat,
               TFormating& replaceFormat) override;
  void GetPosition(TTablePosition& position) override;

  // Fill colour and font of cell (Row, column) into the record; Stage 63 to 67.
  void ReadCellFormat(int32_t column, TFormating& record);

 private:
  automation::Ole Cell(int32_t row, int32_t column) const;
};

// The check message id for the Stage of a failed row: 243 colours, 244 size, 245 underline,
// 246 anything else. The shown text is that message, a CR and message 247.
int32_t TableCheckMessageId(int32_t stage);
WideString TableCheckMessage(int32_t stage, const std::function<WideString(int32_t id)>& textById);
// The same with the module translator's texts, as the table editor shows it.
WideString TableCheckMessage(int32_t stage);
