// Small owners for COM resources: the calling thread's share of COM, an interface pointer
// released once, a BSTR freed, a VARIANT cleared, each when it goes out of scope.
#pragma once

#include <windows.h>
#include <oleauto.h>

// Joins COM on this thread (a single-threaded apartment, or a further reference to the one the
// thread is in) and leaves it again only if the join succeeded: a thread that already lives in
// the multi-threaded apartment keeps it.
class TComInit {
public:
    TComInit() : FResult(CoInitialize(nullptr)) {}
    ~TComInit()
    {
        if (SUCCEEDED(FResult)) CoUninitialize();
    }
    TComInit(const TComInit&) = delete;
    TComInit& operator=(const TComInit&) = delete;

private:
    HRESULT FResult;
};

template <typename T>
class TComPtr {
public:
    TComPtr() = default;
    ~TComPtr() { Reset(); }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    TComPtr(TComPtr&& other) noexcept : FPtr(other.FPtr) { other.FPtr = nullptr; }

    T* Get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    // For an out-parameter: releases what is held first.
    T** Out()
    {
        Reset();
        return &FPtr;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    void Reset()
    {
        if (FPtr) FPtr->Release();
        FPtr = nullptr;
    }

private:
    T* FPtr = nullptr;
};

class TBstr {
public:
    explicit TBstr(const wchar_t* text) : FText(SysAllocString(text)) {}
    ~TBstr() { SysFreeString(FText); }
    TBstr(const TBstr&) = delete;
    TBstr& operator=(const TBstr&) = delete;
    BSTR Get() const { return FText; }

private:
    BSTR FText;
};

class TVariant {
public:
    TVariant() { VariantInit(&FValue); }
    ~TVariant() { VariantClear(&FValue); }
    TVariant(const TVariant&) = delete;
    TVariant& operator=(const TVariant&) = delete;
    VARIANT* Get() { return &FValue; }
    const VARIANT& operator*() const { return FValue; }

private:
    VARIANT FValue;
};
