#include "JobSheetResources.h"

#include <string>

#include <win32/module.h>
#include <win32/resource.h>

CString JobSheetText(UINT id, const char* fallback, const char* first, const char* second) {
    std::string text = fallback ? fallback : "";
    if (HMODULE module = LoadLibraryA(JobSheetModule)) {
        char buffer[1024];
        if (LoadStringA(module, id, buffer, sizeof buffer) > 0) text = buffer;
        FreeLibrary(module);
    }
    const char* arguments[] = {first, second};
    std::string::size_type at = 0;
    for (const char* argument : arguments) {
        at = text.find("%s", at);
        if (at == std::string::npos) break;
        std::string value = argument ? argument : "";
        text.replace(at, 2, value);
        at += value.size();
    }
    return CString(text.c_str());
}

CString JobSheetNumber(UINT id, const char* fallback, int n) {
    std::string text = static_cast<const char*>(JobSheetText(id, fallback));
    std::string::size_type at = text.find("%d");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(n));
    return CString(text.c_str());
}
