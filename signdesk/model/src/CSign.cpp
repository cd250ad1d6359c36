#include "model/CSign.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

#include "ObjectLeaves.h"
#include "mfc/CArchive.h"
#include "model/CGroupObj.h"
#include "model/CObjIterator.h"
#include "model/CObjTreeIterator.h"
#include "model/CPathObj.h"
#include "model/FillPainting.h"
#include "model/Gradient.h"
#include "pathkit/ColorWPFReader.h"

// The class writes schema 0 and reads any.
IMPLEMENT_SERIAL(CSign, CObArray, VERSIONABLE_SCHEMA | 0)

CSign::CSign() {
    std::memset(m_nLayerCount, 0, sizeof m_nLayerCount);
    std::memset(m_bLayerVisible, 1, sizeof m_bLayerVisible);
}

CSign::~CSign() {
    DeleteAll();
}

void CSign::DeleteAll() {
    ObArrayTruncate(*this, 0);
}

namespace {

// Undo tells a design's objects apart by their serial numbers. A number that a damaged file
// repeats stays with the first object that holds it; the others draw numbers not in the design.
void MakeSerialsUnique(CObArray& objects) {
    std::unordered_set<DWORD> all, seen;
    CObjTreeIterator it(&objects);
    for (it.First(); !it.IsDone(); it.Next())
        if (CSignObj* pObj = it.Current()) all.insert(pObj->m_nSerial);
    for (it.First(); !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj == nullptr || seen.insert(pObj->m_nSerial).second) continue;
        do {
            pObj->TakeNewSerial();
        } while (!all.insert(pObj->m_nSerial).second);
        seen.insert(pObj->m_nSerial);
    }
}

} // namespace

void CSign::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CObArray::Serialize(ar);
        return;
    }
    COwnedObArray loaded;
    LoadSignObjArray(ar, loaded);
    if (CSignObj::GetKeepSerials()) MakeSerialsUnique(loaded);
    DeleteAll();
    for (int i = 0; i < loaded.GetSize(); ++i)
        Add(loaded.GetAt(i));
    loaded.RemoveAll();
}

template <class F> void CSign::ForEachDrawnLayer(F&& f) {
    for (int layer = -127; layer <= 127; ++layer) {
        if (m_nLayerCount[layer + 128] == 0 || !m_bLayerVisible[layer + 128]) continue;
        f(layer);
    }
}

void CSign::RefreshBounds(int all) {
    m_bbExtent = floatBBox();
    bool first = true;
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (all || pObj->m_bSelected) pObj->RefreshBBox();
        const floatBBox* pBox = pObj->GetBBox();
        if (pBox == nullptr) continue;
        if (first) {
            m_bbExtent = *pBox;
            first = false;
        } else {
            m_bbExtent += *pBox;
        }
    }
}

DWORD CSign::UpdateSelection() {
    m_nFirstSelected = -1;
    m_nSelected = 0;
    m_nSelectedPaths = 0;
    m_bbSelection = floatBBox();
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (!pObj->m_bSelected) continue;
        const floatBBox* pBox = pObj->GetBBox();
        if (pBox != nullptr) {
            if (m_nSelected == 0) {
                m_bbSelection = *pBox;
            } else {
                m_bbSelection += *pBox;
            }
            ++m_nSelected;
            if (pObj->IsKindOf(RUNTIME_CLASS(CPathObj))) ++m_nSelectedPaths;
        }
        if (m_nSelected == 1 && m_nFirstSelected < 0) m_nFirstSelected = i;
    }
    return m_nSelected;
}

void CSign::UnselectAll() {
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (!pObj->m_bLocked) pObj->Unselect();
    }
    m_nFirstSelected = -1;
    m_nSelected = 0;
}

