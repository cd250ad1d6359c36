#include "geomkit/TNode.h"

TNode::~TNode() = default;

void TNode::Init(const WNode& n) {
    WNode::operator=(n);
    m_prev = m_next = nullptr;
}

void TNode::Init(const TNode& n) {
    WNode::operator=(n);
    m_prev = n.m_prev;
    m_next = n.m_next;
}

void TNode::PrepareToRemove() {
    if (m_prev) m_prev->m_next = m_next;
}

void TNode::ReverseInPlace() {
    TNode* t = m_prev;
    m_prev = m_next;
    m_next = t;
    WNode::ReverseInPlace();
}
