#include "FreeTypeLibrary.h"

namespace fontface {

std::mutex& FreeTypeLock() {
    static std::mutex lock;
    return lock;
}

FT_Library FreeTypeLibrary() {
    static FT_Library library = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return library;
}

} // namespace fontface
