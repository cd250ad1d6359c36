#include "converters/ConverterProgress.h"
#include "converters/OutlineHandOff.h"

#include "OutlineRecordReader.h"

CONVERTER_ENTRY int Convert(const char* source, const char* target, AbortHandler* progress) {
    return preconv::ConvertThroughOutline(source, target, progress, tmrecords::ReadOutlineRecords);
}
