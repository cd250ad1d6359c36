#pragma once
// The sign view's tool entries of the selection tools: 32788 the selection tool, 32787 the
// transformation tool, 32989 the alignment tool. The view's tool table takes them at start-up
// through its registration function.

#include <functional>

#include <win32/base.h>

struct CRuntimeClass;
class COleOperatingMode;

namespace SelectToolIds {
constexpr UINT Select = 32788;
constexpr UINT Transform = 32787;
constexpr UINT Align = 32989;
} // namespace SelectToolIds

using MakeSelectTool = std::function<COleOperatingMode*()>;
using SelectToolRegistrar =
    std::function<void(UINT command, CRuntimeClass* toolClass, MakeSelectTool make)>;

// Hands each entry (command, the class its command tests, its maker) to the registrar.
void RegisterSelectTools(const SelectToolRegistrar& registrar);
