// "formdesigner forms ...": the repository from a script. list, get, put, delete and
// copy use the routines of the windows: put goes through the save flow with its checks,
// copy through the copy window's logic.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "Commands.h"
#include "ConsoleUserInterface.h"
#include "LayoutTool.h"
#include "canvas/PagedLayout.h"
#include "layout/LocalFolders.h"
#include "server/ConnectionLogic.h"
#include "server/CopyFormsLogic.h"
#include "server/FormFlows.h"
#include "server/RepositoryCommands.h"
#include "server/Requests.h"
#include "server/TcpComm.h"
#include "shell/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

// The window's messages for a failed request do not always carry the reason; a command
// stopped by its deadline says so once, naming the server.
int SayIfGivenUp(int status, std::initializer_list<const TcpComm*> links) {
    for (const TcpComm* link : links)
        if (link->GaveUp())
            std::cerr << "formdesigner: " << cp1252::ToUtf8(link->DeadlineMessage()) << "\n";
    return status;
}

int Usage() {
    std::cerr << "usage: formdesigner forms list|get NAME [DIR]|put DIR|FILE.ldt|delete NAME\n"
                 "       formdesigner forms copy --from HOST:PORT --to HOST:PORT [--overwrite] "
                 "NAME...\n"
                 "       (each with [--server HOST:PORT] [--entity E] [--timeout S])\n";
    return 2;
}

// Messages go to standard output; a failure (an error box in the window) is counted so
// the exit status can tell. The overwrite question is answered as --overwrite says.
class ScriptUi : public ConsoleUserInterface {
  public:
    explicit ScriptUi(bool overwrite) : ConsoleUserInterface(std::cout), overwrite_(overwrite) {}
    void Message(const std::string& text, const std::string& title, MessageIcon icon) override {
        if (icon == MessageIcon::Critical || icon == MessageIcon::Warning) ++failures;
        ConsoleUserInterface::Message(text, title, icon);
    }
    bool OkCancel(const std::string& text, const std::string& title) override {
        ConsoleUserInterface::Message(text, title, MessageIcon::Question);
        return overwrite_;
    }
    int failures = 0;

  private:
    bool overwrite_;
};

struct Prompt : ConnectionPrompt {
    ConnectionLogic& logic;
    explicit Prompt(ConnectionLogic& l) : logic(l) {}
    bool Connected() const override { return logic.Connected(); }
    bool ShowConnectDialog() override { return logic.Connect(); }
};

bool SplitServer(const std::string& text, std::string& host, std::string& port) {
    auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
    return true;
}

// A form name that can be a file name and a request field.
bool PlainFormName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\|:^\xE6\xC5") == std::string::npos;
}

// The lines of a layout file up to the one that ends its header: the keys read from them
// never lie beyond, and a large layout is not read whole a second time.
std::vector<std::string> HeaderLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text;
    std::vector<char> block(64 * 1024);
    while (in.read(block.data(), std::streamsize(block.size())) || in.gcount() > 0) {
        const std::size_t from = text.size() < 11 ? 0 : text.size() - 11;
        text.append(block.data(), std::size_t(in.gcount()));
        if (text.rfind("</HEADER>\r\n", 0) == 0) return {"</HEADER>"};
        const std::size_t end = text.find("\r\n</HEADER>\r\n", from);
        if (end != std::string::npos) {
            text.resize(end + 11);
            break;
        }
    }
    return text::Split(text, "\r\n");
}

int Get(TcpComm& comm, ScriptUi& ui, const std::string& name, const fs::path& dir) {
    FormsDefinitions list;
    if (!requests::UpdateFormsDefinitions(comm, ui, list)) return 1;
    std::string reply;
    if (!list.Find(name) || !requests::LoadLayoutText(comm, ui, name, reply)) {
        std::cerr << "formdesigner: no form " << cp1252::ToUtf8(name) << " on the server\n";
        return 1;
    }
    std::string layout = PrepareLayoutData(std::move(reply)), error, statics;
    std::error_code ec;
    fs::create_directories(dir / "IMAGES", ec);
    for (const auto& file : requests::ImagesOfLayout(layout))
        requests::LoadImageToFileFromDB(comm, ui, name, list.ImageTimeStamp(name, file), file,
                                        (dir / "IMAGES").string());
    if (requests::GetStaticList(comm, ui, name, statics) && !statics.empty() &&
        !files::AtomicWriteFile((dir / (name + ".static")).string(), statics, error))
        ui.Message(error, "ERROR", MessageIcon::Critical);
    if (!files::AtomicWriteFile((dir / (name + ".ldt")).string(), layout, error))
        ui.Message(error, "ERROR", MessageIcon::Critical);
    return ui.failures ? 1 : 0;
}

