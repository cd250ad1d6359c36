// The program's sign view starts the selection, transformation and alignment tools by their
// commands. Compiled into the program itself, so that the entries are made before it starts.

#include <view/ToolTable.h>

#include "select/SelectTools.h"

namespace {
const bool toolsSet =
    (RegisterSelectTools([](UINT command, CRuntimeClass* toolClass, MakeSelectTool make) {
         ToolTable::Register(command, toolClass, std::move(make));
     }),
     true);
} // namespace
