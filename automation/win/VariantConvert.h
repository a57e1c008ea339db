#pragma once
// VARIANT <-> automation::Variant, for both sides of the COM boundary.
#include <windows.h>
#include <oaidl.h>

#include "automation/Variant.h"

namespace automation::win {

// Fills an uninitialised VARIANT; the caller clears it. Objects that came from COM travel as
// their own IDispatch; our own objects are exposed through the server adapter.
void toVARIANT(const Variant& value, VARIANT* out);
// By-reference and IUnknown values are followed; kinds with no Variant counterpart raise.
Variant fromVARIANT(const VARIANT& value);

}  // namespace automation::win
