#pragma once
// The Word objects that reach beyond the main text: sections with their page setup, headers
// and footers; the window's views and panes; notes, hyperlinks, shapes and built-in document
// properties. Document and Window hand their members on to these.
#include "ooxml/word/Objects.h"

namespace ooxml::word {

// Each answers the member (returning true) or returns false when it is not one of its own.
bool documentStoryMember(const DocPtr& d, std::string_view name, automation::CallKind kind,
                         const automation::Args& args, automation::Variant& result);
bool windowViewMember(const DocPtr& d, std::string_view name, automation::CallKind kind,
                      const automation::Args& args, automation::Variant& result);

}  // namespace ooxml::word
