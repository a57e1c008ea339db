#pragma once
// Our Excel, as automation objects: Application, Workbooks, Workbook, Range (one cell),
// Interior and Font, with the members the plug-in calls and Excel's values. Member names
// are matched without regard to case; anything else raises "Unknown name".
#include "automation/Dispatch.h"

namespace ooxml {

// A new, independent Excel application (as each CreateObject("Excel.Application") is).
automation::DispatchPtr createExcelApplication();

// Makes "Excel.Application" (and ".16", class id {00024500-0000-0000-C000-000000000046})
// creatable through automation::inProcessFactory().
void registerExcelInProcess();

inline constexpr const char* kExcelClassId = "{00024500-0000-0000-C000-000000000046}";
inline constexpr const char* kExcelProgId = "Excel.Application";
inline constexpr const char* kExcelVersionedProgId = "Excel.Application.16";

}  // namespace ooxml
