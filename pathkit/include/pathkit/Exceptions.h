#pragma once
// The library's exceptions: empty objects thrown by value. Everything but Eof can be
// caught as RuntimeError. Default visibility so that a catch in another module matches.

#include "pathkit/export.h"

class PATHKIT_API RuntimeError {};

// The guarded allocator returned null.
class PATHKIT_API NoMemory : public RuntimeError {};

// Bases of the per-array LimitCheck and RangeCheck.
class PATHKIT_API LimitCheckError : public RuntimeError {};
class PATHKIT_API RangeCheckError : public RuntimeError {};

// A user's handler stopped a long operation (Escape); callers unwind to the tool that
// started it.
class PATHKIT_API AbortedError : public RuntimeError {};

// An input stream ran out; not an error of the library.
class PATHKIT_API Eof {};
