#pragma once
// The weld command's work without a view. The outlines of the selected objects are gathered
// and united (each read by the even-odd rule, so that counters stay holes), combined with a
// copy of the clicked object, and only then committed to the sheet as one undo step: a
// failure or an abort on the way leaves the design as it was.

#include <memory>
#include <vector>

#include "model/CSignObj.h"
#include "pathkit/Path.h"

class AbortHandler;
class CSign;
class PathUnion;
class UndoList;

// What a path object made of a group's leaves receives: the program's default attributes.
struct WeldDefaults {
    COLORREF fillColor = 0;
    signed char layer = 0;
    COLORREF outlineColor = NO_COLOR;
    float outlineWidth = 0;
};

class Weld {
public:
    enum Kind { Union = 1, Intersect = 2, Subtract = 3 };
    enum Outcome {
        Done,    // the sheet changed and one step was recorded
        Missed,  // no object (or a locked one) was clicked: nothing happened
        Refused, // nothing to combine the clicked object with: nothing changed
        Failed,  // the combination could not be assembled even at the finest accuracy
        Aborted, // the abort handler or a library error stopped the work
    };

    Weld(CSign& sign, int kind);
    ~Weld();
    Weld(const Weld&) = delete;
    Weld& operator=(const Weld&) = delete;

    // "Weld", "Intersect" or "Subtract".
    static const char* StepName(int kind);

    // The click on a top-level object of the sheet (null: none). With other objects selected
    // it is the target they are combined into; alone, a group is fused (weld only).
    Outcome Click(CSignObj* pClicked);

    // The steps of Click, each on copies; only Commit changes the sheet.
    // The selected unlocked top-level objects other than pTarget; returns their number.
    int Gather(CSignObj* pTarget);
    // Unites what was gathered; 0, or the failure of a merge.
    int Unite();
    // The target's copy combined with the united outline (the target's copy made editable, a
    // group fused first for a weld); 0, or the combination's failure.
    int Combine(CSignObj* pTarget);
    // Puts the result into the sheet, deletes the sources unless they are kept and records
    // the step.
    void Commit(CSignObj* pTarget);

    // The united outline of the gathered objects, after Unite.
    const Path& United() const { return m_united; }

    int m_nKind;
    BOOL m_bKeepSources = 0;
    BOOL m_bKeepTarget = 0;
    WeldDefaults m_defaults;
    // Installed as DefAbortHandler for the work; the previous one is put back after.
    AbortHandler* m_pHandler = nullptr;
    // Where the step is recorded; null records nothing.
    UndoList* m_pUndo = nullptr;

private:
    struct Source {
        CSignObj* pObj;
        bool open; // holds open contours: takes no part as such and is never deleted
    };

    Outcome Fuse(CSignObj* pGroup);
    // A new path object holding the union of the object's leaves, with the default attributes;
    // null when the union failed.
    CSignObj* FuseLeaves(CSignObj* pObj, int& code);
    void Finish();

    CSign& m_sign;
    std::unique_ptr<PathUnion> m_union;
    std::vector<Source> m_sources;
    Path m_united;
    std::unique_ptr<CSignObj> m_pResult;
    // The result stands for the target itself (same serial) rather than a new object.
    bool m_bSameObject = false;
};
