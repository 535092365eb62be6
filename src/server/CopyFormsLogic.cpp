#include "server/CopyFormsLogic.h"

#include <algorithm>
#include <cctype>

#include "layout/LayoutReader.h"
#include "server/CommComponent.h"
#include "server/RepositoryCommands.h"
#include "server/Requests.h"
#include "server/TcpComm.h"
#include "shell/TextUtils.h"
#include "shell/UserInterface.h"

namespace {

constexpr const char* kCrLf = "\r\n";

// Pictures a layout names in its header: "Background_Image:" field 2, "Image:" field 6.
std::vector<std::string> HeaderImages(const std::string& layout) {
    std::vector<std::string> names;
    auto begin = layout.find("<HEADER>");
    auto end = layout.find("</HEADER>");
    if (begin == std::string::npos || end == std::string::npos || end < begin) return names;
    std::string header = layout.substr(begin + 8, end - begin - 8);
    for (std::string line : text::Split(header, "\r")) {
        if (!line.empty() && line.front() == '\n') line.erase(0, 1);
        std::string name;
        if (line.rfind("Background_Image:", 0) == 0)
            name = text::SplitStr(line, "\t", 2);
        else if (line.rfind("Image:", 0) == 0)
            name = text::SplitStr(line, "\t", 6);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

std::string PingError(CommComponent& comm) {
    auto* tcp = dynamic_cast<TcpComm*>(&comm);
    std::string why = tcp ? tcp->LastError() : std::string();
    return why.empty() ? "no answer" : why;
}

std::string Join(const std::vector<std::string>& parts, const std::string& sep) {
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : sep) + p;
    return out;
}

}  // namespace

CopyFormsLogic::CopyFormsLogic(CommComponent& from, CommComponent& to, UserInterface& ui,
                               StartOptions options)
    : from_(from), to_(to), ui_(ui), options_(options) {
    for (CommComponent* c : {&from_, &to_}) {
        if (!options_.debugMode) continue;
        c->SetDebugMode(true);
        if (options_.debugReceive) c->SetDebugOption("debug mode rcv");
    }
}

void CopyFormsLogic::SetStatus(const std::string& word, const std::string& text) {
    state = word;
    status = text;
    if (onStatus) onStatus();
}

std::string CopyFormsLogic::ToServerText() const {
    return " to IP: " + toAddress + " Port: " + toPort;
}

bool CopyFormsLogic::DoPingTest(Server which) {
    if (options_.SkipPing()) return true;
    return Comm(which).PingServer("", 0);
}

bool CopyFormsLogic::OpenConnection(const std::string& address, const std::string& port,
                                    int fixedNumber, const std::string& entityNumber,
                                    Server which) {
    CommComponent& comm = Comm(which);
    comm.ResetConnection();
    comm.Disconnect();
    comm.SetServerAddress(address, port, fixedNumber, 0);
    comm.SetSessionContext("", entityNumber, "");
    comm.Connect();
    if (!DoPingTest(which)) {
        ui_.Message("Could not connect to     " + address + "." + kCrLf +
                        "Ping error: " + PingError(comm) + kCrLf + "Please check your settings.",
                    "Not Connected", MessageIcon::Warning);
        return false;
    }
    if (options_.SkipPing()) return true;
    std::string reply, error;
    if (!comm.GetServerStringData(requests::Ping(), "", reply, error)) {
        ui_.Message(std::string("Error connecting to ") + kCrLf + address + " " + port,
                    "Not Connected", MessageIcon::Warning);
        return false;
    }
    return true;
}

void CopyFormsLogic::CloseConnection() {
    requests::CloseConnection(from_);
    requests::CloseConnection(to_);
}

bool CopyFormsLogic::GetFormsDefinitions(Server which) {
    FormsDefinitions list;
    bool ok = requests::UpdateFormsDefinitions(Comm(which), ui_, list);
    auto& rows = which == Server::From ? available : existing;
    rows.assign(list.begin(), list.end());
    listed_[int(which)] = ok ? Key(which) : std::string();
    if (which == Server::From) {
        // A form already chosen for copying is not offered twice.
        std::erase_if(rows, [&](const FormDefinition& d) {
            return std::any_of(toCopy.begin(), toCopy.end(),
                               [&](const FormDefinition& c) { return c.name == d.name; });
        });
    }
    return ok;
}

bool CopyFormsLogic::ConnectAndList(Server which) {
    const std::string& address = which == Server::From ? fromAddress : toAddress;
    const std::string& port = which == Server::From ? fromPort : toPort;
    SetStatus("Connection", "Opening Connection to IP: " + address + " Port: " + port);
    bool ok = OpenConnection(address, port, kFixedNumber, entity, which);
    if (ok) {
        (which == Server::From ? available : existing).clear();
        ok = GetFormsDefinitions(which);
    } else {
        ui_.Message("No Connection available to Server.", "Copy Forms", MessageIcon::Warning);
    }
    CloseConnection();
    SetStatus("Ready", ok ? "Ready to copy" : "No Connection available to Server.");
    return ok;
}

bool CopyFormsLogic::CheckAddress(Server which) {
    std::string& address = which == Server::From ? fromAddress : toAddress;
    if (std::count(address.begin(), address.end(), '.') == 3) return true;
    std::string resolved = Comm(which).ResolveHostAddress(address);
    address = resolved;
    return !resolved.empty();
}

std::string CopyFormsLogic::DigitsOnly(const std::string& text) {
    std::string out;
    for (char c : text)
        if (std::isdigit(static_cast<unsigned char>(c))) out += c;
    return out;
}

const FormDefinition* CopyFormsLogic::DoesFormAlreadyExisits(const std::string& name) const {
    for (const auto& d : existing)
        if (text::EqualsNoCase(d.name, name)) return &d;
    return nullptr;
}

std::string CopyFormsLogic::Key(Server which) const {
    return which == Server::From ? fromAddress + ":" + fromPort : toAddress + ":" + toPort;
}

void CopyFormsLogic::BoxesChanged() {
    // A list read from another server than the boxes now name describes nothing here.
    if (!listed_[0].empty() && listed_[0] != Key(Server::From)) {
        available.clear();
        toCopy.clear();  // chosen from the other server's list
        listed_[0].clear();
    }
    if (!listed_[1].empty() && listed_[1] != Key(Server::To)) {
        existing.clear();
        confirmed_.clear();
        listed_[1].clear();
    }
}

bool CopyFormsLogic::MayOverwrite(const FormDefinition& def) {
    const FormDefinition* old = DoesFormAlreadyExisits(def.name);
    if (!old || std::find(confirmed_.begin(), confirmed_.end(), def.name) != confirmed_.end())
        return true;
    auto id = std::to_string(std::size_t(old - existing.data()) + 1);
    std::string text = std::string("Form Already Exisits.") + kCrLf + "Form ID: " + id + kCrLf +
                       "Form Type: " + old->type + kCrLf + "Form Name: " + old->name + kCrLf +
                       "Form Doc Type: " + old->documentType + kCrLf +
                       "The select item will be overwritten. ";
    if (!ui_.OkCancelInformation(text, "Copy Forms")) return false;
    confirmed_.push_back(def.name);
    return true;
}

std::size_t CopyFormsLogic::MoveToCopy(const std::vector<std::size_t>& rows) {
    BoxesChanged();
    std::vector<std::size_t> moved;
    for (std::size_t row : rows) {
        if (row >= available.size()) continue;
        const FormDefinition& def = available[row];
        if (!MayOverwrite(def)) continue;
        toCopy.push_back(def);
        moved.push_back(row);
    }
    std::sort(moved.rbegin(), moved.rend());
    for (std::size_t row : moved) available.erase(available.begin() + std::ptrdiff_t(row));
    return moved.size();
}

void CopyFormsLogic::RemoveFromCopy(const std::vector<std::size_t>& rows) {
    std::vector<std::size_t> sorted(rows);
    std::sort(sorted.rbegin(), sorted.rend());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (std::size_t row : sorted) {
        if (row >= toCopy.size()) continue;
        available.push_back(toCopy[row]);
        toCopy.erase(toCopy.begin() + std::ptrdiff_t(row));
    }
}

bool CopyFormsLogic::SameServer() const {
    return fromAddress == toAddress && fromPort == toPort;
}

bool CopyFormsLogic::IsRequiredFieldFilled() {
    if (toCopy.empty()) {
        ui_.Message("No forms to copy. ", "Copy Forms", MessageIcon::Information);
        return false;
    }
    if (toAddress.empty() || toPort.empty()) {
        ui_.Message(
            "Please make sure we have an IP and port of the Server to which the forms "
            "have to copied.",
            "Copy Forms", MessageIcon::Information);
        return false;
    }
    // Copying a form onto itself would replace it by what was just read from it, and a
    // failed picture would then leave the original without it.
    if (SameServer()) {
        ui_.Message(
            "The forms would be copied onto the server they come from. Choose another "
            "server to copy to.",
            "Copy Forms", MessageIcon::Information);
        return false;
    }
    return true;
}

bool CopyFormsLogic::GetImageFileFromDB(const std::string& form, const std::string& timeStamp,
                                        const std::string& fileName, std::string& bytes) {
    bytes.clear();
    std::vector<std::string> lines;
    std::string error;
    if (!from_.GetServerArrayData(requests::GetImage(form, timeStamp, fileName), "", lines,
                                  error)) {
        ReportError(ui_, "Error in frmCopyForms/GetImageFileFromDB,    ", error);
        return false;
    }
    // A picture the source does not hold comes back as an error text, not as bytes: it
    // must not be stored on the target as if it were the picture.
    if (lines.empty() || (lines[0].rfind("|OK||", 0) != 0 && lines[0].rfind("ERROR", 0) == 0)) {
        ReportError(ui_, "Error in frmCopyForms/GetImageFileFromDB,    ",
                    fileName + kCrLf + (lines.empty() ? std::string("no reply") : lines[0]));
        return false;
    }
    bytes = requests::ImageFromLines(lines);
    return true;
}

bool CopyFormsLogic::SaveLargeImageToDB(const std::string& form, const std::string& fileName,
                                        const std::string& bytes) {
    auto dot = fileName.rfind('.');
    std::string base = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : fileName.substr(dot + 1);
    if (requests::NumberedImageRequests(form, fileName, bytes).empty()) {
        ReportError(ui_, "Error in frmCopyForms/SaveLargeImageToDB, ", "name too long");
        return false;
    }
    // One upload: the target stores the picture when its last piece arrives.
    return requests::SaveLargeImages(to_, ui_, form, base, ext, bytes);
}

CopyResult CopyFormsLogic::CopyOne(const FormDefinition& def) {
    CopyResult result;
    result.name = def.name;
    const std::string& name = def.name;
    const std::string failed = "Error in frmCopyForms/CopyFormsToNewServer, ";
    SetStatus("Form", "Downloading Form " + name + ToServerText());
    std::string layout, list;
    bool listRead = false;
    if (OpenConnection(fromAddress, fromPort, kFixedNumber, entity, Server::From)) {
        std::vector<std::string> lines;
        std::string error;
        if (!from_.GetServerArrayData(requests::GetLayout(name), "", lines, error)) {
            ReportError(ui_, failed, name + kCrLf + "Error loading layout from DB" + kCrLf + error);
        } else {
            layout = PrepareLayoutData(requests::JoinLines(lines, kCrLf));
            if (layout.find("<HEADER>") == std::string::npos) {
                ReportError(ui_, failed,
                            name + kCrLf + "Error loading layout from DB" + kCrLf +
                                (lines.empty() ? std::string() : lines[0]));
                layout.clear();
            }
        }
        // A form is its layout, its pictures and its static list.
        if (!layout.empty()) listRead = requests::GetStaticList(from_, ui_, name, list);
    }
    CloseConnection();
    if (layout.empty() || !listRead) return result;

    // Pictures and list go first: the target lists the form only once they are there.
    for (const std::string& file : HeaderImages(layout)) {
        SetStatus("Image", "Downloading Image for " + name + ToServerText());
        std::string bytes;
        bool fetched = false;
        if (OpenConnection(fromAddress, fromPort, kFixedNumber, entity, Server::From)) {
            FormsDefinitions defs;
            for (const auto& d : available) defs.Add(d);
            defs.Add(def);
            fetched = GetImageFileFromDB(name, defs.ImageTimeStamp(name, file), file, bytes);
        }
        CloseConnection();
        bool stored = false;
        if (fetched) {
            SetStatus("Saving Image", "Saving Image to IP: " + toAddress + " Port: " + toPort);
            if (OpenConnection(toAddress, toPort, kFixedNumber, entity, Server::To))
                stored = SaveLargeImageToDB(name, file, bytes);
            CloseConnection();
        }
        if (!stored) {
            ui_.Message("Error saving the ImageFile to NewServer. " + std::string(kCrLf) + name +
                            ": " + file,
                        "ERROR", MessageIcon::Critical);
            result.missingPictures.push_back(file);
            continue;
        }
        SetStatus("Image", "Saved Image to IP: " + toAddress + " Port: " + toPort);
    }
    if (!result.missingPictures.empty()) return result;

    SetStatus("Form", "Saving Form " + name + ToServerText());
    bool saved = false;
    if (OpenConnection(toAddress, toPort, kFixedNumber, entity, Server::To) &&
        requests::SaveStaticList(to_, ui_, name,
                                 requests::FormatStaticList(requests::ReadStaticList(list)))) {
        std::string record =
            requests::SaveRecord(name, def.description, def.type, def.documentType, layout);
        std::string reply, error;
        if (!to_.GetServerStringData("|SET|CUSTFORM|T|" + record, "", reply, error))
            ui_.Message("Error saving the Form to NewServer. " + std::string(kCrLf) + error,
                        "ERROR", MessageIcon::Critical);
        else if (requests::IsStoreError(reply))
            ui_.Message("Error saving the Form to NewServer. " + std::string(kCrLf) + reply,
                        "ERROR", MessageIcon::Critical);
        else
            saved = requests::SaveActiveSelected(to_, ui_, name, def.active, def.selected);
    }
    CloseConnection();
    if (!saved) return result;
    SetStatus("Form", "Saved Form " + name + ToServerText());
    result.outcome = CopyResult::Outcome::Whole;
    return result;
}

std::string CopyFormsLogic::Summary(const std::vector<CopyResult>& results) {
    std::vector<std::string> whole, partial, failed;
    for (const auto& r : results) {
        if (r.outcome == CopyResult::Outcome::Whole)
            whole.push_back(r.name);
        else if (r.outcome == CopyResult::Outcome::Skipped)
            partial.push_back(r.name);
        else if (!r.missingPictures.empty())
            failed.push_back(r.name + " (" + Join(r.missingPictures, ", ") + ")");
        else
            failed.push_back(r.name);
    }
    std::string out = "Copied " + std::to_string(whole.size()) + " of " +
                      std::to_string(results.size()) + " forms whole";
    if (!whole.empty()) out += ": " + Join(whole, ", ");
    if (!partial.empty()) out += ". Skipped (exists on the target): " + Join(partial, ", ");
    if (!failed.empty()) out += ". Not copied: " + Join(failed, "; ");
    return out + ".";
}

std::vector<CopyResult> CopyFormsLogic::CopyFormsToNewServer() {
    std::vector<CopyResult> results;
    BoxesChanged();
    if (!IsRequiredFieldFilled()) return results;
    // The overwrite question is answered from the server the copy writes to, read now.
    SetStatus("Refresh", "Refresh Form List for IP: " + toAddress);
    bool listed = OpenConnection(toAddress, toPort, kFixedNumber, entity, Server::To) &&
                  GetFormsDefinitions(Server::To);
    CloseConnection();
    if (!listed) {
        SetStatus("Ready", "No Connection available to Server.");
        return results;
    }
    ui_.SetBusy(true);
    for (const FormDefinition& def : toCopy) {
        if (!MayOverwrite(def)) {
            results.push_back({def.name, CopyResult::Outcome::Skipped, {}});
            continue;
        }
        results.push_back(CopyOne(def));
    }
    SetStatus("Refresh", "Refresh Form List for IP: " + toAddress);
    if (OpenConnection(toAddress, toPort, kFixedNumber, entity, Server::To)) {
        existing.clear();
        GetFormsDefinitions(Server::To);
    }
    CloseConnection();
    ui_.SetBusy(false);
    std::string summary = Summary(results);
    bool allWhole = std::all_of(results.begin(), results.end(), [](const CopyResult& r) {
        return r.outcome == CopyResult::Outcome::Whole;
    });
    // Forms that failed stay in "Forms to Copy", so they can be copied again.
    std::erase_if(toCopy, [&](const FormDefinition& d) {
        return std::any_of(results.begin(), results.end(), [&](const CopyResult& r) {
            return r.name == d.name && r.outcome == CopyResult::Outcome::Whole;
        });
    });
    SetStatus(allWhole ? "Ready" : "Form", summary);
    if (!allWhole) ui_.Message(summary, "Copy Forms", MessageIcon::Warning);
    return results;
}
