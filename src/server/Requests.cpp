#include "Requests.h"

#include <cerrno>
#include <cstring>

#include "server/CommComponent.h"
#include "server/OutsideComponents.h"
#include "shell/AtomicFile.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

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

// Folder + "/" + name, refusing names that would leave the folder.
bool PlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '/' || c == '\\' || c == '\0') return false;
    }
    return true;
}

std::string InFolder(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Base name and extension at the last ".", so base + "." + extension is the name.
std::pair<std::string, std::string> SplitFileName(std::string_view name) {
    auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return {S(name), {}};
    return {S(name.substr(0, dot)), S(name.substr(dot + 1))};
}

// Marks the requests of one upload for the communication component while it lasts.
class SequenceScope {
  public:
    SequenceScope(CommComponent& comm, std::size_t count) : comm_(comm) {
        comm_.BeginSequence(count);
    }
    ~SequenceScope() { comm_.EndSequence(); }
    SequenceScope(const SequenceScope&) = delete;
    SequenceScope& operator=(const SequenceScope&) = delete;

  private:
    CommComponent& comm_;
};

// A reason after the operation's label, on its own line.
std::string Reason(const std::string& error) {
    return error.empty() ? error : S(kCrLf) + error;
}

void ShowPieceLength(CommComponent& comm, UserInterface& ui, std::size_t n, std::size_t length) {
    if (comm.DebugMode())
        ui.Message("Piece " + std::to_string(n) + " length: " + std::to_string(length), "DEBUG");
}

}  // namespace

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

