#pragma once
// One connected outline: an ordered array of nodes, open or closed. Segment i runs from node i
// to node i + 1; a closed sub-path has one more, from the last node back to node 0. Segments
// are built from the nodes on demand and never stored.
//
// The virtual operations keep their order: classes outside the library derive from this one.

#include <vector>

#include "geomkit/COXSPtr.h"
#include "geomkit/TNode.h"
#include "geomkit/WBoundingBox.h"
#include "geomkit/WIterator.h"
#include "geomkit/WNode.h"
#include "geomkit/WObject.h"
#include "geomkit/WPont.h"
#include "geomkit/WSegment.h"
#include "win32/base.h"

class WAbsPrimDrawingDevice;
class WDirectedAngleRange;
class WQuestionSubPath;
class WTransMatrix;

template <class TNodeT, class TSegmentT> class GEOMKIT_API WSubPath : public WObject {
public:
    // Attribute bits; the bits other than closed are kept and stored but not interpreted.
    enum : BYTE { eClosed = 1 };
    // FindExtremePoint kinds.
    enum { eMaxX = 0, eMinX = 1, eMaxY = 2, eMinY = 3 };

    WSubPath();
    WSubPath(const WSubPath& src);
    WSubPath& operator=(const WSubPath& src);
    ~WSubPath() override;

    using WObject::Serialize;
    // Attribute byte, node count, the nodes.
    void Serialize(KArchive& ar) override;

    // Everything but the mark, which becomes 0.
    virtual void Initialize(const WSubPath& src);
    // Removes the nodes; attributes, key, depth and direction stay.
    virtual void Clear();
    // 0 when nothing would be drawn: no nodes, or all anchors within 0.00001 and no vectors.
    virtual int HasExtent() const;
    virtual WBoundingBox GetBBox();
    // Anchors and control points; not cached.
    virtual WBoundingBox GetControlBBox() const;
    virtual WBoundingBox RecalculateBBox();
    virtual BYTE GetFlags() const;
    virtual void SetMark();
    virtual void ClearMark();
    virtual COXSPtr<WSubPath> Copy() const;
    // GetCurrent gives the node at the position.
    virtual COXSPtr<WIterator<TNodeT*>> CreateNodeIterator();
    // GetCurrent gives a new segment, or null when done; the caller deletes it.
    virtual COXSPtr<WIterator<TSegmentT*>> CreateSegmentIterator();
    // index −1 appends; an index past the end first pads with default nodes.
    virtual int InsertNode(const TNodeT& node, int index, int updateBox);
    virtual int AppendNodes(const TNodeT* nodes, int count);
    // index names the segment by its end node (0 and the count both name the closing segment
    // of a closed sub-path); 0 < t < 1.
    virtual int SplitSegment(int index, double t);
    // 0 when closed or when segment does not start at the last anchor.
    virtual int AppendSegment(const TSegmentT& segment);
    virtual int AppendSubPath(const COXSPtr<WSubPath>& other, int closeWhenMeeting);
    // Starts again with one node.
    virtual int MoveTo(float x, float y);
    // 0 on a closed sub-path.
    virtual int LineTo(float x, float y);
    // Vectors relative to the last anchor and to point; appends to a closed sub-path too.
    virtual int CurveTo(const WVektor<float>& out, const WVektor<float>& in,
                        const WPont<float>& point);
    virtual int CurveTo(float ox, float oy, float ix, float iy, float x, float y);
    // Replaces the sub-path by an arc of at most a quarter turn per segment.
    virtual void MakeArc(const WPont<float>& center, double radius,
                         const WDirectedAngleRange& range);
    // Null when i is out of range.
    virtual TNodeT* GetNode(int i);
    // For callers that have checked i; still null out of range.
    virtual TNodeT* GetNodeUnchecked(int i);
    // A default node when i is out of range.
    virtual TNodeT GetNodeCopy(int i) const;
    // 0 when node i has no next node.
    virtual int GetSegment(int i, TSegmentT& segment) const;
    // A new segment the caller deletes, or null.
    virtual TSegmentT* CreateSegment(int i) const;
    virtual int GetSegmentCount() const;
    virtual int RemoveNode(int i);
    // Closed: opens it at segment n (empty result). Open: keeps nodes 0..n and returns the rest.
    virtual COXSPtr<WSubPath> OpenAtSegment(int n);
    // Rotates the nodes so that node n comes first.
    virtual int SetStartNode(int n);
    virtual int FindExtremePoint(int kind, int& index, double& t);
    virtual int SetSegment(int i, const TSegmentT& segment);
    // Replaces the nodes from..to (wrapping on a closed sub-path) by replacement, whose end
    // anchors must lie on those of node from and node to.
    virtual int ReplaceNodeRange(int from, int to, const COXSPtr<WSubPath>& replacement);
    // Doubles node n and opens there.
    virtual COXSPtr<WSubPath> OpenAtNode(int n);
    virtual void Close();
    virtual void Open();
    virtual int IsClosed() const;
    virtual void Reverse();
    // +1 or −1 (−1 runs anticlockwise with y up), 0 when open or fewer than 2 nodes.
    virtual int ComputeDirection();
    virtual int IsEmpty() const;
    virtual int GetNodeCount() const;
    virtual TNodeT* GetLastNode();
    // 1 and the next (previous) node index; 0 at the end of an open sub-path.
    virtual int NextNodeIndex(int& i) const;
    virtual int PrevNodeIndex(int& i) const;
    virtual int Question(const COXSPtr<WQuestionSubPath>& q);
    // 1 when p lies within tol of the outline; segmentIndex and t may be null.
    virtual int HitTest(const WPont<float>& p, float tol, int* segmentIndex, float* t);
    virtual int Draw(WAbsPrimDrawingDevice* device, const WBoundingBox& box);
    virtual void AcceptLinearTrans(const WTransMatrix& m);
    virtual COXSPtr<WSubPath> LinearTrans(const WTransMatrix& m) const;
    virtual double GetLength() const;
    virtual void SetKey(long key);
    virtual long GetKey() const;
    virtual int SwapNodes(int a, int b);

    const TNodeT* GetNode(int i) const;
    int IsMarked() const { return m_mark; }
    int IsBBoxDirty() const { return m_bboxDirty; }
    int GetContainmentDepth() const { return m_depth; }
    void SetContainmentDepth(int depth) { m_depth = depth; }
    // 0 until ComputeDirection ran.
    int GetDirection() const { return m_direction; }
    void SetDirection(int direction) { m_direction = direction; }

protected:
    // Grows the cached box by a segment, by its exact extremes where a control point lies
    // outside the box built so far.
    void GrowBBox(const TSegmentT& segment);
    void GrowByExtremes(const TSegmentT& segment);
    void RemoveNodeAt(int i);

    std::vector<TNodeT> m_nodes;
    WBoundingBox m_bbox;
    int m_bboxDirty;
    int m_mark;
    long m_key;
    BYTE m_attributes;
    int m_depth;
    int m_direction;
};

extern template class WSubPath<WNode, WSegment>;
extern template class WSubPath<TNode, WSegment>;
