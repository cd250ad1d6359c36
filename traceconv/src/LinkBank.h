#pragma once
// A fixed-size node store: a free list over blocks of equal nodes. Taking from an empty
// free list allocates one more block; blocks are freed only with the store.

#include <cstddef>

class LinkBank {
public:
    LinkBank(unsigned maxBlocks, unsigned nodesPerBlock, std::size_t nodeSize);
    ~LinkBank();
    LinkBank(const LinkBank&) = delete;
    LinkBank& operator=(const LinkBank&) = delete;

    // A node; sLinkBankFull when every block is in use and the table is full, NoMemory when
    // a block cannot be had.
    void* Take();
    void Release(void* node);
    // Every node of every block back on the free list (after a trace left nodes behind).
    void ReleaseAll();
    // Limits the blocks to n (0: the store's own maximum); blocks held stay.
    void SetBlockLimit(unsigned n);
    unsigned BlocksHeld() const { return blockCount; }

private:
    struct FreeNode {
        FreeNode* next;
    };
    void PushBlock(char* block);

    unsigned maxBlocks;
    unsigned blockLimit;
    unsigned nodesPerBlock;
    std::size_t nodeSize;
    char** blocks;
    unsigned blockCount = 0;
    FreeNode* freeList = nullptr;
};
