#pragma once
// The deskew tool: a temporary tool over the selection tool. The user draws a line; on release
// the selection turns about its centre so that the line becomes level (or upright, for a line
// steeper than 45°), as one step "Deskew", and the tool that started it is current again.
// Only a line drawn in this run turns anything: a click, or leaving by another command, turns
// nothing.

#include "select/SelectMode.h"

namespace DeskewIds {
constexpr UINT Start = 32938;
} // namespace DeskewIds

class DeskewMode : public SelectMode {
    DECLARE_DYNCREATE(DeskewMode)
public:
    DeskewMode() = default;
    // The tool to return to; owned by this tool until it is current again.
    explicit DeskewMode(COleOperatingMode* previous) : previous(previous) {}
    ~DeskewMode() override;

    void Activate() override;
    void Deactivate(COleOperatingMode* next) override;
    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    BOOL OnLButtonUp(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;

    // Turns the selection about its centre by angle (radians) unless a selected object
    // refuses (a beep then); records "Deskew". FALSE when nothing turned.
    BOOL OnDeskew(double angle);

    COleOperatingMode* previous = nullptr;
    // The line's folded angle, once one was drawn in this run.
    bool lineDrawn = false;
    double lineAngle = 0;

private:
    double savedCrossHairAngle_ = 0;
};
