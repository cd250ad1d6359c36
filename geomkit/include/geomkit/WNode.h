#pragma once
// One node of a sub-path: an anchor with up to two Bezier control vectors (relative to the
// anchor) and a kind that says how the vectors stay in line while one of them is edited.

#include "geomkit/COXSPtr.h"
#include "geomkit/WBezierRef.h"
#include "geomkit/WObject.h"
#include "geomkit/WPont.h"
#include "win32/base.h"

class WBoundingBox;
class WTransMatrix;

class GEOMKIT_API WNode : public WObject {
public:
    // Kind bits.
    enum : BYTE {
        eFirstVector = 1,  // the first control vector is present
        eSecondVector = 2, // the second control vector is present
        eGeneral = 4,      // the vectors are independent
        eSmooth = 8,       // opposite directions, own lengths
        eSymmetric = 16,   // opposite directions, equal lengths
    };
    enum ePointType { eAnchor = 0, eFirstControl = 1, eSecondControl = 2 };

    WNode() : m_kind(0) {}
    WNode(const WNode& n);
    WNode& operator=(const WNode& n);
    ~WNode() override;

    void Initialize(const WPont<float>& p);
    void Initialize(const WVektor<float>& a, const WPont<float>& p);
    void Initialize(const WPont<float>& p, const WVektor<float>& b);
    void Initialize(const WVektor<float>& a, const WPont<float>& p, const WVektor<float>& b);
    void Initialize(const WNode& n) { *this = n; }
    void Initialize(const COXSPtr<WNode>& n) { *this = *n; }

    void Serialize(KArchive& ar) override;

    virtual COXSPtr<WNode> Copy() const;
    // Moves the referenced points: the whole node when ref holds the anchor, else the control
    // vectors it holds, keeping a smooth or symmetric node regular.
    virtual void AcceptLinearTrans(const WTransMatrix& m, const COXSPtr<WNodeRef>& ref);
    virtual void AcceptLinearTrans(const WTransMatrix& m);
    // Drags the referenced point by d; cursor, when given, is where the drag points to.
    virtual void AddVector(const WVektor<float>& d, const COXSPtr<WNodeRef>& ref,
                           const WPont<float>* cursor = nullptr);
    virtual WPont<float> GetPointAt(const COXSPtr<WNodeRef>& ref) const;
    virtual WVektor<float> GetNormalVectorAt(const COXSPtr<WNodeRef>& ref) const;
    // The single point type within tol of p (strictly), control points first when withControls.
    virtual COXSPtr<WBezierRef> IsPointNear(const WPont<float>& p, float tol, int withControls,
                                            int firstBeforeSecond) const;
    // Every point inside box (half-open); empty pointer when none.
    virtual COXSPtr<WNodeRef> IsInBox(const WBoundingBox& box, int withControls) const;
    // Called by a sub-path before it removes the node.
    virtual void PrepareToRemove();

    // If smooth: other becomes −v at other's own length; then if symmetric: other = −v.
    void KeepRegular(const WVektor<float>& v, WVektor<float>& other) const;
    // The node for the reversed direction: vectors and presence bits exchanged, other bits gone.
    WNode Reverse() const;
    // Exchanges the vectors and presence bits in place; the other bits stay.
    void ReverseInPlace();
    void MakeGeneral();
    void MakeSmooth();
    void MakeSymmetric();

    const WPont<float>& GetAnchor() const { return m_anchor; }
    void SetAnchor(const WPont<float>& p) { m_anchor = p; }
    const WVektor<float>& GetFirstVector() const { return m_first; }
    const WVektor<float>& GetSecondVector() const { return m_second; }
    // Set the vector and mark it present.
    void SetFirstVector(const WVektor<float>& v) {
        m_first = v;
        m_kind |= eFirstVector;
    }
    void SetSecondVector(const WVektor<float>& v) {
        m_second = v;
        m_kind |= eSecondVector;
    }
    // Zero the vector and mark it absent.
    void ClearFirstVector() {
        m_first = WVektor<float>();
        m_kind &= BYTE(~eFirstVector);
    }
    void ClearSecondVector() {
        m_second = WVektor<float>();
        m_kind &= BYTE(~eSecondVector);
    }
    WPont<float> GetFirstControlPoint() const { return m_anchor + m_first; }
    WPont<float> GetSecondControlPoint() const { return m_anchor + m_second; }

    BYTE GetKind() const { return m_kind; }
    void SetKind(BYTE kind) { m_kind = kind; }
    int HasFirstVector() const { return (m_kind & eFirstVector) != 0; }
    int HasSecondVector() const { return (m_kind & eSecondVector) != 0; }
    int IsGeneral() const { return (m_kind & eGeneral) != 0; }
    int IsSmooth() const { return (m_kind & eSmooth) != 0; }
    int IsSymmetric() const { return (m_kind & eSymmetric) != 0; }

private:
    // Changes only the length of vector (direction kept) towards the dragged target.
    static void StretchAlong(WVektor<float>& vector, const WVektor<float>& target);

    WPont<float> m_anchor;
    WVektor<float> m_first;
    WVektor<float> m_second;
    BYTE m_kind;
};
