#pragma once
// The tools that the view's tool commands start: one row per command with the class test that
// decides whether the command does anything, the rule of its menu item, and how the tool is
// made. The rows are fixed here; each tool's code registers its class and its maker for its
// commands at start-up. A command whose tool is not registered is disabled, except that the
// selection tool stands in as the framework's no-operation mode until one is registered, and
// the transformation command starts the selection tool until a transformation tool is.

#include <functional>

#include <win32/base.h>

struct CRuntimeClass;
class COleOperatingMode;

// Nothing happens when the current tool is exactly the row's class (Exact) or of it or a
// subclass (Kind). Reversed: a current tool of the class (or a subclass) gives way to the
// selection tool, any other tool to the row's tool.
enum class ToolTest { Exact, Kind, Reversed };
// The menu item is enabled always (Always), while the document has a selection
// (WithSelection), or while it has one and the current tool fails the row's class test
// (WithSelectionUnlessCurrent). It is ticked while the current tool passes the class test
// (the kind test for Reversed).
enum class ToolEnable { Always, WithSelection, WithSelectionUnlessCurrent };

struct ToolRow {
    UINT command;
    ToolTest test;
    ToolEnable enable;
};

using MakeTool = std::function<COleOperatingMode*()>;

class ToolTable {
public:
    // The row of a tool command, or null.
    static const ToolRow* Find(UINT command);
    static const ToolRow* begin();
    static const ToolRow* end();

    // A tool's entry: the class its command tests and ticks by, and its maker (which may
    // throw; nothing is changed then). Registering again replaces the entry.
    static void Register(UINT command, CRuntimeClass* toolClass, MakeTool make);
    // Back to the state before any registration (the stand-ins of the two selection commands).
    static void Reset();
    static BOOL IsRegistered(UINT command);
    static CRuntimeClass* ClassOf(UINT command);

    // Whether the current tool passes the row's class test.
    static BOOL IsCurrent(UINT command, const COleOperatingMode* current);
    // The tool the command installs over the current one, or null when nothing happens (the
    // class test, or no tool registered). Throws what the maker throws.
    static COleOperatingMode* NewToolFor(UINT command, const COleOperatingMode* current);
    // The selection tool: made by the selection command's entry.
    static COleOperatingMode* NewSelectionTool();
    // The menu item's state.
    static void GetState(UINT command, const COleOperatingMode* current, BOOL hasSelection,
                         BOOL& enabled, BOOL& checked);
};