namespace {

// An object lies on a shown layer; a group when one of its leaves does.
bool OnShownLayer(CSign& sign, CSignObj* pObj) {
    bool shown = false;
    ForEachLeaf(pObj, [&](CSignObj* pLeaf) {
        if (!shown && sign.IsLayerVisible(pLeaf->GetLayer())) shown = true;
    });
    return shown;
}

bool Pickable(CSign& sign, CSignObj* pObj) {
    return !pObj->m_bLocked && OnShownLayer(sign, pObj);
}

bool WhollyInside(const floatBBox& inner, const floatBBox& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.bottom >= outer.bottom &&
           inner.top <= outer.top;
}

// The path objects among the leaves of a selected top-level object.
template <class F> void ForEachSelectedPath(CSign& sign, F&& f) {
    for (int i = 0; i < sign.GetSize(); ++i) {
        CSignObj* pObj = sign.GetObj(i);
        if (!pObj->m_bSelected) continue;
        ForEachLeaf(pObj, [&](CSignObj* pLeaf) {
            if (pLeaf->IsKindOf(RUNTIME_CLASS(CPathObj))) f(i, static_cast<CPathObj*>(pLeaf));
        });
    }
}

} // namespace

void CSign::SelectAll() {
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (Pickable(*this, pObj)) pObj->Select();
    }
}

void CSign::SelectInBox(const floatBBox* box, BOOL toggle) {
    if (box == nullptr) return;
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        const floatBBox* pBox = pObj->GetBBox();
        if (pBox == nullptr || !Pickable(*this, pObj) || !WhollyInside(*pBox, *box)) continue;
        if (toggle) {
            pObj->ToggleSelect();
        } else {
            pObj->Select();
        }
    }
}

void CSign::CombineSelection() {
    auto pCombined = std::make_unique<CPathObj>();
    std::vector<char> gave(std::size_t(GetSize()), 0);
    int first = -1;
    bool any = false;
    signed char layer = 0;
    COLORREF color = 0;
    ForEachSelectedPath(*this, [&](int index, CPathObj* pPath) {
        Path copy(pPath->m_path);
        copy.ClosePath();
        pCombined->m_path.Concat(copy);
        gave[std::size_t(index)] = 1;
        if (first < 0) first = index;
        if (!any || pPath->GetLayer() < layer) {
            layer = pPath->GetLayer();
            color = pPath->GetColor();
        }
        any = true;
    });
    if (!any) return;
    pCombined->SetLayer(char(layer), 0);
    pCombined->SetColor(color);
    pCombined->m_path.Invalidate(SP_ALL_INVALID);
    pCombined->m_path.Prepare();
    pCombined->RefreshBBox();
    pCombined->UpdateStamp();
    // Selected objects without a path (nothing of them went into the new one) stay.
    for (int i = GetSize() - 1; i >= first; --i)
        if (gave[std::size_t(i)]) ObArrayDeleteAt(*this, i, 1);
    for (int i = 0; i < GetSize(); ++i)
        GetObj(i)->Unselect();
    pCombined->Select();
    InsertAt(first, pCombined.release());
    RefreshBounds(1);
    CountLayerObjects();
    UpdateSelection();
}

void CSign::SimplifySelection() {
    struct Split {
        CPathObj* pOld;
        bool selected;
    };
    std::vector<Split> splits;
    ForEachSelectedPath(*this, [&](int index, CPathObj* pPath) {
        if (pPath->m_path.subPaths.Filled() > 1) splits.push_back({pPath, GetObj(index) == pPath});
    });
    for (const Split& s : splits) {
        auto pGroup = std::make_unique<CGroupObj>();
        for (const SubPath& sp : s.pOld->m_path.subPaths) {
            auto* pPiece = new CPathObj;
            pGroup->m_children.Add(pPiece);
            SubPath copy(sp);
            pPiece->m_path.AddSubPath(copy);
            pPiece->m_path.Invalidate(SP_ALL_INVALID);
            pPiece->m_path.Prepare();
            pPiece->SetColor(s.pOld->GetColor());
            pPiece->SetLayer(char(s.pOld->GetLayer()), 0);
            pPiece->RefreshBBox();
            pPiece->UpdateStamp();
        }
        pGroup->RefreshBBox();
        if (s.selected) pGroup->Select();
        ReplaceObject(s.pOld, pGroup.release());
    }
    UpdateSelection();
}