int Put(TcpComm& comm, ScriptUi& ui, ConnectionLogic& connection, const fs::path& given) {
    fs::path file = given;
    if (fs::is_directory(given)) {
        std::vector<fs::path> layouts;
        for (const auto& e : fs::directory_iterator(given))
            if (e.path().extension() == ".ldt") layouts.push_back(e.path());
        if (layouts.size() != 1) {
            std::cerr << "formdesigner: " << given << " must hold exactly one .ldt file\n";
            return 2;
        }
        file = layouts[0];
    }
    // A form is read and written a page at a time, so a large one is never held whole
    // beside its text; one whose labels borrow definitions across pages is read whole.
    FixedTextMetrics metrics;
    auto paged = std::make_unique<PagedLayout>(ui, metrics);
    std::unique_ptr<LayoutTool> whole;
    const PagedLayout::Opened opened = paged->Open(file.string());
    if (opened == PagedLayout::Opened::Failed) return 1;
    if (opened == PagedLayout::Opened::ReadWhole) {
        paged.reset();
        whole = std::make_unique<LayoutTool>(ui);
        if (!whole->Open(file.string())) return 1;
    }
    FormModel& model = paged ? paged->Model() : whole->Model();
    CanvasModel& canvas = paged ? paged->Canvas() : whole->Canvas();
    // The window takes description and types from the forms list; a file carries them
    // in its header.
    FormSettings& settings = model.settings;
    for (const auto& line : HeaderLines(file)) {
        std::string key = text::SplitStr(line, "\t", 1), value = text::SplitStr(line, "\t", 2);
        if (settings.formName.empty() && text::EqualsNoCase(key, "Form_Name:"))
            settings.formName = value;
        else if (settings.formType.empty() && text::EqualsNoCase(key, "Form_Type:"))
            settings.formType = value;
        else if (settings.formDocumentType.empty() &&
                 text::EqualsNoCase(key, "Form_Document_Type:"))
            settings.formDocumentType = value;
        else if (line == "</HEADER>")
            break;
    }
    fs::path dir = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    LocalFolders folders(dir.string(), ui);
    FormFlows flows(comm, ui, folders, model, canvas, canvas, metrics);
    if (paged) flows.SetPreparedLayout(paged.get());
    Prompt prompt(connection);
    flows.SetConnectionPrompt(&prompt);
    flows.Options().doNotUseLocalFolder = true;  // the folder given is the only copy
    fs::path statics = dir / (settings.formCode + ".static");
    if (fs::exists(statics))
        flows.StaticItems() = requests::ReadStaticList(files::ReadTextFile(statics.string()));
    SaveOutcome outcome = flows.SaveFormToServer(false);
    return outcome == SaveOutcome::Saved && !ui.failures ? 0 : 1;
}

