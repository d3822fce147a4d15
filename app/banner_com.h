// Move-only owners of the COM interface pointers and BSTRs the banner set-up handles.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace brenvik {

// Holds one reference to an interface and releases it.
template <typename T>
class UniqueComPtr {
public:
    UniqueComPtr() = default;
    UniqueComPtr(const UniqueComPtr&) = delete;
    UniqueComPtr& operator=(const UniqueComPtr&) = delete;
    UniqueComPtr(UniqueComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    UniqueComPtr& operator=(UniqueComPtr&& other) noexcept {
        reset(std::exchange(other.m_p, nullptr));
        return *this;
    }
    ~UniqueComPtr() { reset(); }

    void reset(T* p = nullptr) {
        if (m_p != nullptr) {
            m_p->Release();
        }
        m_p = p;
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out parameters: the old reference is released first.
    T** put() {
        reset();
        return &m_p;
    }

    // The interface riid/I of the held object, or an empty pointer.
    template <typename I>
    UniqueComPtr<I> query(REFIID riid) const {
        UniqueComPtr<I> result;
        if (m_p != nullptr) {
            m_p->QueryInterface(riid, reinterpret_cast<void**>(result.put()));
        }
        return result;
    }

private:
    T* m_p = nullptr;
};

// Owns a BSTR made by SysAllocString and frees it.
class UniqueBstr {
public:
    explicit UniqueBstr(BSTR text) : m_bstr(text) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { SysFreeString(m_bstr); }

    BSTR get() const { return m_bstr; }

private:
    BSTR m_bstr;
};

}  // namespace brenvik
