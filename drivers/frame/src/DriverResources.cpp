#include "driverframe/DriverResources.h"

#include <mfc/CWinApp.h>
#include <win32/module.h>
#include <win32/resource.h>
#include <win32/user.h>

#include "driverframe/DriverStrings.h"

namespace {

const UINT kMessageIds[] = {IDS_SETUP_CAPTION,    IDS_SEARCHING_MARKERS,   IDS_PORT_TIMEOUT,
                            IDS_BAD_STEP_SIZE,    IDS_NEGATIVE_COORDINATE, IDS_NO_PORT_LIBRARY,
                            IDS_OPEN_FAILED,      IDS_WRITE_FAILED,        IDS_COMMAND_TOO_LONG,
                            IDS_PORT_UNAVAILABLE, IDS_BAD_CUTTING_AREA};

} // namespace

DriverResources::DriverResources(const char* moduleFile, std::initializer_list<UINT> extraIds)
    : moduleFile_(moduleFile) {
    module_ = LoadLibraryA(moduleFile);
    if (!module_) {
        std::string text = "Unable to find " + moduleFile_;
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(module_);
    auto load = [this](UINT id) {
        char buffer[512];
        if (LoadStringA(module_, id, buffer, sizeof buffer) > 0) texts_[id] = buffer;
    };
    for (UINT id : kMessageIds)
        load(id);
    for (UINT id : extraIds)
        load(id);
    AfxSetResourceHandle(previous);
}

DriverResources::~DriverResources() {
    if (module_) FreeLibrary(module_);
}

std::string DriverResources::Text(UINT id, const char* argument) const {
    auto found = texts_.find(id);
    if (found == texts_.end()) return {};
    std::string text = found->second;
    std::string::size_type at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, argument ? argument : "");
    return text;
}

int DriverResources::Show(UINT id, UINT style, const char* argument) const {
    return AfxMessageBox(Text(id, argument).c_str(), style);
}
