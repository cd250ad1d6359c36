#include "converters/ConverterProgress.h"
#include "converters/OutlineHandOff.h"

#include "LineArcReader.h"

CONVERTER_ENTRY int Convert(const char* source, const char* target, AbortHandler* progress) {
    return preconv::ConvertThroughOutline(source, target, progress, kb::ReadLineArcFile);
}
