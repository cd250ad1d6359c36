#pragma once
// Inside the model: how many design objects were ever constructed in the process. Unlike
// the serial counter it never wraps and loading never moves it.

#include <cstdint>

std::uint64_t SignObjConstructionCount();
