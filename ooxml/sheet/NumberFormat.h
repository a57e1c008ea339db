#pragma once
// Excel number formats: the built-in ids, what kind of value a format shows (Value hands out
// a Date or Currency for those), and the text a cell displays (Range.Text).
#include <cstdint>

#include "platform/Text.h"

namespace ooxml::sheet {

enum class FormatKind { General, Number, Date, Currency, Text };

// The code of a built-in format id (0 General, 14 mm-dd-yy, ...); empty for an unknown id.
WideString builtinFormatCode(uint32_t id);

FormatKind classifyFormat(std::u16string_view code);

// A number as the format shows it. Serial dates count from 1900 (with its phantom 29 February)
// or from 1904. Bad or unsupported format codes fall back to General rather than failing.
WideString formatNumber(double value, std::u16string_view code, bool date1904 = false);

// A text value as the format shows it: its text section ("@" stands for the value), if any.
WideString formatText(const WideString& value, std::u16string_view code);

// General: at most eleven characters, switching to scientific notation as Excel's
// standard-width column does.
WideString formatGeneral(double value);

// The serial day number as an OLE date (days from 1899-12-30) and back.
double serialToOleDate(double serial, bool date1904);
double oleDateToSerial(double oleDate, bool date1904);

}  // namespace ooxml::sheet
