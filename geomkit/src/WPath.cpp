#include "geomkit/WPath.h"

#include "geomkit/KArchive.h"
#include "geomkit/WInterruptHandler.h"
#include "geomkit/WKeyedListIterator.h"
#include "geomkit/WQInsidePath.h"
#include "geomkit/WQInsideSubPath.h"
#include "geomkit/WQuestionPath.h"
#include "geomkit/WSliceSubPathIntoLines.h"
#include "geomkit/WTransMatrix.h"

namespace {

// From this key on, new keys are found by the list's successor search.
constexpr long kLastCountedKey = 2147483647;

} // namespace

WPath::WPath() : m_list(new SubPathList), m_bboxDirty(1), m_nextKey(0) {}

WPath::WPath(const WPath& src) : WPath() {
    Initialize(src, 0);
}

WPath::~WPath() = default;

// ---- archive

void WPath::Serialize(KArchive& ar) {
    if (ar.IsStoring()) {
        ar.StoreVersion(1);
        const int count = GetSize();
        ar.StoreCount(count);
        for (int i = 0; i < count; ++i) {
            SubPathPtr sp = GetSubPathByIndex(i);
            if (sp)
                sp->Serialize(ar);
            else
                SubPath().Serialize(ar);
        }
        return;
    }
    int version = 0;
    ar.LoadVersion(version); // any version is read the same way
    Clear();
    int count = 0;
    ar.LoadCount(count);
    for (int i = 0; i < count; ++i) {
        SubPathPtr sp(new SubPath);
        sp->Serialize(ar);
        if (!sp->IsEmpty()) Add(sp, -1, 0, 0);
    }
}

// ---- construction and copying

int WPath::Initialize(const COXSPtr<WPath>& p) {
    return Initialize(*p, 0);
}

int WPath::Initialize(const WPath& src, int keepKeys) {
    if (&src == this) return 1;
    // Held for the copy: clearing this path must not free what src still walks.
    const COXSPtr<SubPathList> list = src.m_list;
    Clear();
    m_bbox = src.m_bbox;
    m_bboxDirty = src.m_bboxDirty;
    for (int i = 0; i < list->GetSize(); ++i) {
        SubPathPtr sp = list->GetByIndex(i);
        if (!sp) continue;
        long key;
        if (!Insert(sp->Copy(), -1, keepKeys, key)) return 0;
    }
    return 1;
}

COXSPtr<WPath> WPath::Copy() const {
    COXSPtr<WPath> copy(new WPath);
    if (!copy->Initialize(*this, 1)) copy = COXSPtr<WPath>(new WPath);
    return copy;
}

COXSPtr<WPath> WPath::LinearTrans(const WTransMatrix& m) const {
    COXSPtr<WPath> copy = Copy();
    copy->AcceptLinearTrans(m);
    return copy;
}

// ---- collection

int WPath::Insert(const SubPathPtr& subPath, int position, int useOwnKey, long& key) {
    m_bbox.Expand(subPath->GetBBox());
    key = useOwnKey ? subPath->GetKey() : m_nextKey;
    int index;
    if (key < kLastCountedKey) {
        index = m_list->Add(subPath, key, position, 0, 1);
        if (index >= 0 && key + 1 > m_nextKey) m_nextKey = key + 1;
    } else {
        index = m_list->Add(subPath, key, position, 1, 1);
        if (index >= 0) m_list->GetKeyAt(index, key);
    }
    subPath->SetKey(key);
    return index >= 0;
}

// The key check is made also when noKeyCheck asks to skip it: two entries under one key would
// break the list's index.
long WPath::Add(const SubPathPtr& subPath, int position, int useOwnKey, int /*noKeyCheck*/) {
    if (!subPath) return eEmptySubPath;
    long key;
    // The list answers −2 for a key in use and −1 for a bad position: both are a refusal here,
    // and −2 stays reserved for an empty sub-path.
    if (!Insert(subPath, position, useOwnKey, key)) return eRefused;
    return key;
}

int WPath::Add(const COXSPtr<WPath>& other) {
    if (!other) return 0;
    // Held for the walk: other may be this path.
    const COXSPtr<SubPathList> list = other->m_list;
    const int count = list->GetSize();
    int result = 1;
    for (int i = 0; i < count; ++i) {
        SubPathPtr sp = list->GetByIndex(i);
        long key;
        if (!sp || !Insert(sp->Copy(), -1, 0, key)) result = 0;
    }
    return result;
}

