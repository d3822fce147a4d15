// One move-only owner for every handle a port hands out: it closes the handle through the
// port's own close call when it goes, and is empty when it holds the port's "none" value.
#pragma once

#include <utility>

namespace brenvik {

template <typename Port, typename Handle, void (Port::*Close)(Handle), Handle None>
class UniquePortHandle {
public:
    explicit UniquePortHandle(Port& port) noexcept : m_port(&port) {}
    // Adopts a handle the port has already opened (findFirst's result, for one).
    UniquePortHandle(Port& port, Handle adopted) noexcept : m_port(&port), m_handle(adopted) {}
    ~UniquePortHandle() { reset(); }
    UniquePortHandle(UniquePortHandle&& other) noexcept
        : m_port(other.m_port), m_handle(other.release()) {}
    UniquePortHandle& operator=(UniquePortHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
            m_port = other.m_port;
        }
        return *this;
    }
    UniquePortHandle(const UniquePortHandle&) = delete;
    UniquePortHandle& operator=(const UniquePortHandle&) = delete;

    Handle get() const noexcept { return m_handle; }
    // For a port's out-parameter; what was held is closed first.
    Handle* put() noexcept {
        reset();
        return &m_handle;
    }
    // Closes what is held and holds handle instead.
    void reset(Handle handle = None) noexcept {
        if (m_handle != None)
            (m_port->*Close)(m_handle);
        m_handle = handle;
    }
    // Gives the handle up unclosed; the caller closes it.
    Handle release() noexcept { return std::exchange(m_handle, None); }
    explicit operator bool() const noexcept { return m_handle != None; }

private:
    Port* m_port;
    Handle m_handle = None;
};

}  // namespace brenvik
