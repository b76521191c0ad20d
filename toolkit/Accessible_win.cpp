#include "toolkit/Accessible_win.h"

#include <oleacc.h>

#include "common/WinText_win.h"
#include "toolkit/Accessibility.h"

namespace {

LONG Role(TAccessibleRole role)
{
    switch (role) {
    case TAccessibleRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case TAccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case TAccessibleRole::CheckButton: return ROLE_SYSTEM_CHECKBUTTON;
    case TAccessibleRole::Link: return ROLE_SYSTEM_LINK;
    case TAccessibleRole::Graphic: return ROLE_SYSTEM_GRAPHIC;
    case TAccessibleRole::Animation: return ROLE_SYSTEM_ANIMATION;
    case TAccessibleRole::Grouping: return ROLE_SYSTEM_GROUPING;
    case TAccessibleRole::Client: break;
    }
    return ROLE_SYSTEM_CLIENT;
}

LONG State(unsigned state)
{
    struct Bit {
        unsigned Ours;
        LONG System;
    };
    static const Bit bits[] = {
        {asUnavailable, STATE_SYSTEM_UNAVAILABLE}, {asPressed, STATE_SYSTEM_PRESSED},
        {asChecked, STATE_SYSTEM_CHECKED},         {asInvisible, STATE_SYSTEM_INVISIBLE},
        {asFocusable, STATE_SYSTEM_FOCUSABLE},     {asLinked, STATE_SYSTEM_LINKED},
        {asAnimated, STATE_SYSTEM_ANIMATED},
    };
    LONG result = 0;
    for (const Bit& b : bits)
        if (state & b.Ours) result |= b.System;
    return result;
}

bool IsSelf(const VARIANT& child)
{
    return V_VT(&child) == VT_I4 && V_I4(&child) == CHILDID_SELF;
}

class TAccessible final : public IAccessible {
public:
    TAccessible(HWND wnd, TDescribeWindow describe, IAccessible* standard)
        : FWnd(wnd), FDescribe(describe), FStd(standard)
    {
    }
    TAccessible(const TAccessible&) = delete;
    TAccessible& operator=(const TAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // What clients also ask of a window's object: its window, its children.
        if (iid == __uuidof(IOleWindow) || iid == __uuidof(IEnumVARIANT)) return FStd->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = InterlockedDecrement(&FRefs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

    // IDispatch, as the standard object answers it.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return FStd->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override
    {
        return FStd->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return FStd->GetIDsOfNames(iid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* arg) override
    {
        return FStd->Invoke(id, iid, lcid, flags, params, result, info, arg);
    }

    // What the control says of itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        TAccessibleInfo info;
        if (!Describe(child, info)) return FStd->get_accName(child, name);
        if (!name) return E_INVALIDARG;
        *name = info.Name.empty() ? nullptr : SysAllocString(WStr(info.Name));
        return info.Name.empty() ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        TAccessibleInfo info;
        if (!Describe(child, info)) return FStd->get_accRole(child, role);
        if (!role) return E_INVALIDARG;
        V_VT(role) = VT_I4;
        V_I4(role) = Role(info.Role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        TAccessibleInfo info;
        if (!Describe(child, info)) return FStd->get_accState(child, state);
        if (!state) return E_INVALIDARG;
        V_VT(state) = VT_I4;
        V_I4(state) = State(info.State) | (GetFocus() == FWnd ? STATE_SYSTEM_FOCUSED : 0);
        return S_OK;
    }

    // The rest, as the standard object of the window answers it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return FStd->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return FStd->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        return FStd->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return FStd->get_accValue(child, value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return FStd->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return FStd->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return FStd->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override
    {
        return FStd->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return FStd->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override { return FStd->get_accSelection(children); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return FStd->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return FStd->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override
    {
        return FStd->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* end) override
    {
        return FStd->accNavigate(dir, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override { return FStd->accHitTest(x, y, child); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return FStd->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return FStd->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override { return FStd->put_accValue(child, value); }

private:
    ~TAccessible() { FStd->Release(); }

    // The control's own description, for the object itself; false for a child, for a control
    // that is gone, and for panels and pages, which the standard object describes.
    bool Describe(const VARIANT& child, TAccessibleInfo& info) const
    {
        if (!IsSelf(child)) return false;
        return FDescribe(FWnd, info) && info.Role != TAccessibleRole::Client;
    }

    LONG FRefs = 1;
    HWND FWnd;
    TDescribeWindow FDescribe;
    IAccessible* FStd;
};

}  // namespace

bool AnswerGetObject(HWND wnd, WPARAM wp, LPARAM lp, TDescribeWindow describe, LRESULT& result)
{
    if (static_cast<LONG>(static_cast<DWORD>(lp)) != OBJID_CLIENT) return false;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(wnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))) ||
        !standard)
        return false;
    auto* object = new TAccessible(wnd, describe, standard);
    result = LresultFromObject(__uuidof(IAccessible), wp, object);
    object->Release();
    return true;
}