void CSign::SelectByColor(COLORREF color) {
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (pObj->m_bLocked || !IsLayerVisible(pObj->GetLayer())) continue;
        if (pObj->GetColor() == color) pObj->Select();
    }
}

void CSign::DeleteSelected() {
    for (int i = GetSize() - 1; i >= 0; --i) {
        if (GetObj(i)->m_bSelected) ObArrayDeleteAt(*this, i, 1);
    }
    RefreshBounds(1);
}

void CSign::DuplicateSelection() {
    COwnedObArray copies;
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (!pObj->m_bSelected) continue;
        copies.Add(pObj->Duplicate());
        pObj->Unselect();
    }
    for (int i = 0; i < copies.GetSize(); ++i) {
        auto* pCopy = static_cast<CSignObj*>(copies.GetAt(i));
        pCopy->Select();
        pCopy->RefreshBBox();
        Add(pCopy);
        copies.SetAt(i, nullptr);
    }
    UpdateSelection();
}

void CSign::GroupSelection() {
    // The new group adds one level to what it takes in: refused when the walkers could no
    // longer reach the deepest object.
    int height = 1;
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (pObj->m_bSelected) height = std::max(height, TreeHeight(pObj));
    }
    if (height + 1 > MaxTreeLevels) return;

    auto* pGroup = new CGroupObj;
    for (int i = 0; i < GetSize();) {
        CSignObj* pObj = GetObj(i);
        if (pObj->m_bSelected) {
            pGroup->m_children.Add(pObj);
            RemoveAt(i);
        } else {
            ++i;
        }
    }
    pGroup->RefreshBBox();
    pGroup->Select();
    Add(pGroup);
    UpdateSelection();
}

void CSign::UngroupSelection() {
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (!pObj->m_bSelected || !pObj->IsGroup() || !pObj->CanUngroup()) continue;
        auto* pGroup = static_cast<CGroupObj*>(pObj);
        RemoveAt(i);
        const int count = pGroup->m_children.GetSize();
        for (int c = 0; c < count; ++c) {
            CSignObj* pChild = pGroup->GetChild(c);
            pChild->Select();
            InsertAt(i + c, pChild);
        }
        pGroup->m_children.RemoveAll();
        delete pGroup;
        i += count - 1;
    }
    UpdateSelection();
}

void CSign::BreakApartSelection() {
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (!pObj->m_bSelected || !pObj->IsKindOf(RUNTIME_CLASS(CPathObj))) continue;
        auto* pPathObj = static_cast<CPathObj*>(pObj);
        COwnedObArray pieces;
        for (const SubPath& sp : pPathObj->m_path.subPaths) {
            auto* pPiece = new CPathObj;
            pieces.Add(pPiece);
            SubPath copy(sp);
            pPiece->m_path.AddSubPath(copy);
            pPiece->m_path.Invalidate(SP_ALL_INVALID);
            pPiece->m_path.Prepare();
            pPiece->SetColor(pPathObj->GetColor());
            pPiece->SetLayer(char(pPathObj->GetLayer()), 0);
            pPiece->CopyAttributes(pPathObj);
            pPiece->UpdateStamp();
            pPiece->Select();
        }
        RemoveAt(i);
        delete pPathObj;
        const int count = pieces.GetSize();
        for (int k = 0; k < count; ++k) {
            InsertAt(i + k, pieces.GetAt(k));
            pieces.SetAt(k, nullptr);
        }
        i += count - 1;
    }
    UpdateSelection();
}

BOOL CSign::AcceptsTransform(const floatTMatrix& m) {
    if (m.m11 == 0 || m.m22 == 0) return 0;
    // A matrix with an infinite or undefined entry would store NaN in every object it touched.
    for (float v : {m.m11, m.m12, m.m21, m.m22, m.dx, m.dy})
        if (!std::isfinite(v)) return 0;
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (pObj->m_bSelected && !pObj->AcceptsTransform(m)) return 0;
    }
    return 1;
}

void CSign::TransformObjects(const floatTMatrix& m, int selectedOnly) {
    if (m.IsIdentMatrix()) return;
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (!selectedOnly || pObj->m_bSelected) pObj->Transform(m);
    }
}

