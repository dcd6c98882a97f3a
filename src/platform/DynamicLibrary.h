#pragma once
// Loading a shared library at run time and binding its symbols by name.

#include <string>

namespace platform {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads the library at path (UTF-8). False when it cannot be loaded; Error() then says why.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }

    // Address of an exported symbol, or null.
    void* Symbol(const char* name) const;
    const std::string& Error() const { return error_; }

    template <typename Fn> Fn Function(const char* name) const {
        return reinterpret_cast<Fn>(Symbol(name));
    }

private:
    void* handle_ = nullptr;
    std::string error_;
};

} // namespace platform
