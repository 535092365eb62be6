#include "Requests.h"

#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace requests {
namespace {

const std::string kTab = "\t";
const std::string kRecordSep(1, cp1252::kBarcodeMark);   // 230
const std::string kImagePart(1, cp1252::kImagePartSep);  // 197

std::string S(std::string_view v) {
    return std::string(v);
}

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    std::size_t n = 0;
    for (auto p : parts) n += p.size();
    out.reserve(n);
    for (auto p : parts) out += p;
    return out;
}

std::string UpperFirstFive(std::string_view s, bool trim) {
    std::string head = S(s.substr(0, 5));
    if (trim) head = text::Trim(head);
    return text::ToUpper(head);
}

}  // namespace

std::pair<std::string, std::string> SplitFileName(std::string_view name) {
    auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return {S(name), {}};
    return {S(name.substr(0, dot)), S(name.substr(dot + 1))};
}

// ---- request texts -------------------------------------------------------------

std::string Ping() {
    return "|GET|PING|";
}
std::string FormsList() {
    return "|GET|CUSTFORM|L";
}
std::string ActiveSelected() {
    return "|GET|CUSTFORM|H";
}
std::string GetLayout(std::string_view form) {
    return Cat({"|GET|CUSTFORM|T|", form});
}
std::string DeleteForm(std::string_view form) {
    return Cat({"|SET|CUSTFORM|T-D|", form});
}
std::string SetActiveSelected(std::string_view form, bool active, bool selected) {
    return Cat({"|SET|CUSTFORM|O|", form, "|", active ? "1" : "0", kTab, selected ? "1" : "0"});
}
std::string GetImage(std::string_view form, std::string_view timeStamp, std::string_view file) {
    return Cat({"|GET|CUSTFORM|I|", form, "|", timeStamp, "|", file});
}
std::string DeleteImages(std::string_view form) {
    return Cat({"|SET|CUSTFORM|I|", form, "|D|"});
}
std::string SetStaticList(std::string_view form, std::string_view list) {
    return Cat({"|SET|CUSTFORM|S|", form, "|", list});
}
std::string DeleteStaticList(std::string_view form) {
    return Cat({"|SET|CUSTFORM|S-D|", form});
}
std::string GetStaticList(std::string_view form) {
    return Cat({"|GET|CUSTFORM|S|", form});
}
std::string Tables() {
    return Cat({"|GET|SQL|", "TABLES"});
}
std::string FieldProperties(std::string_view db, std::string_view table, std::string_view field) {
    return Cat({"|GET|SQL|FIELDS", "|", db, "|", table, "|", field});
}
std::string CodeList(std::string_view setCode) {
    return Cat({"|GET|CODE1|", "CHL", ":0", "|", setCode});
}
std::string RecordsProbe() {
    return "|GETP|CUSTFORM|L";
}
std::string NewRecordsSearch(std::string_view form) {
    return Cat({"|GET|EMR|*||SEARCH|AND|DESCR", kTab, "OR", kTab, form});
}
std::string OldRecordsSearch(std::string_view form) {
    return Cat({"|GETP|EFORM|LIST||", "ACCNT:", kTab, "DOS:", kTab, "TYPE:", kTab, "NAME:", form,
                kTab, "SAVE:", "|*|"});
}

std::string SaveRecord(std::string_view form, std::string_view description, std::string_view type,
                       std::string_view documentType, std::string_view layout) {
    return Cat({form, "|", description, ":", type, ":", documentType, "|", layout});
}

std::string SaveRecordHead(std::string_view form, std::string_view description,
                           std::string_view type, std::string_view documentType) {
    return Cat({form, "|", description, ":", type, ":", documentType, "|"});
}

std::size_t SaveRecordRequestCount(std::string_view record, std::size_t pieceSize) {
    if (pieceSize == 0) pieceSize = kSavePieceSize;
    return 1 + (record.size() > pieceSize ? (record.size() - 1) / pieceSize : 0);
}

