// COM for the MSXML DOM: the apartment of the loading thread, owning pointers, and the making of
// a hardened DOM document. Only the win32 backend includes this header.
#pragma once

#include "platform/win32/windows_api.h"

#include <msxml2.h>
#include <oleauto.h>

#include <string>

namespace wi::xml::msxml {

// Holds one reference to a COM object and releases it.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For calls that hand out a new reference: releases the current one first.
    T** Out() {
        Reset();
        return &p_;
    }
    // Gives up the reference to the caller.
    T* Detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    void Reset() {
        if (p_ != nullptr) {
            p_->Release();
            p_ = nullptr;
        }
    }

private:
    T* p_ = nullptr;
};

// A BSTR owned for its lifetime.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text)
        : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const { return b_; }
    BSTR* Out() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    // False when the allocation of a non-empty text failed.
    bool Made(const std::wstring& from) const { return b_ != nullptr || from.empty(); }
    std::wstring Text() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

// A new, empty DOM document that never loads anything from outside: synchronous, no
// validation, no external resources, no document type declarations. Null when no MSXML can be
// made on this thread (COM not initialised here: see the load step in xml_com.cpp).
ComPtr<IXMLDOMDocument2> NewDocument();

}  // namespace wi::xml::msxml
