// Every reply reader on arbitrary bytes: the input is split at byte 0x01 into reply
// elements; nothing may crash, and the readers' invariants must hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "server/OutsideComponents.h"
#include "server/Requests.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string all(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= all.size(); ++i) {
        if (i == all.size() || all[i] == '\x01') {
            lines.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    }
    FormsDefinitions list;
    std::string bad;
    requests::ReadFormsList(lines, list, bad);
    for (std::size_t i = 1; i <= list.Count(); ++i) {
        const FormDefinition& d = list.At(i);
        if (d.imageCount != int(d.images.size())) std::abort();
        if (d.dateModified.find(';') != std::string::npos) std::abort();
    }
    std::size_t records = 0;
    requests::ApplyActiveSelected(lines, list, records);
    requests::LayoutFromLines(lines);
    std::string image = requests::ImageFromLines(lines);
    if (image.size() > all.size()) std::abort();
    requests::ReadTables(all);
    requests::FieldCode(requests::ReadFieldProperties(all));
    std::vector<requests::StaticItem> items;
    requests::ReadCodeList(all, items);
    auto statics = requests::ReadStaticList(all);
    requests::FormatStaticList(statics);
    requests::RecordsAnswer(lines);
    requests::IsSearchError(lines);
    ParseLookupList(lines);
    // Pieces of a record always reassemble to it.
    auto reqs = requests::SaveRecordRequests(all, 7);
    std::string back = reqs.back().substr(16);
    for (std::size_t i = 0; i + 1 < reqs.size(); ++i) back += reqs[i].substr(6);
    if (back != all) std::abort();
    return 0;
}