int WPath::MoveSubPathInList(int index, int delta) {
    return m_list->Move(index, delta);
}

WPath::SubPathPtr WPath::GetSubPathByKey(long key) const {
    return m_list->GetByKey(key);
}

WPath::SubPathPtr WPath::GetSubPathByIndex(int index) const {
    return m_list->GetByIndex(index);
}

long WPath::GetKey(int index) const {
    long key;
    return m_list->GetKeyAt(index, key) ? key : -1;
}

int WPath::GetIndex(long key) const {
    return m_list->GetIndex(key);
}

int WPath::RemoveByKey(long key) {
    m_bboxDirty = 1;
    const int index = m_list->GetIndex(key);
    return index >= 0 ? m_list->RemoveAt(index) : 0;
}

int WPath::RemoveByIndex(int index) {
    m_bboxDirty = 1;
    return m_list->RemoveAt(index);
}

int WPath::RemoveByAddress(SubPath* subPath) {
    for (int i = 0; i < GetSize(); ++i)
        if (m_list->GetByIndex(i).Get() == subPath) return RemoveByIndex(i);
    return 0;
}

COXSPtr<WIterator<WPath::SubPathPtr>> WPath::CreateIterator() {
    return COXSPtr<WIterator<SubPathPtr>>(new WKeyedListIterator<SubPathPtr>(m_list));
}

COXSPtr<WIterator<long>> WPath::CreateKeyIterator() {
    return COXSPtr<WIterator<long>>(new WKeyedListKeyIterator<SubPathPtr, long>(m_list));
}

int WPath::GetSize() const {
    return m_list ? m_list->GetSize() : 0;
}

int WPath::IsEmpty() const {
    return !m_list || m_list->IsEmpty();
}

void WPath::Clear() {
    m_list->Clear();
    m_bbox.Invalidate();
    m_bboxDirty = 1;
    m_nextKey = 0;
}

long WPath::GetAllocatedMemory() const {
    long bytes = sizeof(WPath);
    for (int i = 0; i < GetSize(); ++i) {
        bytes += sizeof(SubPathPtr);
        if (SubPathPtr sp = m_list->GetByIndex(i))
            bytes += long(sizeof(SubPath) + sizeof(WNode) * sp->GetNodeCount());
    }
    return bytes;
}

// ---- boxes

WBoundingBox WPath::GetBBox() {
    return m_bboxDirty ? RecalculateBBox(0) : m_bbox;
}

WBoundingBox WPath::RecalculateBBox(int deep) {
    m_bbox.Invalidate();
    m_bboxDirty = 1;
    for (int i = 0; i < GetSize(); ++i) {
        SubPathPtr sp = m_list->GetByIndex(i);
        if (sp) m_bbox.Expand(deep ? sp->RecalculateBBox() : sp->GetBBox());
    }
    if (m_bbox.IsValid()) m_bboxDirty = 0;
    return m_bbox;
}

WBoundingBox WPath::GetControlBBox() const {
    WBoundingBox box;
    for (int i = 0; i < GetSize(); ++i)
        if (SubPathPtr sp = m_list->GetByIndex(i)) box.Expand(sp->GetControlBBox());
    return box;
}

// ---- transforms

void WPath::AcceptLinearTrans(const WTransMatrix& m) {
    if (IsEmpty()) return;
    for (int i = 0; i < GetSize(); ++i)
        if (SubPathPtr sp = m_list->GetByIndex(i)) sp->AcceptLinearTrans(m);
    if (m.IsSimpleTrafo())
        m_bbox.AcceptLinearTrans(m);
    else
        m_bboxDirty = 1;
}

void WPath::Move(double dx, double dy) {
    WTransMatrix m;
    m.Translate(dx, dy);
    AcceptLinearTrans(m);
}

void WPath::Scale(double sx, double sy) {
    WTransMatrix m;
    m.Scale(sx, sy);
    AcceptLinearTrans(m);
}

// ---- queries

int WPath::Question(const COXSPtr<WQuestionPath>& q) {
    return q->Answer(this);
}

int WPath::HitTest(const WPont<float>& p, float tol) {
    if (!GetBBox().IsInsideWithTolerance(p, tol)) return 0;
    return HitTestOnSubPaths(p, tol) ? 1 : 0;
}

WPath::SubPathPtr WPath::HitTestOnSubPaths(const WPont<float>& p, float tol) {
    for (int i = 0; i < GetSize(); ++i) {
        SubPathPtr sp = m_list->GetByIndex(i);
        if (sp && !sp->IsEmpty() && sp->HitTest(p, tol, nullptr, nullptr)) return sp;
    }
    return SubPathPtr();
}

