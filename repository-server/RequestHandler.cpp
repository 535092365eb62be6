#include "RequestHandler.h"

#include <cstdio>

#include "ReplyText.h"
#include "shell/Cp1252.h"
#include "shell/TextUtils.h"

namespace repo {
using namespace reply;
namespace {

constexpr size_t kMaxNameBytes = 200;

// Replies that Respond writes straight into the frame.
constexpr std::string_view kGetLayout = "|GET|CUSTFORM|T|";
constexpr std::string_view kGetImage = "|GET|CUSTFORM|I|";

// Calls add(line) for every CR LF separated line of a layout text.
template <class Add>
void ForEachLine(std::string_view layout, Add add) {
    size_t start = 0;
    for (;;) {
        size_t p = layout.find("\r\n", start);
        add(layout.substr(start, p == std::string_view::npos ? p : p - start));
        if (p == std::string_view::npos) break;
        start = p + 2;
    }
}

// One layout text as reply lines: the first carries the framing in front.
Reply LinesOf(std::string_view layout) {
    Reply out;
    ForEachLine(layout, [&](std::string_view line) { out.emplace_back(line); });
    out.front().insert(0, kOk);
    out.emplace_back(kEnd);
    return out;
}

void AddLinesOf(wire::FieldWriter& out, std::string_view layout) {
    out.AddPieces(layout, "\r\n", kOk);
    out.Add(kEnd);
}

}  // namespace

bool IsValidFormName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameBytes && !HasAny(name, kListSeparators);
}

