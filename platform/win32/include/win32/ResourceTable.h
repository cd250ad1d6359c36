#pragma once
// The layout of a resource module: the module exports the C symbol SdResourceTable, a
// directory of entries. Generated code fills it; the loader checks magic and version.

#include <cstdint>

struct SdResourceEntry {
    std::uint32_t type;
    std::uint32_t id;   // 0 when the entry has a name
    const char* name;   // null for numeric ids
    const void* data;   // string entries are followed by a NUL not counted in size
    std::uint32_t size; // bytes
};

struct SdResourceDirectory {
    std::uint32_t magic;
    std::uint32_t version;
    std::uint32_t count;
    const SdResourceEntry* entries;
};

constexpr std::uint32_t SD_RESOURCE_MAGIC = 0x53524453; // "SDRS"
constexpr std::uint32_t SD_RESOURCE_VERSION = 1;
#define SD_RESOURCE_TABLE_SYMBOL "SdResourceTable"
