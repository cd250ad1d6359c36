#pragma once
// Small helpers shared by the curve-library tests.

#include <gtest/gtest.h>

#include "mfc/CException.h"

// Runs f and reports whether it threw the framework's memory exception.
template <class F> bool ThrowsMemoryException(F&& f) {
    try {
        f();
    } catch (CMemoryException* e) {
        e->Delete();
        return true;
    }
    return false;
}
