#include "OutsideComponents.h"

#include <chrono>
#include <ctime>

#include "server/CommComponent.h"
#include "server/Requests.h"
#include "shell/AtomicFile.h"
#include "shell/TextUtils.h"

// ---- utility component ---------------------------------------------------------

void FileUtilityComponent::SetLoggingIdentity(const std::string& programFile,
                                              const std::string& appCode,
                                              const std::string& product,
                                              const std::string& logFileName) {
    programFile_ = programFile;
    appCode_ = appCode;
    product_ = product;
    // The log stays inside the data folder whatever name it is given.
    if (!logFileName.empty() && logFileName.find('/') == std::string::npos &&
        logFileName.find('\\') == std::string::npos && logFileName != "." && logFileName != "..")
        logFileName_ = logFileName;
}

void FileUtilityComponent::SetWindowValues(int red, int green, int blue,
                                           const std::string& window) {
    colour_ = (blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF);
    window_ = window;
}

std::string FileUtilityComponent::Field(const std::string& t, const std::string& delimiter, int n) {
    return text::SplitStr(t, delimiter, n);
}

int FileUtilityComponent::FieldCount(const std::string& t, const std::string& delimiter) {
    if (t.empty()) return 0;
    if (delimiter.empty()) return 1;
    return text::CountOf(t, delimiter) + 1;
}

std::string FileUtilityComponent::CacheGet(const std::string& key) {
    auto it = cache_.find(key);
    return it == cache_.end() ? std::string() : it->second;
}

bool FileUtilityComponent::CacheTest(const std::string& key) {
    return cache_.count(key) != 0;
}

void FileUtilityComponent::CachePut(const std::string& key, const std::string& value,
                                    const std::string&) {
    cache_[key] = value;
}

std::string FileUtilityComponent::LogPath() const {
    if (folder_.empty()) return logFileName_;
    return folder_.back() == '/' ? folder_ + logFileName_ : folder_ + "/" + logFileName_;
}

void FileUtilityComponent::Log(const std::string& message) {
    std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    // One line per entry, whatever the message holds.
    std::string oneLine = text::ReplaceAll(text::ReplaceAll(message, "\r", " "), "\n", " ");
    std::string line = std::string(stamp) + "\t" + appCode_ + "\t" + oneLine + "\r\n";
    std::string path = LogPath();
    std::string old, error;
    if (files::FileExists(path)) files::ReadWholeFile(path, old, error);
    files::AtomicWriteFile(path, old + line, error);
}

// ---- lookup lists --------------------------------------------------------------

std::string LookupListRequest(const std::string& listName) {
    return "|GET|CODE1|" + listName;
}

std::string LookupValidateRequest(const std::string& listName, const std::string& value) {
    return "|GET|CODE1|" + listName + ":V|" + value;
}

bool ReadValidateReply(const std::string& reply, std::string& answer, std::string& listValue) {
    std::string body = requests::Unframe(reply);
    auto [word, value] = text::SplitAtFirst(body, "|");
    if (text::EndsWith(value, "|")) value.pop_back();
    if (word == "VALID" && !value.empty()) {
        answer = word;
        listValue = value;
        return true;
    }
    answer = "NOT VALID";
    listValue.clear();
    return word == "NOT VALID";
}

std::vector<LookupEntry> ParseLookupList(const std::vector<std::string>& lines) {
    std::vector<LookupEntry> out;
    for (std::string line : lines) {
        if (text::StartsWith(line, requests::kOkPrefix)) line.erase(0, requests::kOkPrefix.size());
        if (text::StartsWith(line, requests::kEndMark)) break;
        if (text::EndsWith(line, requests::kEndMark)) line.resize(line.size() - 5);
        if (line.empty()) continue;
        auto [code, desc] = text::SplitAtFirst(line, "    ");
        if (code.empty()) continue;
        out.push_back({code, desc});
    }
    return out;
}

std::string LookupAnswer(const LookupEntry& e) {
    return e.code + "    " + e.description;
}

std::string LookupAnswerCode(const std::string& answer) {
    auto at = answer.find("    ");
    return at == std::string::npos ? answer : answer.substr(0, at);
}

bool FetchLookupList(CommComponent& comm, const std::string& listName,
                     std::vector<LookupEntry>& entries, std::string& error) {
    entries.clear();
    std::vector<std::string> lines;
    if (!comm.GetServerArrayData(LookupListRequest(listName), "", lines, error)) return false;
    if (!lines.empty() && requests::IsListError(lines[0])) {
        error = lines[0];
        return false;
    }
    entries = ParseLookupList(lines);
    return true;
}

void ServerLookupValidator::Validate(const std::string& listName, const std::string& value,
                                     std::string& answer, std::string& listValue) {
    answer = "NOT VALID";
    listValue.clear();
    std::string code = text::Trim(value);
    if (!comm_ || code.empty()) return;
    std::string reply, error;
    if (!comm_->GetServerStringData(LookupValidateRequest(listName, code), "", reply, error)) {
        if (utility_) utility_->Log("lookup " + listName + " not validated: " + error);
        return;
    }
    if (!ReadValidateReply(reply, answer, listValue) && utility_)
        utility_->Log("lookup " + listName + " not validated: " + reply);
}

std::string ValidateLookupByServer(LookupValidator& validator, const std::string& listName,
                                   const std::string& value, std::string& corrected) {
    std::string answer, listValue;
    validator.Validate(listName, value, answer, listValue);
    if (answer == "VALID") {
        corrected = text::ToUpper(listValue);
        return "True";
    }
    corrected.clear();
    return "NOT VALID";
}

// ---- creation and linking ------------------------------------------------------

namespace {

// Without a window every pick is a cancel.
class CancelPicker : public LookupPicker {
  public:
    void Configure(const std::string&, const std::string&, const std::string&,
                   const std::string&) override {}
    std::string Show(const std::string&) override { return "CANCEL"; }
};

}  // namespace

void CreateAndLinkComponents(OutsideComponents& parts, CommComponent& comm,
                             const std::string& dataFolder, const std::string& programFile,
                             const OutsideComponentFactory& factory) {
    if (parts.linked) return;
    parts.validator =
        factory.makeValidator ? factory.makeValidator() : std::make_unique<ServerLookupValidator>();
    parts.utility = factory.makeUtility ? factory.makeUtility(dataFolder)
                                        : std::make_unique<FileUtilityComponent>(dataFolder);
    parts.linkedForUtility = std::make_unique<LinkedComponent>();
    parts.linkedForComm = std::make_unique<LinkedComponent>();
    parts.picker = factory.makePicker ? factory.makePicker(comm) : std::make_unique<CancelPicker>();

    parts.utility->SetLoggingIdentity("file: " + programFile, "FD", "FormsDesigner",
                                      "FormsDesignerErrors.log");
    parts.utility->SetWindowValues(100, 100, 255, "frmMain");
    parts.utility->SetLinkedComponent(parts.linkedForUtility.get());
    parts.validator->Link(parts.utility.get(), &comm);
    parts.linkedForComm->Link(&comm, parts.utility.get());
    parts.linked = true;
}
