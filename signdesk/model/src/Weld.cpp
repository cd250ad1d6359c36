#include "model/Weld.h"

#include "ObjectLeaves.h"
#include "model/CPathObj.h"
#include "model/CSign.h"
#include "model/UndoList.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/PathUnion.h"

namespace {

// DefAbortHandler for a scope, the previous one put back on every way out.
class HandlerScope {
public:
    explicit HandlerScope(AbortHandler* pHandler) : m_pPrevious(DefAbortHandler) {
        if (pHandler != nullptr) DefAbortHandler = pHandler;
    }
    ~HandlerScope() { DefAbortHandler = m_pPrevious; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    AbortHandler* m_pPrevious;
};

int IndexOf(CSign& sign, CSignObj* pObj) {
    for (int i = 0; i < sign.GetSize(); ++i)
        if (sign.GetObj(i) == pObj) return i;
    return -1;
}

// The outline of a leaf: its path, or what it adds to an empty one.
template <class F> void WithOutline(CSignObj* pLeaf, F&& f) {
    if (Path* pPath = pLeaf->GetPath()) {
        f(*pPath);
        return;
    }
    Path outline;
    pLeaf->AddToPath(outline);
    if (outline.subPaths.Filled()) f(outline);
}

bool HasOpenContours(const Path& path) {
    for (const SubPath& sp : path.subPaths)
        if (sp.members.Filled() && sp.IsOpen()) return true;
    return false;
}

} // namespace

Weld::Weld(CSign& sign, int kind) : m_nKind(kind), m_sign(sign) {}

Weld::~Weld() = default;

const char* Weld::StepName(int kind) {
    switch (kind) {
    case Intersect:
        return "Intersect";
    case Subtract:
        return "Subtract";
    default:
        return "Weld";
    }
}

Weld::Outcome Weld::Click(CSignObj* pClicked) {
    if (pClicked == nullptr || pClicked->m_bLocked || IndexOf(m_sign, pClicked) < 0) return Missed;
    if (m_nKind < Union || m_nKind > Subtract) return Refused;
    // The clicked object counts as selected; it is the target of the others.
    bool others = false;
    for (int i = 0; i < m_sign.GetSize() && !others; ++i) {
        CSignObj* pObj = m_sign.GetObj(i);
        others = pObj != pClicked && pObj->m_bSelected && !pObj->m_bLocked;
    }
    if (!others) {
        if (m_nKind == Union && pClicked->IsGroup()) return Fuse(pClicked);
        return Refused;
    }

    HandlerScope scope(m_pHandler);
    try {
        Gather(pClicked);
        if (m_union->IslandCount() == 0) {
            Finish();
            return Refused;
        }
        if (Unite() != 0 || Combine(pClicked) != 0) {
            Finish();
            return Failed;
        }
    } catch (...) {
        Finish();
        return Aborted;
    }
    Commit(pClicked);
    return Done;
}

int Weld::Gather(CSignObj* pTarget) {
    m_union = std::make_unique<PathUnion>();
    m_sources.clear();
    for (int i = 0; i < m_sign.GetSize(); ++i) {
        CSignObj* pObj = m_sign.GetObj(i);
        if (pObj == pTarget || !pObj->m_bSelected || pObj->m_bLocked) continue;
        Source source{pObj, false};
        ForEachLeaf(pObj, [&](CSignObj* pLeaf) {
            WithOutline(pLeaf, [&](const Path& outline) {
                if (HasOpenContours(outline)) source.open = true;
                m_union->Add(outline);
            });
        });
        m_sources.push_back(source);
    }
    return int(m_sources.size());
}

int Weld::Unite() {
    m_united = Path(Path::ValidAccuracy(0));
    if (!m_union) return 0;
    return m_union->Unite(m_united);
}

CSignObj* Weld::FuseLeaves(CSignObj* pObj, int& code) {
    PathUnion leaves;
    ForEachLeaf(
        pObj, [&](CSignObj* pLeaf) { WithOutline(pLeaf, [&](const Path& p) { leaves.Add(p); }); });
    auto pFused = std::make_unique<CPathObj>();
    code = leaves.Unite(pFused->m_path);
    if (code != 0) return nullptr;
    pFused->SetColor(m_defaults.fillColor);
    pFused->SetLayer(char(m_defaults.layer), 0);
    pFused->m_clrOutline = m_defaults.outlineColor;
    pFused->m_fOutlineWidth = m_defaults.outlineWidth;
    pFused->m_bFixedOutlineWidth = 0;
    pFused->RefreshBBox();
    pFused->UpdateStamp();
    return pFused.release();
}

int Weld::Combine(CSignObj* pTarget) {
    m_pResult.reset(pTarget->Duplicate());
    m_bSameObject = true;
    if (!m_pResult) return -1;
    // The copy's contours are the target's: in normal form when the target's are.
    Path* pOriginal = pTarget->GetPath();
    Path* pCopy = m_pResult->GetPath();
    if (pOriginal && pCopy && pOriginal->IsNormal() && pCopy->accuracy == pOriginal->accuracy &&
        pCopy->subPaths.Filled() == pOriginal->subPaths.Filled())
        pCopy->MarkNormal();
    m_pResult->Unselect();
    if (!m_pResult->CanDistort()) {
        CSignObj* pEditable = m_pResult->GetEditablePath();
        if (pEditable == nullptr) return -1;
        if (pEditable != m_pResult.get()) {
            m_pResult.reset(pEditable);
            m_bSameObject = false;
        }
    }
    if (m_pResult->IsGroup() && m_nKind == Union) {
        int code = 0;
        CSignObj* pFused = FuseLeaves(m_pResult.get(), code);
        if (pFused == nullptr) return code ? code : -1;
        m_pResult.reset(pFused);
        m_bSameObject = false;
    }
    Path united(m_united);
    int code = m_pResult->ApplyBooleanOp(m_nKind, united);
    m_pResult->RefreshBBox();
    return code;
}

void Weld::Commit(CSignObj* pTarget) {
    CSignObj* pResult = m_pResult.release();
    const int index = IndexOf(m_sign, pTarget);
    if (m_bKeepTarget) {
        pTarget->Unselect();
        m_sign.InsertAt(index + 1, pResult);
    } else {
        // The target changed in place keeps its identity.
        if (m_bSameObject) pResult->m_nSerial = pTarget->m_nSerial;
        m_sign.SetAt(index, pResult);
        delete pTarget;
    }
    if (m_bKeepSources) {
        pResult->Unselect();
    } else {
        for (const Source& s : m_sources) {
            const int i = IndexOf(m_sign, s.pObj);
            if (i < 0) continue;
            if (s.open) {
                s.pObj->Unselect();
            } else {
                ObArrayDeleteAt(m_sign, i, 1);
            }
        }
        pResult->Select();
    }
    Finish();
    RemoveEmptyObjects(m_sign);
    m_sign.RefreshBounds(1);
    m_sign.CountLayerObjects();
    m_sign.UpdateSelection();
    if (m_pUndo != nullptr) m_pUndo->RecordStep(StepName(m_nKind));
}

Weld::Outcome Weld::Fuse(CSignObj* pGroup) {
    HandlerScope scope(m_pHandler);
    CSignObj* pFused = nullptr;
    try {
        int code = 0;
        pFused = FuseLeaves(pGroup, code);
        if (pFused == nullptr) return Failed;
    } catch (...) {
        return Aborted;
    }
    const int index = IndexOf(m_sign, pGroup);
    if (m_bKeepTarget || m_bKeepSources) {
        pGroup->Unselect();
        m_sign.InsertAt(index + 1, pFused);
    } else {
        m_sign.SetAt(index, pFused);
        delete pGroup;
    }
    pFused->Select();
    RemoveEmptyObjects(m_sign);
    m_sign.RefreshBounds(1);
    m_sign.CountLayerObjects();
    m_sign.UpdateSelection();
    if (m_pUndo != nullptr) m_pUndo->RecordStep(StepName(Union));
    return Done;
}

void Weld::Finish() {
    m_union.reset();
    m_pResult.reset();
    m_sources.clear();
}