bool IsValidImageFileName(std::string_view file) {
    if (file.empty() || file.size() > kMaxNameBytes) return false;
    if (HasAny(file, kListSeparators) || HasAny(file, "/\\")) return false;
    // The designer splits the name at "." into base name and extension.
    size_t dot = file.find('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < file.size();
}

Reply RequestHandler::Handle(Session& session, const std::string& entity, std::string_view text,
                             const wire::Sequence* sequence) {
    Settle(session, entity, sequence);
    return Dispatch(session, entity, text, sequence);
}

bool RequestHandler::SessionFree(const Session& session, std::string_view text,
                                 const wire::Sequence* sequence) {
    return !sequence && !session.Staged() &&
           (text.starts_with(kGetLayout) || text.starts_with(kGetImage));
}

void RequestHandler::Respond(Session& session, const std::string& entity, std::string_view text,
                             const wire::Sequence* sequence, std::string& body) {
    Settle(session, entity, sequence);
    body.clear();
    wire::FieldWriter out(body);
    out.Add(wire::kStatusOk);
    std::string_view args = text;
    FormRecord form;
    std::string bytes;
    Reply reply;
    if (sequence) {
        reply = Dispatch(session, entity, text, sequence);
    } else if (Consume(args, kGetLayout)) {
        if (FindLayout(entity, args, form, reply)) AddLinesOf(out, form.layout);
    } else if (Consume(args, kGetImage)) {
        if (FindImageBytes(entity, args, bytes, reply)) {
            out.Add(kOk, bytes);
            out.Add(kEnd);
        }
    } else {
        reply = Dispatch(session, entity, text, sequence);
    }
    for (const auto& e : reply) out.Add(e);
    out.Finish();
}

Reply RequestHandler::Dispatch(Session& session, const std::string& entity, std::string_view text,
                               const wire::Sequence* sequence) {
    std::string_view r = text;
    // A record whose pieces were refused for want of a sequence field is not stored from
    // its first piece alone.
    if (!text.starts_with("|SETL|") && !text.starts_with("|SET|CUSTFORM|T|"))
        session.piecesRefused = false;
    if (sequence) {
        // Only stores can be parts of an upload.
        if (Consume(r, "|SETL|"))
            return Part(session, StoreRecordPiece(session, entity, r, sequence), sequence);
        if (!Consume(r, "|SET|CUSTFORM|")) return NotAPart(session);
        Reply reply;
        if (Consume(r, "T|"))
            reply = StoreRecord(session, entity, r, sequence);
        else if (Consume(r, "I-0|"))
            reply = StoreWholeImage(session, entity, r, sequence);
        else if (Consume(r, "S-D|"))
            reply = StoreStaticList(session, entity, r, sequence, true);
        else if (Consume(r, "S|"))
            reply = StoreStaticList(session, entity, r, sequence, false);
        else if (Consume(r, "I-"))
            reply = StoreImagePiece(session, entity, r, sequence);
        else
            return NotAPart(session);
        return Part(session, std::move(reply), sequence);
    }
    if (text == "|GET|PING|" || text == "|GET|PING") return One("|OK||PING|END|");
    if (Consume(r, "|GETP|")) {
        if (r == "CUSTFORM|L") return RecordsReady(entity);
        if (Consume(r, "EFORM|LIST||")) return OlderRecords(entity, r);
        return Unknown();
    }
    if (Consume(r, "|SETL|")) return StoreRecordPiece(session, entity, r, nullptr);
    if (Consume(r, "|GET|")) {
        if (Consume(r, "CUSTFORM|")) {
            if (r == "L") return FormsList(entity);
            if (r == "H") return FormsFlags(entity);
            if (Consume(r, "T|")) return Layout(entity, r);  // kGetLayout
            if (Consume(r, "I|")) return Image(entity, r);   // kGetImage
            if (Consume(r, "S|")) return StaticList(entity, r);
            return Unknown();
        }
        if (r == "SQL|TABLES") return Tables();
        if (Consume(r, "SQL|FIELDS|")) return Fields(r);
        if (Consume(r, "CODE1|")) return CodeList(r);
        if (Consume(r, "EMR|")) return NewerRecords(entity, r);
        return Unknown();
    }
    if (Consume(r, "|SET|CUSTFORM|")) {
        if (Consume(r, "T|")) return StoreRecord(session, entity, r, nullptr);
        if (Consume(r, "T-D|")) return DeleteForm(entity, r);
        if (Consume(r, "O|")) return StoreFlags(entity, r);
        if (Consume(r, "I-0|")) return StoreWholeImage(session, entity, r, nullptr);
        if (Consume(r, "I|")) return DeleteImages(entity, r);
        if (Consume(r, "S-D|")) return StoreStaticList(session, entity, r, nullptr, true);
        if (Consume(r, "S|")) return StoreStaticList(session, entity, r, nullptr, false);
        if (Consume(r, "I-")) return StoreImagePiece(session, entity, r, nullptr);
        return Unknown();
    }
    return Unknown();
}

Reply RequestHandler::FormsList(const std::string& entity) {
    std::vector<FormRecord> forms;
    std::string error;
    if (repo_.ListForms(entity, forms, error) != Status::Ok) return DbFailure(error);
    Reply out{std::string(kOk)};
    for (const auto& f : forms) {
        std::string images;
        for (const auto& img : f.images) {
            images += std::to_string(img.id) + cp1252::kImagePartSep + img.timeStamp +
                      cp1252::kImagePartSep + img.file + cp1252::kBarcodeMark;
        }
        // A ":" would end the record early; the designer reads dates back from ";".
        out.push_back(text::ReplaceAll(f.name, ":", ";") + "^" +
                      text::ReplaceAll(f.description, ":", ";") + "^" + f.type + "^" + f.timeStamp +
                      "^" + text::ReplaceAll(f.dateModified, ":", ";") + "^" + images + "^" +
                      f.documentType + ":");
    }
    out.emplace_back(kEnd);
    return out;
}

Reply RequestHandler::FormsFlags(const std::string& entity) {
    std::vector<FormRecord> forms;
    std::string error;
    if (repo_.ListForms(entity, forms, error) != Status::Ok) return DbFailure(error);
    Reply out{std::string(kOk)};
    for (const auto& f : forms) {
        out.push_back(f.name + kTab + (f.active ? "1" : "0") + kTab + (f.selected ? "1" : "0") +
                      cp1252::kBarcodeMark);
    }
    out.emplace_back(kEnd);
    return out;
}

bool RequestHandler::FindLayout(const std::string& entity, std::string_view name, FormRecord& form,
                                Reply& reply) {
    std::string error;
    switch (repo_.FindForm(entity, std::string(name), form, error)) {
        case Status::Ok:
            return true;
        case Status::NotFound:
            reply = One(Error("form not found"));
            return false;
        case Status::Failed:
            break;
    }
    reply = DbFailure(error);
    return false;
}

Reply RequestHandler::Layout(const std::string& entity, std::string_view name) {
    FormRecord f;
    Reply error;
    return FindLayout(entity, name, f, error) ? LinesOf(f.layout) : error;
}

bool RequestHandler::FindImageBytes(const std::string& entity, std::string_view args,
                                    std::string& bytes, Reply& reply) {
    std::string form, stamp, error;
    if (!TakeField(args, form) || !TakeField(args, stamp)) {
        reply = Unknown();
        return false;
    }
    switch (repo_.FindImage(entity, form, stamp, std::string(args), bytes, error)) {
        case Status::Ok:
            return true;
        case Status::NotFound:
            reply = One(Error("image not found"));
            return false;
        case Status::Failed:
            break;
    }
    reply = DbFailure(error);
    return false;
}

Reply RequestHandler::Image(const std::string& entity, std::string_view args) {
    std::string bytes;
    Reply error;
    if (!FindImageBytes(entity, args, bytes, error)) return error;
    return Reply{std::string(kOk) + bytes, std::string(kEnd)};
}

Reply RequestHandler::StaticList(const std::string& entity, std::string_view name) {
    std::string list, error;
    if (repo_.FindStaticList(entity, std::string(name), list, error) == Status::Failed)
        return DbFailure(error);
    return One(list);  // used as it comes, so no framing; "" when there is none
}
Reply RequestHandler::DeleteForm(const std::string& entity, std::string_view name) {
    std::string error;
    switch (repo_.DeleteForm(entity, std::string(name), error)) {
        case Status::Ok:
            return One(kDone);
        case Status::NotFound:
            return One(Error("form not found"));
        case Status::Failed:
            break;
    }
    return DbFailure(error);
}

Reply RequestHandler::StoreFlags(const std::string& entity, std::string_view args) {
    std::string name;
    if (!TakeField(args, name)) return Unknown();
    auto flag = [](std::string_view v, bool& out) {
        if (v != "0" && v != "1") return false;
        out = v == "1";
        return true;
    };
    size_t tab = args.find(kTab);
    bool active = false, selected = false;
    if (tab == std::string_view::npos || !flag(args.substr(0, tab), active) ||
        !flag(args.substr(tab + 1), selected))
        return One(Error("flags must be 1 or 0"));
    std::string error;
    switch (repo_.SetFlags(entity, name, active, selected, error)) {
        case Status::Ok:
            return One(kDone);
        case Status::NotFound:
            return One(Error("form not found"));
        case Status::Failed:
            break;
    }
    return DbFailure(error);
}
Reply RequestHandler::DeleteImages(const std::string& entity, std::string_view args) {
    std::string form;
    if (!TakeField(args, form) || args != "D|") return Unknown();
    std::string error;
    if (repo_.DeleteImages(entity, form, error) != Status::Ok) return DbFailure(error);
    return One(kDone);
}
}  // namespace repo
