#pragma once
// A filter module's only export: its ordinal table (100 fltInfo, 101 fltLoad, 102 fltSave;
// a module that only reads leaves 102 out).

#include <win32/module.h>

#define IMGFILTER_ORDINAL_TABLE(info, load, save)                                                  \
    extern "C" {                                                                                   \
    __attribute__((visibility("default"))) extern const SdOrdinalEntry SdOrdinalTable[];           \
    const SdOrdinalEntry SdOrdinalTable[] = {                                                      \
        {100, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&info))},                     \
        {101, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&load))},                     \
        {102, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&save))},                     \
        {0, nullptr}};                                                                             \
    }

#define IMGFILTER_ORDINAL_TABLE_READ_ONLY(info, load)                                              \
    extern "C" {                                                                                   \
    __attribute__((visibility("default"))) extern const SdOrdinalEntry SdOrdinalTable[];           \
    const SdOrdinalEntry SdOrdinalTable[] = {                                                      \
        {100, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&info))},                     \
        {101, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&load))},                     \
        {0, nullptr}};                                                                             \
    }
