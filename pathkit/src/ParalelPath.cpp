#include "pathkit/ParalelPath.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "outline/OutlineManager.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/Path.h"
#include "win32/kernel.h"
#include "win32/module.h"

namespace {

constexpr DWORD TempPathLength = 144;
constexpr float OutlineLimitAngle = 60.0f;

// A temporary file made by GetTempFileNameA (which creates it) and deleted with this object.
class TempRecordFile {
public:
    TempRecordFile() = default;
    TempRecordFile(const TempRecordFile&) = delete;
    TempRecordFile& operator=(const TempRecordFile&) = delete;
    ~TempRecordFile() {
        if (made_) std::remove(name_);
    }

    bool Make(const char* folder) {
        made_ = GetTempFileNameA(folder, "Tmp", 0, name_) != 0;
        return made_;
    }
    const char* Name() const { return name_; }

private:
    char name_[MAX_PATH] = {};
    bool made_ = false;
};

// Outline.dll loaded for one offset, with the manager and the parameters' constructor bound.
class OutlineModule {
public:
    OutlineModule() : module_(LoadLibraryA("Outline.dll")) {
        if (!module_) return;
        auto get = Entry<GetOutlineManagerProc>("GetOutlineManager");
        construct_ = Entry<TBaseOutlineParamsConstructorProc>(TBaseOutlineParamsConstructorName);
        if (get && construct_) manager_ = get();
    }
    OutlineModule(const OutlineModule&) = delete;
    OutlineModule& operator=(const OutlineModule&) = delete;
    ~OutlineModule() {
        if (module_) FreeLibrary(module_);
    }

    TAbsOutlineManager* Manager() const { return manager_; }

    // The parameters in the caller's storage, made by the module's constructor.
    TBaseOutlineParams* Construct(void* storage) const {
        auto* params = static_cast<TBaseOutlineParams*>(storage);
        construct_(params);
        return std::launder(params);
    }

private:
    // Through void (*)(), the generic function pointer, to the entry's own type.
    template <class Proc> Proc Entry(const char* name) const {
        return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
    }

    HMODULE module_;
    TBaseOutlineParamsConstructorProc construct_ = nullptr;
    TAbsOutlineManager* manager_ = nullptr;
};

// Runs the manager on the source's record file and appends what it wrote to out (and, with
// bothSides, what it wrote for the other side).
void RunManager(const OutlineModule& module, const TempRecordFile& input,
                const TempRecordFile& output, float distance, int mode, Path& out, int bothSides) {
    alignas(TBaseOutlineParams) unsigned char storage[sizeof(TBaseOutlineParams)];
    TBaseOutlineParams* params = module.Construct(storage);
    params->reserved = 0;
    params->mode = mode;
    params->side = distance < 0 ? 1 : 0;
    params->distance = std::fabs(distance);
    params->limitAngle = OutlineLimitAngle;

    TAbsOutlineManager* manager = module.Manager();
    manager->Outline(input.Name(), output.Name(), params, nullptr);
    ReadBezFile(output.Name(), out, 1, 1);
    if (!bothSides) return;

    std::remove(output.Name());
    params->side = params->side ? 0 : 1;
    manager->Outline(input.Name(), output.Name(), params, nullptr);
    Path other(out.accuracy);
    ReadBezFile(output.Name(), other, 1, 1);
    out.Concat(other);
}

} // namespace

int ParalelPath(Path& source, float distance, float /*unused*/, int mode, Path& out,
                int bothSides) {
    {
        // The folder must fit the buffer whole: a cut name would put the files elsewhere.
        char folder[TempPathLength];
        DWORD length = GetTempPathA(TempPathLength, folder);
        bool haveFolder = length > 0 && length < TempPathLength;
        TempRecordFile input, output;
        if (haveFolder && input.Make(folder) && output.Make(folder) &&
            WriteBezFile(input.Name(), source, 1, 1) == 0) {
            OutlineModule module;
            if (module.Manager()) RunManager(module, input, output, distance, mode, out, bothSides);
        }
        out.Prepare();
    }
    DefAbortProc();
    return 0;
}
