// Move-only owners of Win32 handles and COM pointers: one closing function per type.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <utility>

namespace brenvik {

// Owns a value of T and closes it with Traits::close unless it equals Traits::empty().
template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : m_value(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : m_value(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T get() const { return m_value; }
    // For out-parameters: closes what was held first.
    T* put() {
        reset();
        return &m_value;
    }
    T release() { return std::exchange(m_value, Traits::empty()); }
    void reset(T value = Traits::empty()) {
        if (m_value != Traits::empty())
            Traits::close(m_value);
        m_value = value;
    }
    explicit operator bool() const { return m_value != Traits::empty(); }

private:
    T m_value = Traits::empty();
};

struct HkeyTraits {
    static HKEY empty() { return nullptr; }
    static void close(HKEY key) { RegCloseKey(key); }
};
struct FindTraits {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE find) { FindClose(find); }
};
struct HlocalTraits {
    static HLOCAL empty() { return nullptr; }
    static void close(HLOCAL memory) { LocalFree(memory); }
};
// Handles whose empty value is NULL (threads, events, tokens).
struct HandleTraits {
    static HANDLE empty() { return nullptr; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};
// CreateFileA fails with INVALID_HANDLE_VALUE, not NULL.
struct HfileTraits {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE file) { CloseHandle(file); }
};

// An HKEY opened by RegOpenKeyExA/RegCreateKeyExA; never a predefined root.
using UniqueHkey = UniqueResource<HKEY, HkeyTraits>;
using UniqueFind = UniqueResource<HANDLE, FindTraits>;
using UniqueHlocal = UniqueResource<HLOCAL, HlocalTraits>;
using UniqueHandle = UniqueResource<HANDLE, HandleTraits>;
using UniqueHfile = UniqueResource<HANDLE, HfileTraits>;

// What a handle of the file security port stands for. reparseByName records that the name it
// was opened by is listed as a reparse point in its folder: Wine 8 opens the folder a Unix
// symbolic link names whatever FILE_OPEN_REPARSE_POINT asks, and only a listing (or a query
// by full name) tells of the link (FILE_ATTRIBUTE_REPARSE_POINT), never a query through the
// handle.
struct PortFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool reparseByName = false;
};

// The HANDLE of a file security port handle (a PortFile's address).
inline HANDLE PortHandle(std::uintptr_t file) {
    return file == 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<const PortFile*>(file)->handle;
}

// An owned COM interface pointer: Release on reset, move-only.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            m_ptr = std::exchange(other.m_ptr, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    // For CoCreateInstance/QueryInterface: releases what was held first.
    void** put() {
        reset();
        return reinterpret_cast<void**>(&m_ptr);
    }
    void reset() {
        if (m_ptr)
            m_ptr->Release();
        m_ptr = nullptr;
    }

private:
    T* m_ptr = nullptr;
};

// CoInitialize(NULL) for a scope; uninitialises only when the call succeeded.
class ComInit {
public:
    ComInit() : m_result(CoInitialize(nullptr)) {}
    ~ComInit() {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;

    HRESULT result() const { return m_result; }

private:
    HRESULT m_result;
};

}  // namespace brenvik