std::vector<std::string> SaveRecordRequests(std::string_view record, std::size_t pieceSize) {
    if (pieceSize == 0) pieceSize = kSavePieceSize;
    std::vector<std::string> out;
    for (std::size_t at = pieceSize; at < record.size(); at += pieceSize)
        out.push_back(Cat({"|SETL|", record.substr(at, pieceSize)}));
    out.push_back(Cat({"|SET|CUSTFORM|T|", record.substr(0, pieceSize)}));
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

// ---- one command each ----------------------------------------------------------

void OpenLink(CommComponent& comm, const std::string& address, const std::string& port,
              const std::string& entity) {
    comm.ResetConnection();
    comm.Disconnect();
    comm.SetServerAddress(address, port, 10, 0);
    comm.SetSessionContext("", entity, "");
    comm.Connect();
}

bool OpenConnection(CommComponent& comm, const std::string& address, const std::string& port,
                    const std::string& entity, std::string& error) {
    OpenLink(comm, address, port, entity);
    std::string reply;
    return comm.GetServerStringData(Ping(), "", reply, error);
}

void CloseConnection(CommComponent& comm) {
    comm.SetServerAddress("", "", 10, 0);
    comm.SetSessionContext("", "", "");
    comm.Disconnect();
}

bool UpdateFormsDefinitions(CommComponent& comm, UserInterface& ui, FormsDefinitions& list) {
    std::vector<std::string> lines;
    std::string error;
    bool ok = comm.GetServerArrayData(FormsList(), "", lines, error);
    std::string joined = JoinLines(lines);
    if (!ok || text::EqualsNoCase(std::string_view(joined).substr(0, 5), "Error")) {
        list.Clear();
        ReportError(ui, "|GET|CUSTFORM|L error", S(kCrLf) + joined);
        return false;
    }
    std::string bad;
    if (ReadFormsList(lines, list, bad) == ReadResult::WrongFormat) {
        ui.Message(Cat({"Wrong format", kCrLf, bad}), "ERROR", MessageIcon::Critical);
        return false;
    }
    lines.clear();
    if (!comm.GetServerArrayData(ActiveSelected(), "", lines, error)) {
        ReportError(ui, "|GET|CUSTFORM|H error", "");
        return true;
    }
    joined = JoinLines(lines);
    if (text::EqualsNoCase(std::string_view(joined).substr(0, 5), "Error")) {
        ReportError(ui, "|GET|CUSTFORM|H error", S(kCrLf) + joined);
        return true;
    }
    std::size_t records = 0;
    if (ApplyActiveSelected(lines, list, records) == ReadResult::CountMismatch) {
        ui.Message("FormDefinition count: " + std::to_string(list.Count()) + S(kCrLf) +
                       "Active/Selected count:" + std::to_string(records),
                   "DEBUG");
    }
    return true;
}

bool LoadLayoutText(CommComponent& comm, UserInterface& ui, const std::string& form,
                    std::string& layout) {
    layout.clear();
    std::vector<std::string> lines;
    std::string error;
    if (!comm.GetServerArrayData(GetLayout(form), "", lines, error)) {
        ReportError(ui, "Error loading layout from DB", "");
        return false;
    }
    // An error reply is not a layout; handing it to the reader would only confuse.
    if (lines.size() == 1 && IsListError(lines[0])) {
        ReportError(ui, "Error loading layout from DB", S(kCrLf) + lines[0]);
        return false;
    }
    layout = LayoutFromLines(lines);
    return !layout.empty();
}

bool SendFormData(CommComponent& comm, UserInterface& ui, const std::string& record,
                  std::string& reply, std::string* error) {
    auto reqs = SaveRecordRequests(record);
    SequenceScope upload(comm, reqs.size());
    std::string reason;
    for (std::size_t i = 0; i < reqs.size(); ++i) {
        ShowPieceLength(comm, ui, i + 1, reqs[i].size());
        reply.clear();
        if (!comm.GetServerStringData(reqs[i], "", reply, reason)) {
            if (error) *error = reason;
            return false;
        }
        // A refused piece ends the save: its reply is the answer.
        if (IsStoreError(reply)) return true;
    }
    return true;
}

SaveResult SaveLayoutRecord(CommComponent& comm, UserInterface& ui, const std::string& record) {
    std::string reply, error;
    if (!SendFormData(comm, ui, record, reply, &error)) {
        ReportError(ui, "|SET|CUSTFORM| error", Reason(error));
        return SaveResult::Failed;
    }
    if (IsStoreError(reply)) {
        ui.Message(reply, "Error in '|SET|CUSTFORM|T'", MessageIcon::Critical);
        return SaveResult::Refused;
    }
    return SaveResult::Saved;
}

bool DeleteStaticListOf(CommComponent& comm, UserInterface& ui, const std::string& form) {
    std::string reply, error;
    if (!comm.GetServerStringData(DeleteStaticList(form), "", reply, error)) {
        ReportError(ui, "Could not delete associated Static list", "");
        return false;
    }
    return true;
}

bool DeleteReport(CommComponent& comm, UserInterface& ui, const std::string& form) {
    std::string reply, error;
    if (!comm.GetServerStringData(DeleteForm(form), "", reply, error)) {
        ReportError(ui, "|SET|CUSTFORM|T-D| error", "");
        return false;
    }
    if (IsStoreError(reply)) {
        ui.Message(reply, "Error in '|SET|CUSTFORM|T-D|'", MessageIcon::Critical);
        return false;
    }
    DeleteStaticListOf(comm, ui, form);
    return true;
}

bool SaveActiveSelected(CommComponent& comm, UserInterface& ui, const std::string& form,
                        bool active, bool selected) {
    std::string reply, error;
    if (!comm.GetServerStringData(SetActiveSelected(form, active, selected), "", reply, error)) {
        ReportError(ui, "|SET|CUSTFORM|O error", "");
        return false;
    }
    if (IsStoreError(reply)) {
        ui.Message(reply, "Error in '|SET|CUSTFORM|O'", MessageIcon::Critical);
        return false;
    }
    return true;
}

bool DeleteAllImagesForReport(CommComponent& comm, UserInterface& ui, const std::string& form) {
    std::string request = DeleteImages(form);
    std::string reply, error;
    if (!comm.GetServerStringData(request, "", reply, error)) {
        ReportError(ui, "Error after:", S(kCrLf) + request);
        return false;
    }
    if (IsStoreError(reply)) {
        ReportError(ui, "Error:", Cat({kCrLf, reply, kCrLf, "After:", kCrLf, request}));
        return false;
    }
    return true;
}

bool SaveLargeImages(CommComponent& comm, UserInterface& ui, const std::string& form,
                     const std::string& baseName, const std::string& extension,
                     const std::string& bytes) {
    std::size_t size = LargeImagePieceSize(form, baseName, extension);
    if (size == 0) {
        // A name so long that no byte fits beside it cannot be sent at all.
        ReportError(ui, "ERR in SaveLargeImages ", "name too long for a picture piece");
        return false;
    }
    auto reqs = LargeImageRequests(form, baseName, extension, bytes, size);
    SequenceScope upload(comm, reqs.size());
    std::string reply, error;
    for (std::size_t i = 0; i < reqs.size(); ++i) {
        ShowPieceLength(comm, ui, i + 1, reqs[i].size());
        if (!comm.GetServerStringData(reqs[i], "", reply, error)) {
            ReportError(ui, "ERR in SaveLargeImages ", Reason(error));
            return false;
        }
        // A refused piece means the picture is not stored: say so, as for a whole one.
        if (IsStoreError(reply)) {
            ui.Message(reply, "Error in " + ImageRequestHead(reqs[i]), MessageIcon::Critical);
            return false;
        }
    }
    return true;
}

bool SaveImage(CommComponent& comm, UserInterface& ui, const std::string& form,
               const std::string& fileName, const std::string& bytes) {
    if (!ImageFitsOneRequest(form, fileName, bytes.size())) {
        auto [base, ext] = SplitFileName(fileName);
        return SaveLargeImages(comm, ui, form, base, ext, bytes);
    }
    std::string head = ImageHeaderWhole(form, fileName);
    std::string reply, error;
    if (!comm.GetServerStringData(head + bytes, "", reply, error)) {
        ReportError(ui, "ERR in SaveImages ", Reason(error));
        return false;
    }
    if (IsStoreError(reply)) {
        ui.Message(reply, "Error in " + head, MessageIcon::Critical);
        return false;
    }
    return true;
}

std::vector<std::string> ImagesOfLayout(std::string_view layout) {
    std::vector<std::string> out;
    for (const auto& line : text::Split(layout, kCrLf)) {
        std::string key = text::ToLower(text::SplitStr(line, kTab, 1));
        std::string name;
        if (key == "background_image:")
            name = text::SplitStr(line, kTab, 2);
        else if (key == "image:")
            name = text::SplitStr(line, kTab, 6);
        else
            continue;
        auto [base, ext] = SplitFileName(name);
        if (!base.empty() && !ext.empty()) out.push_back(name);
    }
    return out;
}

bool SaveImages(CommComponent& comm, UserInterface& ui, const std::string& form,
                const std::string& layout, const std::string& imagesFolder) {
    bool deleted = false;
    for (const auto& name : ImagesOfLayout(layout)) {
        std::string bytes, error;
        if (!PlainFileName(name) ||
            !files::ReadWholeFile(InFolder(imagesFolder, name), bytes, error) || bytes.empty())
            return false;
        if (!deleted) deleted = DeleteAllImagesForReport(comm, ui, form);
        if (!SaveImage(comm, ui, form, name, bytes)) return false;
    }
    return true;
}

bool LoadImageBytes(CommComponent& comm, UserInterface& ui, const std::string& form,
                    const std::string& timeStamp, const std::string& fileName, std::string& bytes) {
    bytes.clear();
    if (form.empty() || fileName.empty()) return false;
    std::string request = GetImage(form, timeStamp, fileName);
    std::vector<std::string> lines;
    std::string error;
    if (!comm.GetServerArrayData(request, "", lines, error)) {
        ui.Message("ERR in LoadImageFromDB   ", request, MessageIcon::Critical);
        return false;
    }
    bytes = ImageFromLines(lines);
    return !bytes.empty();
}

bool LoadImageToFileFromDB(CommComponent& comm, UserInterface& ui, const std::string& form,
                           const std::string& timeStamp, const std::string& fileName,
                           const std::string& imagesFolder) {
    std::string bytes;
    if (!LoadImageBytes(comm, ui, form, timeStamp, fileName, bytes)) return false;
    std::string error;
    int err = 0;
    if (!PlainFileName(fileName)) {
        err = EINVAL;
    } else if (!files::AtomicWriteFile(InFolder(imagesFolder, fileName), bytes, error)) {
        err = errno ? errno : EIO;
    }
    if (err) {
        ui.Message(std::to_string(err) + S(kCrLf) +
                       "Could not create Image File in LoadImageToFileFromDB    ",
                   "ERROR", MessageIcon::Critical);
        return false;
    }
    return true;
}

bool SaveStaticList(CommComponent& comm, UserInterface& ui, const std::string& form,
                    const std::string& list) {
    if (form.empty()) return false;
    std::string request = list.empty() ? DeleteStaticList(form) : SetStaticList(form, list);
    std::string reply, error;
    if (!comm.GetServerStringData(request, "", reply, error)) {
        ReportError(ui, "Error saving Static List", "");
        return false;
    }
    return true;
}

bool GetStaticList(CommComponent& comm, UserInterface& ui, const std::string& form,
                   std::string& list) {
    list.clear();
    if (form.empty()) return false;
    std::string error;
    if (!comm.GetServerStringData(GetStaticList(form), "", list, error)) {
        list.clear();
        ReportError(ui, "Error loading Static List from DB", "");
        return false;
    }
    return true;
}

bool GetTablesData(CommComponent& comm, UserInterface& ui, TableList& tables) {
    tables = {};
    std::string reply, error;
    if (!comm.GetServerStringData(Tables(), "", reply, error)) {
        ReportError(ui, "no DB data received", "");
        return false;
    }
    tables = ReadTables(reply);
    return true;
}

bool GetFieldProperties(CommComponent& comm, UserInterface& ui, const std::string& db,
                        const std::string& table, const std::string& field,
                        std::vector<std::string>& properties) {
    properties.clear();
    std::string reply, error;
    if (!comm.GetServerStringData(FieldProperties(db, table, field), "", reply, error)) {
        ReportError(ui, "Error getting fields data ", "");
        return false;
    }
    properties = ReadFieldProperties(reply);
    return true;
}

bool GetCodeList(CommComponent& comm, UserInterface& ui, const std::string& setCode,
                 std::vector<StaticItem>& items) {
    items.clear();
    std::string request = CodeList(setCode);
    std::string reply, error;
    bool ok = comm.GetServerStringData(request, "", reply, error);
    if (!ok || IsCodeListError(reply)) {
        ui.Message(Cat({"Failed to get Code Data.", kCrLf, "Request: ", kCrLf, request, kCrLf,
                        "Response: ", kCrLf, reply}),
                   "ERROR", MessageIcon::Critical);
        return false;
    }
    return ReadCodeList(reply, items);
}

bool EMRRecordsAlreadyExist(CommComponent& comm, UserInterface& ui, UtilityComponent& utility,
                            const std::string& form, bool newerKind) {
    const std::string failed = "mcomm.GetServerStringData failed in EMRRecordsAlreadyExist";
    std::string probe = RecordsProbe();
    std::string reply, error;
    if (!comm.GetServerStringData(probe, "", reply, error)) {
        ui.Beep();
        utility.Log(failed);
        return false;
    }
    if (IsProbeError(reply)) {
        ui.Beep();
        ui.Message(Cat({reply, kCrLf, "after:", kCrLf, probe}), "ERROR", MessageIcon::Critical);
        return false;
    }
    if (reply.empty()) return false;
    std::string key = (newerKind ? "NEW_EMR_FOR_ALL_ACCOUNTS" : "OLD_EMR_FOR_ALL_ACCOUNTS") +
                      std::string("_") + form;
    std::string answer;
    if (utility.CacheTest(key)) {
        answer = utility.CacheGet(key);
    } else {
        std::vector<std::string> lines;
        std::string search = newerKind ? NewRecordsSearch(form) : OldRecordsSearch(form);
        if (!comm.GetServerArrayData(search, "", lines, error) || IsSearchError(lines)) {
            ui.Beep();
            utility.Log(failed);
            return false;
        }
        answer = RecordsAnswer(lines);
        utility.CachePut(key, answer, "EMR Records");
    }
    return !answer.empty();
}

}  // namespace requests
