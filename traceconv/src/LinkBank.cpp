#include "LinkBank.h"

#include <cstdlib>
#include <new>

#include "traceconv/sLinkBankFull.h"

LinkBank::LinkBank(unsigned maxBlocks, unsigned nodesPerBlock, std::size_t nodeSize)
    : maxBlocks(maxBlocks), blockLimit(maxBlocks), nodesPerBlock(nodesPerBlock),
      nodeSize(nodeSize < sizeof(FreeNode) ? sizeof(FreeNode) : nodeSize),
      blocks(new char*[maxBlocks]) {}

LinkBank::~LinkBank() {
    for (unsigned i = 0; i < blockCount; ++i) std::free(blocks[i]);
    delete[] blocks;
}

void LinkBank::PushBlock(char* block) {
    // Pushed from the end so that the nodes come out in address order.
    for (unsigned i = nodesPerBlock; i-- > 0;) {
        auto* node = reinterpret_cast<FreeNode*>(block + i * nodeSize);
        node->next = freeList;
        freeList = node;
    }
}

void* LinkBank::Take() {
    if (!freeList) {
        if (blockCount >= blockLimit) throw sLinkBankFull();
        char* block = static_cast<char*>(std::malloc(nodesPerBlock * nodeSize));
        if (!block) throw NoMemory();
        blocks[blockCount++] = block;
        PushBlock(block);
    }
    FreeNode* node = freeList;
    freeList = node->next;
    return node;
}

void LinkBank::Release(void* node) {
    auto* n = static_cast<FreeNode*>(node);
    n->next = freeList;
    freeList = n;
}

void LinkBank::ReleaseAll() {
    freeList = nullptr;
    for (unsigned i = blockCount; i-- > 0;) PushBlock(blocks[i]);
}

void LinkBank::SetBlockLimit(unsigned n) {
    blockLimit = (n == 0 || n > maxBlocks) ? maxBlocks : n;
}
