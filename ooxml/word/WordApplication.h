#pragma once
// The Word object surface: the members the plug-in calls on Word, answered by our engine
// with Word's values and behaviour. Anything else raises an AutomationError naming it.
#include "automation/Dispatch.h"

namespace ooxml {

// A new Word application object.
automation::DispatchPtr createWordApplication();

inline constexpr const char* kWordClassId = "{000209FF-0000-0000-C000-000000000046}";
inline constexpr const char* kWordProgId = "Word.Application";
inline constexpr const char* kWordVersionedProgId = "Word.Application.16";

// Makes AutomationFactory("Word.Application") give this engine in process.
void registerWordInProcess();

}  // namespace ooxml
