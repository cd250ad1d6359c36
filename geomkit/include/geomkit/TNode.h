#pragma once
// A node that also links to its neighbours. The links are null after construction and after
// Init from a plain node; the two spare words travel only with assignment.

#include "geomkit/WNode.h"

class GEOMKIT_API TNode : public WNode {
public:
    TNode() = default;
    TNode(const TNode& n) = default;
    TNode& operator=(const TNode& n) = default;
    ~TNode() override;

    // The node's values; both links null.
    void Init(const WNode& n);
    // The node's values and both links.
    void Init(const TNode& n);

    // Unlinks this node: its previous node then links on to its next one.
    void PrepareToRemove() override;
    // Swaps the two links, then exchanges the vectors like a plain node.
    virtual void ReverseInPlace();

    TNode* GetPrev() const { return m_prev; }
    TNode* GetNext() const { return m_next; }
    void SetPrev(TNode* n) { m_prev = n; }
    void SetNext(TNode* n) { m_next = n; }

private:
    TNode* m_prev = nullptr;
    TNode* m_next = nullptr;
    long m_spare1 = 0;
    long m_spare2 = 0;
};