std::string SaveRecordRequest(std::string_view record, std::size_t i, std::size_t pieceSize) {
    if (pieceSize == 0) pieceSize = kSavePieceSize;
    if (i + 1 < SaveRecordRequestCount(record, pieceSize))
        return Cat({"|SETL|", record.substr((i + 1) * pieceSize, pieceSize)});
    return Cat({"|SET|CUSTFORM|T|", record.substr(0, pieceSize)});
}

std::vector<std::string> SaveRecordRequests(std::string_view record, std::size_t pieceSize) {
    std::vector<std::string> out;
    for (std::size_t i = 0, n = SaveRecordRequestCount(record, pieceSize); i < n; ++i)
        out.push_back(SaveRecordRequest(record, i, pieceSize));
    return out;
}

std::string ImageHeaderWhole(std::string_view form, std::string_view file) {
    return Cat({"|SET|CUSTFORM|I-0", "|", form, "|", file, "|"});
}

bool ImageFitsOneRequest(std::string_view form, std::string_view file, std::size_t byteCount) {
    return ImageHeaderWhole(form, file).size() + byteCount < kImageRequestLimit;
}

std::size_t LargeImagePieceSize(std::string_view form, std::string_view baseName,
                                std::string_view extension) {
    std::size_t head =
        10 + Cat({"|SET|CUSTFORM|I-111", "|", form, "|", baseName, ".", extension, "|"}).size();
    return head >= kImageRequestLimit ? 0 : kImageRequestLimit - head;
}

std::size_t LargeImagePieceCount(std::size_t byteCount, std::size_t pieceSize) {
    if (pieceSize == 0) return 0;
    // count / size + 1/2, rounded to the nearest whole number with halves to even.
    std::size_t q = byteCount / pieceSize;
    std::size_t r = byteCount % pieceSize;
    if (r != 0) return q + 1;
    return q % 2 == 0 ? q : q + 1;
}

std::vector<std::string> LargeImageRequests(std::string_view form, std::string_view baseName,
                                            std::string_view extension, std::string_view bytes,
                                            std::size_t pieceSize) {
    std::vector<std::string> out;
    std::size_t count = LargeImagePieceCount(bytes.size(), pieceSize);
    std::string name = Cat({baseName, ".", extension});
    for (std::size_t n = 1; n <= count; ++n) {
        std::size_t from = (n - 1) * pieceSize;
        std::string_view piece = from < bytes.size() ? bytes.substr(from, pieceSize) : "";
        out.push_back(
            Cat({"|SET|CUSTFORM|I-", std::to_string(n), "|", form, "|", name, "|", piece}));
    }
    return out;
}

std::vector<std::string> ImageRequests(std::string_view form, std::string_view fileName,
                                       std::string_view bytes) {
    if (ImageFitsOneRequest(form, fileName, bytes.size()))
        return {Cat({ImageHeaderWhole(form, fileName), bytes})};
    auto [base, ext] = SplitFileName(fileName);
    return LargeImageRequests(form, base, ext, bytes, LargeImagePieceSize(form, base, ext));
}

std::vector<std::string> NumberedImageRequests(std::string_view form, std::string_view fileName,
                                               std::string_view bytes) {
    auto [base, ext] = SplitFileName(fileName);
    std::size_t size = LargeImagePieceSize(form, base, ext);
    if (size == 0) return {};
    auto out = LargeImageRequests(form, base, ext, bytes, size);
    if (out.empty()) out.push_back(Cat({"|SET|CUSTFORM|I-1|", form, "|", fileName, "|"}));
    return out;
}

std::string ImageRequestHead(std::string_view request) {
    // "|SET|CUSTFORM|I-n|form|file|" + bytes: the head ends at the sixth bar.
    std::size_t bars = 0;
    for (std::size_t i = 0; i < request.size(); ++i) {
        if (request[i] == '|' && ++bars == 6) return S(request.substr(0, i + 1));
    }
    return S(request);
}

// ---- reply tests ---------------------------------------------------------------

