#pragma once
// References to what is selected on one node (a set of its points) or on one segment (a curve
// parameter).

#include "geomkit/WObject.h"
#include "win32/base.h"

class GEOMKIT_API WBezierRef : public WObject {
public:
    ~WBezierRef() override;
    virtual int IsNodeRef() const;

protected:
    WBezierRef() = default;
};

class GEOMKIT_API WNodeRef : public WBezierRef {
public:
    // Point types of a node (WNode::ePointType): 0 anchor, 1 first, 2 second control point.
    WNodeRef() : m_types(0) {}
    ~WNodeRef() override;
    int IsNodeRef() const override;

    // Types outside 0..2 are ignored.
    void Add(int type) {
        if (type >= 0 && type <= 2) m_types |= BYTE(1u << type);
    }
    int Contains(int type) const { return type >= 0 && type <= 2 ? (m_types >> type) & 1 : 0; }
    int IsEmpty() const { return m_types == 0; }

private:
    BYTE m_types;
};

class GEOMKIT_API WSegmentRef : public WBezierRef {
public:
    WSegmentRef() : m_t(0) {}
    explicit WSegmentRef(float t) : m_t(t) {}
    ~WSegmentRef() override;
    int IsNodeRef() const override;

    void Initialize(float t) { m_t = t; }
    float GetParam() const { return m_t; }

private:
    float m_t;
};