BOOL CSign::CanDistortSelection() {
    if (IsEmpty()) return 0;
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (pObj->m_bSelected && !pObj->CanDistort()) return 0;
    }
    return 1;
}

void CSign::DistortSelection(NonLinearTrans* pTrans, int flag) {
    if (!flag || pTrans == nullptr) return;
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (pObj->m_bSelected && pObj->CanDistort()) pObj->Distort(*pTrans);
    }
}

CSignObj* CSign::HitTest(floatPoint& p, float tolerance, int mode, int arg) {
    if (!m_bbExtent.IsInside(p, tolerance)) return nullptr;
    for (int layer = 127; layer >= -127; --layer) {
        if (m_nLayerCount[layer + 128] == 0 || !m_bLayerVisible[layer + 128]) continue;
        for (int i = GetSize() - 1; i >= 0; --i) {
            CSignObj* pHit = GetObj(i)->HitTest(p, layer, tolerance, mode, arg);
            if (pHit != nullptr) return pHit;
        }
    }
    return nullptr;
}

BOOL CSign::CanExportTo(const char* format, int selectedOnly) {
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if ((!selectedOnly || pObj->m_bSelected) && !pObj->CanExportTo(format)) return 0;
    }
    return 1;
}

BOOL CSign::WriteColorPaths(ColorWPFWriter& writer, const floatTMatrix& m, int selectedOnly,
                            int flags) {
    BOOL result = 1;
    ForEachDrawnLayer([&](int layer) {
        for (int i = 0; i < GetSize(); ++i) {
            CSignObj* pObj = GetObj(i);
            if (selectedOnly && !pObj->m_bSelected) continue;
            if (!pObj->BuildColorPath(writer, m, layer, flags)) result = 0;
        }
    });
    return result;
}

void CSign::DrawGdiPaths(CDC* pDC, int selectedOnly, int mode, float scale) {
    const floatBBox* pBox = selectedOnly ? &m_bbSelection : &m_bbExtent;
    ForEachDrawnLayer([&](int layer) {
        for (int i = 0; i < GetSize(); ++i) {
            CSignObj* pObj = GetObj(i);
            if (!selectedOnly || pObj->m_bSelected)
                pObj->DrawGdiPath(pDC, pBox, layer, mode, scale);
        }
    });
}

void CSign::Draw(CDC* pDC, const floatTMatrix& m, int selectedOnly) {
    ForEachDrawnLayer([&](int layer) {
        for (int i = 0; i < GetSize(); ++i) {
            CSignObj* pObj = GetObj(i);
            if (!selectedOnly || pObj->m_bSelected) pObj->Draw(pDC, m, layer);
        }
    });
}

void CSign::WriteIllustrator(AIWriter& writer, int selectedOnly) {
    ForEachDrawnLayer([&](int layer) {
        for (int i = 0; i < GetSize(); ++i) {
            CSignObj* pObj = GetObj(i);
            if (!selectedOnly || pObj->m_bSelected) pObj->WriteIllustrator(writer, layer);
        }
    });
}

void CSign::ReplaceObject(CSignObj* pOld, CSignObj* pNew) {
    if (pOld == pNew || pOld == nullptr) return;
    CObjTreeIterator it(this);
    it.First();
    // An old object that is not in the tree changes nothing.
    if (FindObjectBySerial(pOld->m_nSerial, it) != pOld) return;
    CObArray* pArray;
    int index;
    it.GetPosition(nullptr, nullptr, &index, &pArray);
    pArray->RemoveAt(index);
    if (pNew != nullptr) pArray->InsertAt(index, pNew);
    delete pOld;
}

void CSign::LockSelection() {
    CObjTreeIterator it(this);
    for (it.First(); !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj != nullptr && pObj->m_bSelected) {
            pObj->m_bLocked = 1;
            pObj->m_bSelected = 0;
        }
    }
}

void CSign::UnlockAll() {
    CObjTreeIterator it(this);
    for (it.First(); !it.IsDone(); it.Next()) {
        if (CSignObj* pObj = it.Current()) pObj->m_bLocked = 0;
    }
}

