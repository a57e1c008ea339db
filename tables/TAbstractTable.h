#pragma once
// What every translation table reader delivers: rows of find text, replacement text and their
// two formatting records, read forward from a cursor that Rewind resets.
#include <cstdint>

#include "platform/Text.h"
#include "tables/TFormating.h"

class TAbstractTable {
 public:
  int32_t Row = 1;     // the row the next ReadRow reads; names the faulty row after a failure
  bool Ready = false;  // set by each reader's constructor; a reader that is not ready is unusable
  int32_t Stage = 0;   // progress code of the row being read (spreadsheet reader only)

  // Virtual operations, in their fixed order.
  virtual bool GetVisible() = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void Open(const AnsiString& fileName) = 0;
  virtual void Close() = 0;
  virtual void Rewind() { Row = 1; }
  // True with all four outputs filled and Row advanced; false at the end of the table.
  virtual bool ReadRow(WideString& findText, WideString& replaceText, TFormating& findFormat,
                       TFormating& replaceFormat) = 0;
  virtual void GetPosition(TTablePosition& position) = 0;
  virtual ~TAbstractTable() = default;

  // The option letters of a row's third cell: C match case, W whole word, D wildcards, each
  // turned off by a "-" right before it. Only the find record's three overrides change.
  static void ParseRowOptions(TFormating& findFormat, const WideString& options);
};