bool IsStoreError(std::string_view reply) {
    return reply.find("ERROR") != std::string_view::npos;
}
bool IsListError(std::string_view reply) {
    return UpperFirstFive(reply, false) == "ERROR";
}
bool IsProbeError(std::string_view reply) {
    return UpperFirstFive(reply, true) == "ERROR";
}
bool IsSearchError(const std::vector<std::string>& lines) {
    if (lines.empty() || lines[0].size() <= 5) return false;
    return text::StartsWith(std::string_view(lines[0]).substr(5), "ERROR:");
}
bool IsCodeListError(std::string_view reply) {
    return reply.empty() || text::EqualsNoCase(reply.substr(0, 6), "error:");
}

// ---- readers -------------------------------------------------------------------

std::string JoinLines(const std::vector<std::string>& lines, std::string_view separator) {
    return text::Join(lines, separator);
}

std::string Unframe(std::string_view t) {
    if (text::StartsWith(t, kOkPrefix)) t.remove_prefix(kOkPrefix.size());
    if (text::EndsWith(t, kEndMark)) t.remove_suffix(kEndMark.size());
    return S(t);
}

std::vector<FormImageEntry> ReadImagesField(std::string_view field) {
    std::vector<FormImageEntry> out;
    // Every entry is followed by one separator; text after the last one is not an entry.
    int count = text::CountOf(field, kRecordSep);
    auto parts = text::Split(field, kRecordSep);
    for (int i = 0; i < count; ++i) {
        FormImageEntry e;
        auto bits = text::Split(parts[std::size_t(i)], kImagePart);
        if (bits.size() == 3) {
            e.timeStamp = bits[1];
            auto [base, ext] = SplitFileName(bits[2]);
            e.baseName = base;
            e.extension = ext;
        }
        out.push_back(std::move(e));
    }
    return out;
}

FormDefinition ReadFormRecord(const std::vector<std::string>& f) {
    FormDefinition d;
    d.name = f.size() > 0 ? f[0] : "";
    d.description = f.size() > 1 ? f[1] : "";
    std::string images;
    if (f.size() == 4) {
        d.timeStamp = f[2];
        images = f[3];
    } else if (f.size() == 5) {
        d.timeStamp = f[2];
        d.dateModified = f[3];
        images = f[4];
    } else if (f.size() >= 6) {
        d.type = f[2];
        d.timeStamp = f[3];
        d.dateModified = f[4];
        images = f[5];
        d.documentType = f.size() > 6 ? f[6] : "";
    }
    d.dateModified = text::ReplaceAll(d.dateModified, ";", ":");
    d.images = ReadImagesField(images);
    d.imageCount = int(d.images.size());
    return d;
}

ReadResult ReadFormsList(const std::vector<std::string>& lines, FormsDefinitions& list,
                         std::string& badRecord) {
    list.Clear();
    badRecord.clear();
    std::string body = Unframe(JoinLines(lines));
    if (body.empty()) return ReadResult::Ok;
    auto records = text::Split(body, ":");
    records.pop_back();  // the text after the last ":" is not a record
    for (const auto& rec : records) {
        if (rec.empty()) continue;
        auto fields = text::Split(rec, "^");
        if (fields.size() < 4) {
            badRecord = rec;
            return ReadResult::WrongFormat;
        }
        list.Add(ReadFormRecord(fields));
    }
    return ReadResult::Ok;
}

ReadResult ApplyActiveSelected(const std::vector<std::string>& lines, FormsDefinitions& list,
                               std::size_t& records) {
    std::string body = Unframe(JoinLines(lines));
    auto recs = text::Split(body, kRecordSep);
    if (!recs.empty() && recs.back().empty()) recs.pop_back();
    records = recs.size();
    std::size_t usable = std::min(records, list.Count());
    for (std::size_t i = 0; i < usable; ++i) {
        auto fields = text::Split(recs[i], kTab);
        std::string name = fields.empty() ? "" : fields[0];
        if (name.empty()) continue;
        FormDefinition& d = list.At(i + 1);
        if (d.name != name) continue;
        d.active = fields.size() > 1 && fields[1] == "1";
        d.selected = fields.size() > 2 && fields[2] == "1";
    }
    return records > list.Count() ? ReadResult::CountMismatch : ReadResult::Ok;
}

std::string LayoutFromLines(const std::vector<std::string>& lines) {
    return JoinLines(lines, kCrLf);
}

