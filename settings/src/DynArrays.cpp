#include "settings/DynArrays.h"

#include <cstring>
#include <memory>

void ConstStrDynArr::AppendCopy(const char* text) {
    if (!text) text = "";
    std::size_t n = std::strlen(text) + 1;
    std::unique_ptr<char[]> copy(new char[n]);
    std::memcpy(copy.get(), text, n);
    const char* slot = copy.get();
    Append(slot); // throws before taking the copy over
    copy.release();
}