int Copy(ScriptUi& ui, const std::string& fromServer, const std::string& toServer,
         const std::string& entity, const std::vector<std::string>& names,
         const CommDeadline& deadline) {
    TcpComm from, to;
    from.SetDeadline(deadline);
    to.SetDeadline(deadline);
    CopyFormsLogic logic(from, to, ui);
    logic.entity = entity;
    if (names.empty() || !SplitServer(fromServer, logic.fromAddress, logic.fromPort) ||
        !SplitServer(toServer, logic.toAddress, logic.toPort))
        return Usage();
    if (!logic.CheckAddress(CopyFormsLogic::Server::From) ||
        !logic.CheckAddress(CopyFormsLogic::Server::To)) {
        std::cerr << "formdesigner: a host name does not resolve\n";
        return 1;
    }
    // A form copied onto itself would be replaced by what was just read from it.
    if (logic.SameServer()) {
        std::cerr << "formdesigner: the source and the target are the same server\n";
        return 1;
    }
    if (!logic.ConnectAndList(CopyFormsLogic::Server::To) ||
        !logic.ConnectAndList(CopyFormsLogic::Server::From))
        return SayIfGivenUp(1, {&from, &to});
    int missing = 0;
    for (const auto& name : names) {
        std::size_t row = 0;
        while (row < logic.available.size() && logic.available[row].name != name) ++row;
        if (row == logic.available.size()) {
            std::cout << "not on the source server: " << cp1252::ToUtf8(name) << "\n";
            ++missing;
        } else if (!logic.MoveToCopy({row})) {
            std::cout << "skipped (exists on the target; --overwrite replaces it): "
                      << cp1252::ToUtf8(name) << "\n";
            ++missing;
        }
    }
    auto results = logic.toCopy.empty() ? std::vector<CopyResult>{} : logic.CopyFormsToNewServer();
    SayIfGivenUp(0, {&from, &to});
    if (!results.empty()) std::cout << cp1252::ToUtf8(CopyFormsLogic::Summary(results)) << "\n";
    bool allWhole = true;
    for (const auto& r : results) allWhole = allWhole && r.outcome == CopyResult::Outcome::Whole;
    return missing || !allWhole ? 1 : 0;
}

}  // namespace

int RunFormsCommand(const std::vector<std::string>& args) {
    std::map<std::string, std::string> opt{{"--server", "127.0.0.1:5001"}};
    std::vector<std::string> words;
    bool overwrite = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--overwrite") {
            overwrite = true;
        } else if (a.rfind("--", 0) == 0) {
            if (i + 1 >= args.size() || (a != "--server" && a != "--entity" && a != "--from" &&
                                         a != "--to" && a != "--timeout"))
                return Usage();
            opt[a] = args[++i];
        } else {
            words.push_back(cp1252::FromUtf8(a));
        }
    }
    if (words.empty()) return Usage();
    const std::string verb = words[0];
    words.erase(words.begin());
    // The whole command, every request of it, ends by one deadline.
    CommDeadline deadline;
    if (!ParseCommandTimeout(
            opt.count("--timeout") ? opt["--timeout"] : std::to_string(kDefaultCommandSeconds),
            deadline))
        return Usage();
    ScriptUi ui(overwrite);
    if (verb == "copy")
        return Copy(ui, opt["--from"], opt["--to"], opt["--entity"], words, deadline);

    TcpComm comm;
    comm.SetDeadline(deadline);
    ConnectionLogic connection(comm, ui);
    if (!SplitServer(opt["--server"], connection.address, connection.port)) return Usage();
    connection.entity = opt["--entity"];
    bool wantsName = verb == "get" || verb == "delete";
    if ((verb == "list" && !words.empty()) || (wantsName && words.empty()) ||
        (verb == "get" && words.size() > 2) || (verb == "delete" && words.size() != 1) ||
        (verb == "put" && words.size() != 1))
        return Usage();
    if (wantsName && !PlainFormName(words[0])) {
        std::cerr << "formdesigner: not a form name: " << cp1252::ToUtf8(words[0]) << "\n";
        return 2;
    }
    if (verb != "list" && verb != "get" && verb != "put" && verb != "delete") return Usage();
    auto run = [&] {
        if (!connection.Connect()) return 1;
        if (verb == "list") {
            FormsDefinitions list;
            if (!requests::UpdateFormsDefinitions(comm, ui, list)) return 1;
            for (const auto& d : list)
                std::cout << cp1252::ToUtf8(d.name + "\t" + d.description + "\t" + d.type + "\t" +
                                            d.documentType + "\t" + d.timeStamp + "\t" +
                                            std::to_string(d.imageCount))
                          << "\n";
            return 0;
        }
        if (verb == "get")
            return Get(comm, ui, words[0], words.size() > 1 ? fs::path(words[1]) : fs::path("."));
        if (verb == "put") return Put(comm, ui, connection, fs::path(words[0]));
        bool ok = requests::DeleteReport(comm, ui, words[0]);
        ok = requests::DeleteAllImagesForReport(comm, ui, words[0]) && ok;
        ok = requests::DeleteStaticListOf(comm, ui, words[0]) && ok;
        return ok && !ui.failures ? 0 : 1;
    };
    return SayIfGivenUp(run(), {&comm});
}