int WPath::IsPointInside(const WPont<float>& p) {
    WQInsidePath q;
    q.Initialize(p);
    return q.Answer(this);
}

// ---- drawing

void WPath::DrawSubPaths(WAbsPrimDrawingDevice* device, const WBoundingBox& box, int kinds) {
    for (int i = 0; i < GetSize(); ++i) {
        SubPathPtr sp = m_list->GetByIndex(i);
        if (!sp || sp->IsEmpty()) continue;
        if ((kinds == 1 && !sp->IsClosed()) || (kinds == 2 && sp->IsClosed())) continue;
        sp->Draw(device, box);
    }
}

void WPath::Draw(WAbsPrimDrawingDevice* device, const WBoundingBox& box, int) {
    DrawSubPaths(device, box, 0);
}

void WPath::DrawClosedSubPaths(WAbsPrimDrawingDevice* device, const WBoundingBox& box, int) {
    DrawSubPaths(device, box, 1);
}

void WPath::DrawOpenedSubPaths(WAbsPrimDrawingDevice* device, const WBoundingBox& box, int) {
    DrawSubPaths(device, box, 2);
}

void WPath::InterruptableDraw(WInterruptHandler* handler, WAbsPrimDrawingDevice* device,
                              const WBoundingBox& box) {
    for (int i = 0; i < GetSize(); ++i) {
        if (handler && handler->CheckInterrupt()) return;
        SubPathPtr sp = m_list->GetByIndex(i);
        if (sp && !sp->IsEmpty()) sp->Draw(device, box);
    }
}

// ---- analysis

void WPath::ComputeDirection() {
    for (int i = 0; i < GetSize(); ++i)
        if (SubPathPtr sp = m_list->GetByIndex(i)) sp->ComputeDirection();
}

void WPath::ComputeContainment() {
    const int count = GetSize();
    for (int s = 0; s < count; ++s) {
        SubPathPtr inner = m_list->GetByIndex(s);
        if (!inner) continue;
        inner->SetContainmentDepth(0);
        if (inner->GetNodeCount() <= 1) continue;
        const WBoundingBox innerBox = inner->GetBBox();
        int depth = 0;
        for (int t = 0; t < count; ++t) {
            SubPathPtr outer = m_list->GetByIndex(t);
            if (t == s || !outer || !outer->IsClosed() || !outer->GetBBox().Consist(innerBox))
                continue;
            // A point just beside the middle of the first segment, on the inner side.
            WSegment segment;
            inner->GetSegment(0, segment);
            WPont<float> probe = segment.CoordAtParam(0.5);
            const WVektor<float> g = segment.GradientAtParam(0.5);
            if (inner->GetDirection() == 0) inner->ComputeDirection();
            const WVektor<float> side =
                inner->GetDirection() == 1 ? WVektor<float>(g.y, -g.x) : WVektor<float>(-g.y, g.x);
            if (side.x > 0)
                probe.x += 0.001f;
            else if (side.x < 0)
                probe.x -= 0.001f;
            if (side.y > 0)
                probe.y += 0.001f;
            else if (side.y < 0)
                probe.y -= 0.001f;
            WQInsideSubPath q;
            q.Initialize(probe);
            if (q.Answer(outer.Get()) == 1) ++depth;
        }
        inner->SetContainmentDepth(depth);
    }
}

void WPath::Normalize() {
    if (IsEmpty()) return;
    ComputeDirection();
    ComputeContainment();
    for (int i = 0; i < GetSize(); ++i) {
        SubPathPtr sp = m_list->GetByIndex(i);
        if (!sp || sp->IsEmpty() || !sp->IsClosed()) continue;
        const bool odd = (sp->GetContainmentDepth() & 1) != 0;
        if ((odd && sp->GetDirection() == -1) || (!odd && sp->GetDirection() == 1)) sp->Reverse();
    }
}

COXSPtr<WPath> WPath::SliceIntoLines() {
    COXSPtr<WPath> result(new WPath);
    for (int i = 0; i < GetSize(); ++i) {
        SubPathPtr source = m_list->GetByIndex(i);
        SubPathPtr target(new SubPath);
        if (source) {
            WSliceSubPathIntoLines slicer;
            slicer.SliceSubPath(source, target);
        }
        result->Add(target, -1, 0, 0);
    }
    return result;
}
