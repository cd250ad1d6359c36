#pragma once
// A driver's resource library and the message texts taken from it when the plug-in starts.
// Messages with a "%s" get the argument in its place; no other conversion is interpreted.

#include <initializer_list>
#include <map>
#include <string>

#include <win32/base.h>

class DriverResources {
public:
    // Loads the library (a missing one is reported with the exclamation icon) and its texts:
    // the frame's messages and the driver's own `extraIds`.
    explicit DriverResources(const char* moduleFile, std::initializer_list<UINT> extraIds = {});
    ~DriverResources();
    DriverResources(const DriverResources&) = delete;
    DriverResources& operator=(const DriverResources&) = delete;

    bool IsLoaded() const { return module_ != nullptr; }
    HINSTANCE Module() const { return module_; }
    const std::string& ModuleFile() const { return moduleFile_; }

    // The text of a loaded string; empty when the library or the string is missing.
    std::string Text(UINT id, const char* argument = nullptr) const;
    // Shows the text in a message box of the given style and returns the answer.
    int Show(UINT id, UINT style, const char* argument = nullptr) const;

private:
    std::string moduleFile_;
    HINSTANCE module_ = nullptr;
    std::map<UINT, std::string> texts_;
};
