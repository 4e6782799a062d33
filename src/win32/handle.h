// A kernel handle closed when it goes out of scope. Both of the system's
// "no handle" values (null and INVALID_HANDLE_VALUE) read as none.
#pragma once

#include <windows.h>

namespace tav {

class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }

    HANDLE get() const { return handle_; }
    // Closes the handle held and holds `handle` instead.
    void reset(HANDLE handle) {
        close();
        handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }
    explicit operator bool() const { return handle_ != nullptr; }
    // False when the system reports a failure closing it (for a file: the
    // last of its bytes may not have been written).
    bool close() {
        if (!handle_) return true;
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = nullptr;
        return closed;
    }

private:
    HANDLE handle_;
};

}  // namespace tav
