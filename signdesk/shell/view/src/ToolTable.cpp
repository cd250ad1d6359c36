#include "view/ToolTable.h"

#include <map>

#include <mfc/CObject.h>
#include <sheet/FrameworkModes.h>

#include "view/SignViewIds.h"

namespace {

using namespace SignViewIds;

constexpr ToolRow Rows[] = {
    {TransformTool, ToolTest::Reversed, ToolEnable::WithSelection},
    {SelectTool, ToolTest::Exact, ToolEnable::Always},
    {NodeEditTool, ToolTest::Exact, ToolEnable::Always},
    {FreehandTool, ToolTest::Exact, ToolEnable::Always},
    {RegShapeTool, ToolTest::Exact, ToolEnable::Always},
    {TextTool, ToolTest::Exact, ToolEnable::Always},
    {ColoringTool, ToolTest::Exact, ToolEnable::Always},
    {DistortionTool, ToolTest::Kind, ToolEnable::WithSelectionUnlessCurrent},
    {PerspectiveTool, ToolTest::Kind, ToolEnable::WithSelection},
    {EnvelopeTool, ToolTest::Kind, ToolEnable::WithSelection},
    {EnvSphereTool, ToolTest::Kind, ToolEnable::WithSelection},
    {SphereTool, ToolTest::Kind, ToolEnable::WithSelection},
    {FontEditTool, ToolTest::Kind, ToolEnable::Always},
    {AlignTool, ToolTest::Kind, ToolEnable::Always},
    {FillTool, ToolTest::Exact, ToolEnable::Always},
    {TransparencyTool, ToolTest::Exact, ToolEnable::Always},
    {ShadowTool, ToolTest::Kind, ToolEnable::WithSelection},
    {StripeTool, ToolTest::Kind, ToolEnable::Always},
    {MeasureTool, ToolTest::Kind, ToolEnable::Always},
    {DimLineTool, ToolTest::Kind, ToolEnable::Always},
};

struct Entry {
    CRuntimeClass* toolClass = nullptr;
    MakeTool make;
};

std::map<UINT, Entry>& Entries() {
    static std::map<UINT, Entry> entries;
    return entries;
}

// The selection command's stand-in until the selection tool registers.
Entry StandInSelection() {
    return Entry{RUNTIME_CLASS(COleNoOperationMode), [] { return new COleNoOperationMode; }};
}

const Entry* EntryOf(UINT command) {
    auto& entries = Entries();
    auto it = entries.find(command);
    if (it != entries.end()) return &it->second;
    if (command == SelectTool) {
        static const Entry standIn = StandInSelection();
        return &standIn;
    }
    return nullptr;
}

BOOL Passes(const ToolRow& row, CRuntimeClass* toolClass, const COleOperatingMode* current) {
    if (current == nullptr || toolClass == nullptr) return FALSE;
    if (row.test == ToolTest::Exact) return current->GetRuntimeClass() == toolClass;
    return current->IsKindOf(toolClass);
}

} // namespace

const ToolRow* ToolTable::Find(UINT command) {
    for (const ToolRow& row : Rows)
        if (row.command == command) return &row;
    return nullptr;
}

const ToolRow* ToolTable::begin() {
    return std::begin(Rows);
}

const ToolRow* ToolTable::end() {
    return std::end(Rows);
}

void ToolTable::Register(UINT command, CRuntimeClass* toolClass, MakeTool make) {
    if (Find(command) == nullptr || !make) return;
    Entries()[command] = Entry{toolClass, std::move(make)};
}

void ToolTable::Reset() {
    Entries().clear();
}

BOOL ToolTable::IsRegistered(UINT command) {
    return EntryOf(command) != nullptr;
}

CRuntimeClass* ToolTable::ClassOf(UINT command) {
    const Entry* entry = EntryOf(command);
    return entry != nullptr ? entry->toolClass : nullptr;
}

BOOL ToolTable::IsCurrent(UINT command, const COleOperatingMode* current) {
    const ToolRow* row = Find(command);
    return row != nullptr && Passes(*row, ClassOf(command), current);
}

COleOperatingMode* ToolTable::NewSelectionTool() {
    return EntryOf(SelectTool)->make();
}

COleOperatingMode* ToolTable::NewToolFor(UINT command, const COleOperatingMode* current) {
    const ToolRow* row = Find(command);
    if (row == nullptr) return nullptr;
    const Entry* entry = EntryOf(command);
    if (row->test == ToolTest::Reversed) {
        // Until a transformation tool registers, the command starts the selection tool.
        if (entry == nullptr || Passes(*row, entry->toolClass, current)) return NewSelectionTool();
        return entry->make();
    }
    if (entry == nullptr || Passes(*row, entry->toolClass, current)) return nullptr;
    return entry->make();
}

void ToolTable::GetState(UINT command, const COleOperatingMode* current, BOOL hasSelection,
                         BOOL& enabled, BOOL& checked) {
    enabled = FALSE;
    checked = FALSE;
    const ToolRow* row = Find(command);
    if (row == nullptr) return;
    const Entry* entry = EntryOf(command);
    checked = entry != nullptr && Passes(*row, entry->toolClass, current);
    if (entry == nullptr && row->test != ToolTest::Reversed) return;
    switch (row->enable) {
    case ToolEnable::Always:
        enabled = TRUE;
        break;
    case ToolEnable::WithSelection:
        enabled = hasSelection;
        break;
    case ToolEnable::WithSelectionUnlessCurrent:
        enabled = hasSelection && !checked;
        break;
    }
}
