#pragma once
// A whole outline: an ordered list of sub-paths, each filed under an integer key that stays
// the same while the order changes. The path caches the union of the sub-paths' boxes.
//
// The virtual operations keep their order: classes outside the library derive from this one.

#include "geomkit/COXSPtr.h"
#include "geomkit/WBoundingBox.h"
#include "geomkit/WIterator.h"
#include "geomkit/WKeyedList.h"
#include "geomkit/WObject.h"
#include "geomkit/WSubPath.h"

class WAbsPrimDrawingDevice;
class WInterruptHandler;
class WQuestionPath;
class WTransMatrix;

class GEOMKIT_API WPath : public WObject {
public:
    using SubPath = WSubPath<WNode, WSegment>;
    using SubPathPtr = COXSPtr<SubPath>;
    using SubPathList = WKeyedList<SubPathPtr>;

    // Results of Add besides the key.
    enum { eRefused = -1, eEmptySubPath = -2 };

    WPath();
    // Copies src's sub-paths under new keys.
    WPath(const WPath& src);
    WPath& operator=(const WPath&) = delete;
    ~WPath() override;

    using WObject::Serialize;
    // Version 1, sub-path count, the sub-paths. Loading replaces the content, drops empty
    // sub-paths and numbers the keys from 0.
    void Serialize(KArchive& ar) override;

    // Initialize(*p, 0); an empty p throws.
    virtual int Initialize(const COXSPtr<WPath>& p);
    // 1, or 0 at the first sub-path that could not be added (those before it stay).
    virtual int Initialize(const WPath& src, int keepKeys);
    // Keys kept.
    virtual COXSPtr<WPath> Copy() const;
    virtual WBoundingBox GetBBox();
    virtual WBoundingBox GetControlBBox() const;
    // deep makes every sub-path recalculate its own box first.
    virtual WBoundingBox RecalculateBBox(int deep);
    virtual int GetSize() const;
    // An estimate in bytes.
    virtual long GetAllocatedMemory() const;
    // Copies of other's sub-paths under new keys; 0 when other is empty or one failed.
    virtual int Add(const COXSPtr<WPath>& other);
    // The key, eRefused (key in use or bad position) or eEmptySubPath. position −1 appends.
    // The sub-path is given the key that was tried even when the insertion fails. A key in use
    // is refused whether or not noKeyCheck is set.
    virtual long Add(const SubPathPtr& subPath, int position, int useOwnKey, int noKeyCheck);
    virtual int MoveSubPathInList(int index, int delta);
    virtual SubPathPtr GetSubPathByKey(long key) const;
    virtual SubPathPtr GetSubPathByIndex(int index) const;
    // −1 when absent.
    virtual long GetKey(int index) const;
    virtual int GetIndex(long key) const;
    virtual int RemoveByKey(long key);
    virtual int RemoveByIndex(int index);
    virtual int RemoveByAddress(SubPath* subPath);
    virtual COXSPtr<WIterator<SubPathPtr>> CreateIterator();
    virtual COXSPtr<WIterator<long>> CreateKeyIterator();
    virtual int IsEmpty() const;
    virtual void Clear();
    // Sets each sub-path's containment depth.
    virtual void ComputeContainment();
    virtual void ComputeDirection();
    virtual void AcceptLinearTrans(const WTransMatrix& m);
    virtual COXSPtr<WPath> LinearTrans(const WTransMatrix& m) const;
    virtual void Move(double dx, double dy);
    virtual void Scale(double sx, double sy);
    virtual int Question(const COXSPtr<WQuestionPath>& q);
    virtual int HitTest(const WPont<float>& p, float tol);
    // The first non-empty sub-path within tol of p.
    virtual SubPathPtr HitTestOnSubPaths(const WPont<float>& p, float tol);
    virtual int IsPointInside(const WPont<float>& p);
    virtual void Draw(WAbsPrimDrawingDevice* device, const WBoundingBox& box, int unused = 0);
    virtual void DrawClosedSubPaths(WAbsPrimDrawingDevice* device, const WBoundingBox& box,
                                    int unused = 0);
    virtual void DrawOpenedSubPaths(WAbsPrimDrawingDevice* device, const WBoundingBox& box,
                                    int unused = 0);
    // Like Draw, asking handler before each sub-path; a non-zero answer stops.
    virtual void InterruptableDraw(WInterruptHandler* handler, WAbsPrimDrawingDevice* device,
                                   const WBoundingBox& box);

    void InvalidateBBox() { m_bboxDirty = 1; }
    // The cached box is then trusted as it is.
    void ValidateBBox() { m_bboxDirty = 0; }
    int IsBBoxDirty() const { return m_bboxDirty; }
    long GetNextKey() const { return m_nextKey; }
    // Outer outlines (even depth) run with direction −1, holes (odd depth) +1.
    void Normalize();
    // Every sub-path flattened into straight lines, as a new path.
    COXSPtr<WPath> SliceIntoLines();

private:
    // 1 when inserted; key is the key tried or chosen.
    int Insert(const SubPathPtr& subPath, int position, int useOwnKey, long& key);
    // kinds: 0 all, 1 closed only, 2 open only.
    void DrawSubPaths(WAbsPrimDrawingDevice* device, const WBoundingBox& box, int kinds);

    COXSPtr<SubPathList> m_list;
    WBoundingBox m_bbox;
    int m_bboxDirty;
    long m_nextKey;
};
