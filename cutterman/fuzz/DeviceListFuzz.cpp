// The installer's readers of outside text: a device list read, its first listed section
// removed and copied into another list, and the same bytes read as "Cutters.txt". Reading and
// writing back unchanged must give the bytes again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CutterTexts.h"
#include "DeviceText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    DeviceText list(bytes);
    if (list.Text() != bytes) std::abort();
    std::vector<std::string> names = list.ListedNames();
    list.ListedNames(true);
    if (!names.empty()) {
        DeviceText other("[Mine]\r\nk=1");
        other.AppendSection(list.SectionLines(names.front()));
        if (!other.HasSection(names.front())) std::abort();
        list.RemoveSections({names.front()});
        if (list.HasSection(names.front())) std::abort();
    }
    CutterTexts texts;
    texts.Parse(bytes);
    texts.Number(CutterTexts::MediaWidth);
    return 0;
}