std::string ImageFromLines(const std::vector<std::string>& lines) {
    // A server error is never taken for picture bytes.
    if (!lines.empty() && !text::StartsWith(lines[0], kOkPrefix) && IsListError(lines[0]))
        return {};
    std::string out;
    for (const auto& line : lines) {
        if (text::StartsWith(line, kOkPrefix)) {
            out.append(line, kOkPrefix.size());
        } else if (text::StartsWith(line, kEndMark)) {
            break;
        } else {
            out += line;
        }
    }
    return out;
}

TableList ReadTables(std::string_view reply) {
    TableList out;
    auto elems = text::Split(reply, std::string(1, cp1252::kTableRecordSep));
    if (elems.empty()) return out;
    out.database = elems[0];
    for (std::size_t i = 1; i < elems.size(); ++i) {
        if (elems[i].empty()) continue;
        auto fields = text::Split(elems[i], std::string(1, cp1252::kTableFieldSep));
        TableRecord t;
        t.position = i;
        t.name = fields[0];
        for (std::size_t k = 1; k < fields.size(); ++k)
            t.fields.push_back(text::ReplaceAll(fields[k], std::string(1, '\0'), "   "));
        out.tables.push_back(std::move(t));
    }
    return out;
}

std::vector<std::string> ReadFieldProperties(std::string_view reply) {
    return text::Split(reply, kRecordSep);
}

std::string FieldCode(const std::vector<std::string>& properties) {
    return properties.size() > 6 ? properties[6] : "";
}

bool ReadCodeList(std::string_view reply, std::vector<StaticItem>& items) {
    items.clear();
    auto parts = text::Split(reply, ":");
    if (parts.size() < 5) return false;
    for (const auto& entry : text::Split(parts[4], kRecordSep)) {
        if (entry.empty()) continue;
        auto f = text::Split(entry, kTab);
        StaticItem it;
        if (f[0].empty()) {
            it.code = f.size() > 2 ? f[2] : "";
            it.description = f.size() > 3 ? f[3] : "";
            it.other = f.size() > 4 ? f[4] : "";
        } else {
            it.code = f[0];
        }
        items.push_back(std::move(it));
    }
    return true;
}

std::vector<StaticItem> ReadStaticList(std::string_view t) {
    std::vector<StaticItem> out;
    for (const auto& item : text::Split(t, kTab)) {
        if (item.empty()) continue;
        auto f = text::Split(item, kRecordSep);
        StaticItem it;
        it.code = f.size() > 0 ? f[0] : "";
        it.description = f.size() > 1 ? f[1] : "";
        it.other = f.size() > 2 ? f[2] : "";
        out.push_back(std::move(it));
    }
    return out;
}

std::string FormatStaticList(const std::vector<StaticItem>& items) {
    std::vector<std::string> parts;
    for (const auto& it : items)
        parts.push_back(Cat({it.code, kRecordSep, it.description, kRecordSep, it.other}));
    return text::Join(parts, kTab);
}

std::string RecordsAnswer(const std::vector<std::string>& lines) {
    std::string t = JoinLines(lines, kRecordSep);
    t = text::ReplaceAll(t, kOkPrefix, "");
    t = text::ReplaceAll(t, kEndMark, "");
    return text::ReplaceAll(t, kRecordSep, "");
}

std::vector<std::string> ImagesOfLayout(std::string_view layout) {
    std::vector<std::string> out;
    // A large form has a line per label: each is looked at in place, never copied.
    text::Pieces lines(layout, kCrLf);
    for (std::string_view line; lines.Next(line);) {
        const std::string_view key = line.substr(0, line.find(kTab));
        std::string name;
        if (text::EqualsNoCase(key, "background_image:"))
            name = text::SplitStr(line, kTab, 2);
        else if (text::EqualsNoCase(key, "image:"))
            name = text::SplitStr(line, kTab, 6);
        else
            continue;
        auto [base, ext] = SplitFileName(name);
        if (!base.empty() && !ext.empty()) out.push_back(name);
    }
    return out;
}

}  // namespace requests
