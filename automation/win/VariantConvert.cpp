#include "automation/win/VariantConvert.h"

#include "automation/Dispatch.h"
#include "automation/win/ComDispatch.h"
#include "automation/win/ComServer.h"

namespace automation::win {
namespace {

BSTR toBSTR(const WideString& s) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s.data()), static_cast<UINT>(s.size()));
}

}  // namespace

void toVARIANT(const Variant& v, VARIANT* out) {
  VariantInit(out);
  switch (v.type()) {
    case VarType::Empty: break;
    case VarType::Null: out->vt = VT_NULL; break;
    case VarType::Bool: out->vt = VT_BOOL; out->boolVal = v.rawInteger() ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VarType::I1: out->vt = VT_I1; out->cVal = static_cast<CHAR>(v.rawInteger()); break;
    case VarType::I2: out->vt = VT_I2; out->iVal = static_cast<SHORT>(v.rawInteger()); break;
    case VarType::I4: out->vt = VT_I4; out->lVal = static_cast<LONG>(v.rawInteger()); break;
    case VarType::I8: out->vt = VT_I8; out->llVal = v.rawInteger(); break;
    case VarType::UI1: out->vt = VT_UI1; out->bVal = static_cast<BYTE>(v.rawInteger()); break;
    case VarType::UI2: out->vt = VT_UI2; out->uiVal = static_cast<USHORT>(v.rawInteger()); break;
    case VarType::UI4: out->vt = VT_UI4; out->ulVal = static_cast<ULONG>(v.rawInteger()); break;
    case VarType::R4: out->vt = VT_R4; out->fltVal = static_cast<FLOAT>(v.rawReal()); break;
    case VarType::R8: out->vt = VT_R8; out->dblVal = v.rawReal(); break;
    case VarType::Currency: out->vt = VT_CY; out->cyVal.int64 = v.rawInteger(); break;
    case VarType::Date: out->vt = VT_DATE; out->date = v.rawReal(); break;
    case VarType::String: out->vt = VT_BSTR; out->bstrVal = toBSTR(v.rawText()); break;
    case VarType::Error: out->vt = VT_ERROR; out->scode = static_cast<SCODE>(v.rawInteger()); break;
    case VarType::Dispatch: {
      out->vt = VT_DISPATCH;
      if (!v.isObject()) {
        out->pdispVal = nullptr;
        break;
      }
      DispatchPtr d = v.toDispatch();
      if (auto* com = dynamic_cast<ComDispatch*>(d.get())) {
        out->pdispVal = com->object();
        out->pdispVal->AddRef();
      } else {
        out->pdispVal = exposeAsIDispatch(d);
      }
      break;
    }
  }
}

Variant fromVARIANT(const VARIANT& in) {
  const VARIANT* v = &in;
  if (v->vt == (VT_VARIANT | VT_BYREF)) v = v->pvarVal;
  VARTYPE vt = v->vt;
  bool byRef = (vt & VT_BYREF) != 0;
  switch (vt & ~VT_BYREF) {
    case VT_EMPTY: return Variant();
    case VT_NULL: return Variant::null();
    case VT_BOOL: return Variant((byRef ? *v->pboolVal : v->boolVal) != VARIANT_FALSE);
    case VT_I1: return Variant::ofKind(VarType::I1, byRef ? *v->pcVal : v->cVal);
    case VT_I2: return Variant::ofKind(VarType::I2, byRef ? *v->piVal : v->iVal);
    case VT_I4: case VT_INT: return Variant::ofKind(VarType::I4, byRef ? *v->plVal : v->lVal);
    case VT_I8: return Variant::ofKind(VarType::I8, byRef ? *v->pllVal : v->llVal);
    case VT_UI1: return Variant::ofKind(VarType::UI1, byRef ? *v->pbVal : v->bVal);
    case VT_UI2: return Variant::ofKind(VarType::UI2, byRef ? *v->puiVal : v->uiVal);
    case VT_UI4: case VT_UINT: return Variant::ofKind(VarType::UI4, byRef ? *v->pulVal : v->ulVal);
    case VT_R4: return Variant::r4(byRef ? *v->pfltVal : v->fltVal);
    case VT_R8: return Variant(byRef ? *v->pdblVal : v->dblVal);
    case VT_CY: return Variant::currency((byRef ? *v->pcyVal : v->cyVal).int64);
    case VT_DATE: return Variant::date(byRef ? *v->pdate : v->date);
    case VT_ERROR: return Variant::error(byRef ? *v->pscode : v->scode);
    case VT_BSTR: {
      BSTR b = byRef ? *v->pbstrVal : v->bstrVal;
      return Variant(WideString(reinterpret_cast<const char16_t*>(b ? b : L""), b ? SysStringLen(b) : 0));
    }
    case VT_DISPATCH: case VT_UNKNOWN: {
      IUnknown* u = (vt & ~VT_BYREF) == VT_DISPATCH ? (byRef ? *v->ppdispVal : v->pdispVal)
                                                     : (byRef ? *v->ppunkVal : v->punkVal);
      if (!u) return Variant(DispatchPtr());
      IDispatch* d = nullptr;
      if (FAILED(u->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))) || !d)
        throw AutomationError("the object returned does not support automation");
      auto wrapped = std::make_shared<ComDispatch>(d);
      d->Release();
      return Variant(DispatchPtr(std::move(wrapped)));
    }
    default: {
      // Other kinds (arrays, decimals) are converted by OLE itself to a double or text.
      VARIANT tmp;
      VariantInit(&tmp);
      if (SUCCEEDED(VariantChangeType(&tmp, const_cast<VARIANT*>(v), 0, VT_R8))) return Variant(tmp.dblVal);
      if (SUCCEEDED(VariantChangeType(&tmp, const_cast<VARIANT*>(v), 0, VT_BSTR))) {
        Variant r = fromVARIANT(tmp);
        VariantClear(&tmp);
        return r;
      }
      throw AutomationError("a value of variant type " + std::to_string(vt) + " cannot be used");
    }
  }
}

}  // namespace automation::win
