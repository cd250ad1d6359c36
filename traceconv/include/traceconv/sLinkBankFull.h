#pragma once
// Thrown when one of the tracer's node stores has used all its blocks. A handler for
// NoMemory or RuntimeError catches it too.

#include <pathkit/Exceptions.h>

#include "traceconv/export.h"

class TRACECONV_API sLinkBankFull : public NoMemory {};
