#include "RepositoryCommands.h"

#include <cerrno>
#include <cstring>

#include "server/CommComponent.h"
#include "server/OutsideComponents.h"
#include "shell/AtomicFile.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

namespace requests {
namespace {

std::string S(std::string_view v) {
    return std::string(v);
}

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (auto p : parts) out += p;
    return out;
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
        // A lost link leaves no reply: its cause is what the user can act on.
        ReportError(ui, "|GET|CUSTFORM|L error", S(kCrLf) + (ok ? joined : error));
        return false;
    }
    std::string bad;
    if (ReadFormsList(lines, list, bad) == ReadResult::WrongFormat) {
        ui.Message(Cat({"Wrong format", kCrLf, bad}), "ERROR", MessageIcon::Critical);
        return false;
    }
    lines.clear();
    if (!comm.GetServerArrayData(ActiveSelected(), "", lines, error)) {
        ReportError(ui, "|GET|CUSTFORM|H error", S(kCrLf) + error);
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
    std::size_t lines = 0;
    std::string error;
    if (!comm.GetServerArrayJoined(GetLayout(form), kCrLf, layout, lines, error)) {
        layout.clear();
        ReportError(ui, "Error loading layout from DB", "");
        return false;
    }
    // An error reply is not a layout; handing it to the reader would only confuse.
    if (lines == 1 && IsListError(layout)) {
        ReportError(ui, "Error loading layout from DB", S(kCrLf) + layout);
        layout.clear();
        return false;
    }
    return !layout.empty();
}

bool SendFormData(CommComponent& comm, UserInterface& ui, const std::string& record,
                  std::string& reply, std::string* error) {
    const std::size_t count = SaveRecordRequestCount(record);
    SequenceScope upload(comm, count);
    std::string reason;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string request = SaveRecordRequest(record, i);
        ShowPieceLength(comm, ui, i + 1, request.size());
        reply.clear();
        if (!comm.GetServerStringData(request, "", reply, reason)) {
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

std::vector<SavePicture> ReadSavePictures(const std::string& form, std::string_view layout,
                                          const std::string& imagesFolder,
                                          std::vector<std::string>& missing) {
    std::vector<SavePicture> out;
    for (const auto& name : ImagesOfLayout(layout)) {
        bool seen = false;
        for (const auto& p : out) seen = seen || p.name == name;
        for (const auto& m : missing) seen = seen || m == name;
        if (seen) continue;
        auto [base, ext] = SplitFileName(name);
        SavePicture picture{name, {}};
        std::string error;
        if (!PlainFileName(name) || LargeImagePieceSize(form, base, ext) == 0 ||
            !files::ReadWholeFile(InFolder(imagesFolder, name), picture.bytes, error) ||
            picture.bytes.empty())
            missing.push_back(name);
        else
            out.push_back(std::move(picture));
    }
    return out;
}

SaveResult SaveFormUpload(CommComponent& comm, UserInterface& ui, const std::string& form,
                          const std::string& record, const std::vector<SavePicture>& pictures,
                          const std::string& staticList) {
    const std::size_t pieces = SaveRecordRequestCount(record);
    std::size_t count = pieces + 1;
    for (const auto& p : pictures) {
        auto [base, ext] = SplitFileName(p.name);
        count += ImageFitsOneRequest(form, p.name, p.bytes.size())
                     ? 1
                     : LargeImagePieceCount(p.bytes.size(), LargeImagePieceSize(form, base, ext));
    }
    SequenceScope upload(comm, count);
    std::size_t sent = 0;
    // Sends one part; a false flag or an error reply ends the upload with the message the
    // part is known by.
    auto send = [&](const std::string& request, const char* failed, const std::string& refused) {
        ShowPieceLength(comm, ui, ++sent, request.size());
        std::string reply, error;
        if (!comm.GetServerStringData(request, "", reply, error)) {
            ReportError(ui, failed, Reason(error));
            return SaveResult::Failed;
        }
        if (IsStoreError(reply)) {
            ui.Message(reply, refused, MessageIcon::Critical);
            return SaveResult::Refused;
        }
        return SaveResult::Saved;
    };
    const std::string recordRefused = "Error in '|SET|CUSTFORM|T'";
    for (std::size_t i = 0; i < pieces; ++i)
        if (auto r = send(SaveRecordRequest(record, i), "|SET|CUSTFORM| error", recordRefused);
            r != SaveResult::Saved)
            return r;
    for (const auto& p : pictures) {
        std::vector<std::string> parts = ImageRequests(form, p.name, p.bytes);
        const char* failed = parts.size() == 1 ? "ERR in SaveImages " : "ERR in SaveLargeImages ";
        for (const auto& request : parts)
            if (auto r = send(request, failed, "Error in " + ImageRequestHead(request));
                r != SaveResult::Saved)
                return r;
    }
    // The last part: its reply says whether the whole save was stored.
    return send(staticList.empty() ? DeleteStaticList(form) : SetStaticList(form, staticList),
                "Error saving Static List", recordRefused);
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
