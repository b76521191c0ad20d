#include "system/Wmi_win.h"

#include <windows.h>
#include <oleauto.h>
#include <wbemdisp.h>

#include "common/Error.h"
#include "common/WinText_win.h"
#include "system/ComPtr_win.h"

namespace {
std::u16string HrText(HRESULT hr)
{
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text = u" (HRESULT 0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text.push_back(kDigits[(static_cast<unsigned long>(hr) >> shift) & 0xF]);
    return text + u")";
}

[[noreturn]] void Fail(const char16_t* step, HRESULT hr)
{
    throw EAppError(std::u16string(u"WMI: ") + step + u" failed" + HrText(hr));
}

// A value's text form in the invariant locale (numbers as plain decimal text).
bool VariantText(const VARIANT& value, std::u16string& text)
{
    TVariant converted;
    if (FAILED(VariantChangeTypeEx(converted.Get(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR))) return false;
    const BSTR bstr = (*converted).bstrVal;
    text = bstr ? FromW(bstr, SysStringLen(bstr)) : std::u16string();
    return true;
}

TWmiValue ArrayValue(const VARIANT& value)
{
    SAFEARRAY* array = (value.vt & VT_BYREF) ? *value.pparray : value.parray;
    if (!array || SafeArrayGetDim(array) != 1) return TWmiValue::Error(u"not a one-dimensional array");
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    const VARTYPE type = static_cast<VARTYPE>(value.vt & VT_TYPEMASK);
    // Elements other than variants must fit the variant's 8-byte value union.
    if (type != VT_VARIANT && (type == VT_RECORD || SafeArrayGetElemsize(array) > sizeof(LONGLONG)))
        return TWmiValue::Error(u"array of an unsupported element type");
    std::vector<std::u16string> items;
    for (LONG i = lower; i <= upper; ++i) {
        TVariant element;
        HRESULT hr;
        if (type == VT_VARIANT) {
            hr = SafeArrayGetElement(array, &i, element.Get());
        } else {
            // The element lands in the variant's value union.
            hr = SafeArrayGetElement(array, &i, &element.Get()->llVal);
            if (SUCCEEDED(hr)) element.Get()->vt = type;
        }
        std::u16string text;
        if (FAILED(hr) || !VariantText(*element, text)) return TWmiValue::Error(u"array element unreadable");
        items.push_back(std::move(text));
    }
    return TWmiValue::Array(std::move(items));
}

class TObject final : public IWmiObject {
public:
    explicit TObject(TComPtr<IDispatch>& object) : FObject(std::move(object)) {}
    TWmiValue Read(const std::u16string& property) override
    {
        // Properties of an SWbemObject are dispatch members named after the WMI properties.
        LPOLESTR name = const_cast<LPOLESTR>(WStr(property));
        DISPID id = 0;
        HRESULT hr = FObject->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) return TWmiValue::Error(u"unknown property " + property + HrText(hr));
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        TVariant value;
        // Read as script hosts read a member without arguments: as a property or a method.
        hr = FObject->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none,
                             value.Get(), nullptr, nullptr);
        if (FAILED(hr)) return TWmiValue::Error(u"reading " + property + u" failed" + HrText(hr));
        const VARIANT& v = *value;
        if (v.vt == VT_NULL || v.vt == VT_EMPTY) return TWmiValue::Null();
        if (v.vt & VT_ARRAY) return ArrayValue(v);
        std::u16string text;
        if (!VariantText(v, text)) return TWmiValue::Error(u"no text form of " + property);
        return TWmiValue::Scalar(std::move(text));
    }

private:
    TComPtr<IDispatch> FObject;
};

class TObjectSet final : public IWmiObjectSet {
public:
    explicit TObjectSet(TComPtr<IEnumVARIANT>& items) : FItems(std::move(items)) {}
    std::unique_ptr<IWmiObject> Next() override
    {
        TVariant item;
        ULONG fetched = 0;
        if (FItems->Next(1, item.Get(), &fetched) != S_OK || fetched != 1) return nullptr;
        if ((*item).vt != VT_DISPATCH || !(*item).pdispVal) return nullptr;
        TComPtr<IDispatch> object;
        if (FAILED((*item).pdispVal->QueryInterface(IID_IDispatch, object.OutVoid()))) return nullptr;
        return std::make_unique<TObject>(object);
    }

private:
    TComPtr<IEnumVARIANT> FItems;
};

class TServices final : public IWmiServices {
public:
    explicit TServices(TComPtr<ISWbemServices>& services) : FServices(std::move(services)) {}
    std::unique_ptr<IWmiObjectSet> ExecQuery(const std::u16string& query) override
    {
        const TBstr text(WStr(query));
        const TBstr language(L"WQL");
        TComPtr<ISWbemObjectSet> set;
        // Synchronous and forward-only: a failing query fails here, not later as an empty
        // enumeration.
        HRESULT hr = FServices->ExecQuery(text.Get(), language.Get(), wbemFlagForwardOnly, nullptr,
                                          set.Out());
        if (FAILED(hr) || !set) Fail(u"ExecQuery", hr);
        TComPtr<IUnknown> enumerator;
        hr = set->get__NewEnum(enumerator.Out());
        if (FAILED(hr) || !enumerator) Fail(u"_NewEnum", hr);
        TComPtr<IEnumVARIANT> items;
        hr = enumerator->QueryInterface(IID_IEnumVARIANT, items.OutVoid());
        if (FAILED(hr) || !items) Fail(u"IEnumVARIANT", hr);
        return std::make_unique<TObjectSet>(items);
    }

private:
    TComPtr<ISWbemServices> FServices;
};
}  // namespace

void TWinWmi::Initialize()
{
    // A thread already in the multi-threaded apartment refuses (RPC_E_CHANGED_MODE) and must
    // not be uninitialised afterwards; WMI works from either apartment.
    FJoined.push_back(SUCCEEDED(CoInitialize(nullptr)));
}

void TWinWmi::Uninitialize()
{
    if (FJoined.empty()) return;
    const bool joined = FJoined.back();
    FJoined.pop_back();
    if (joined) CoUninitialize();
}

std::unique_ptr<IWmiServices> TWinWmi::Connect(const std::u16string& server,
                                               const std::u16string& nameSpace)
{
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"WbemScripting.SWbemLocator", &clsid);
    if (FAILED(hr)) Fail(u"looking up WbemScripting.SWbemLocator", hr);
    TComPtr<ISWbemLocator> locator;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ISWbemLocator, locator.OutVoid());
    if (FAILED(hr) || !locator) Fail(u"creating the locator", hr);
    const TBstr host(WStr(server));
    const TBstr path(WStr(nameSpace));
    TComPtr<ISWbemServices> services;
    // Empty user name and password: the caller's own credentials.
    hr = locator->ConnectServer(host.Get(), path.Get(), nullptr, nullptr, nullptr, nullptr, 0,
                                nullptr, services.Out());
    if (FAILED(hr) || !services) Fail(u"ConnectServer", hr);
    return std::make_unique<TServices>(services);
}
