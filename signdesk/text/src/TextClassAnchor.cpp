// Compiled into every target that links the text library: it names the serialisable text
// classes, so that the linker keeps their registration and archives find them by name.

#include "text/CCharacter.h"
#include "text/CTextFrame.h"
#include "text/CTextLine.h"
#include "text/CTextObj.h"

namespace {
[[maybe_unused]] __attribute__((used))
const CRuntimeClass* const TextClasses[] = {RUNTIME_CLASS(CCharacter), RUNTIME_CLASS(CTextLine),
                                            RUNTIME_CLASS(CTextObj), RUNTIME_CLASS(CTextFrame)};
} // namespace