void CSign::SetSelectionFill(CFillObj* pFill) {
    CObjTreeIterator it(this);
    for (it.First(); !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj != nullptr && pObj->m_bSelected) pObj->SetFill(pFill);
    }
}

void CSign::SetSelectionTransparency(CFillObj* pFill) {
    for (int i = 0; i < GetSize(); ++i) {
        CSignObj* pObj = GetObj(i);
        if (pObj->m_bSelected) pObj->SetTransparencyFill(pFill);
    }
}

void CSign::CountLayerObjects() {
    std::memset(m_nLayerCount, 0, sizeof m_nLayerCount);
    CObjIterator it(this);
    for (it.First(); CSignObj* pObj = it.Current(); it.Next())
        ++m_nLayerCount[pObj->GetLayer() + 128];
}

int CSign::GetObjectOrdinal(DWORD serial) {
    if (serial == 0) return -1;
    CObjTreeIterator it(this);
    for (it.First(); !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj != nullptr && pObj->m_nSerial == serial) return it.GetOrdinal();
    }
    return -1;
}

// Transparency needs raster printing on every printer; texture fills and, when asked,
// bitmap objects on printers without PostScript pass-through.
BOOL CSign::NeedsRasterPrinting(CDC* pDC, int bitmapFlag) {
    const BOOL passThrough = Gradient::IsPostScriptDevice(pDC);
    const CRuntimeClass* pBitmapClass = CRuntimeClass::FromName("CBitmapObj");
    CObjTreeIterator it(this);
    for (it.First(); !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj == nullptr) continue;
        if (pObj->m_fTransparency > 0 || pObj->m_pTransparencyFill != nullptr) return 1;
        if (passThrough) continue;
        if (IsTextureFill(pObj->m_pFill)) return 1;
        if (bitmapFlag >= 1 && pBitmapClass != nullptr && pObj->IsKindOf(pBitmapClass)) return 1;
    }
    return 0;
}

void RemoveEmptyObjects(CObArray& array) {
    for (int i = array.GetSize() - 1; i >= 0; --i) {
        auto* pObj = static_cast<CSignObj*>(array.GetAt(i));
        if (pObj == nullptr) continue;
        if (pObj->IsGroup()) {
            auto* pGroup = static_cast<CGroupObj*>(pObj);
            RemoveEmptyObjects(pGroup->m_children);
            if (pGroup->m_children.IsEmpty()) ObArrayDeleteAt(array, i, 1);
        } else if (pObj->IsKindOf(RUNTIME_CLASS(CPathObj))) {
            auto* pPathObj = static_cast<CPathObj*>(pObj);
            if (pPathObj->IsEditable() && pPathObj->m_path.subPaths.Filled() == 0)
                ObArrayDeleteAt(array, i, 1);
        }
    }
}

void ReadWPFObjects(ColorWPFReader& reader, CObArray& out) {
    auto pGroup = std::make_unique<CGroupObj>();
    for (;;) {
        ColorPath read;
        if (!reader.Read(read)) break;
        read.ClosePath();
        if (read.subPaths.Filled() == 0) continue;
        read.subPaths.Compact();
        read.Prepare();
        auto* pObj = new CPathObj;
        pGroup->m_children.Add(pObj);
        static_cast<Path&>(pObj->m_path) = Path(read);
        pObj->m_path.colour = read.colour;
        pObj->m_path.layer = read.layer;
        pObj->m_path.pathFlags = read.pathFlags;
        if (reader.frameColor != -1) {
            pObj->m_clrOutline = COLORREF(reader.frameColor);
            pObj->m_fOutlineWidth = reader.frameWidth;
        }
        pObj->RefreshBBox();
        pObj->UpdateStamp();
    }
    const int count = pGroup->m_children.GetSize();
    if (count > 1) {
        pGroup->RefreshBBox();
        out.Add(pGroup.get());
        pGroup.release();
    } else if (count == 1) {
        out.Add(pGroup->m_children.GetAt(0));
        pGroup->m_children.RemoveAll();
    }
}
