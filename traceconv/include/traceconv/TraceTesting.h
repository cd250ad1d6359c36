#pragma once
// Test hook: lowers the block limits of the tracer's three node stores (points in blocks of
// 5,000, references and outlines in blocks of 200). 0 restores a store's own limit (100,
// 200 and 200 blocks).

#include "traceconv/export.h"

extern "C" TRACECONV_API void TraceSetStoreLimits(int pointBlocks, int referenceBlocks,
                                                  int outlineBlocks);
