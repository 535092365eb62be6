#include <cstdint>
#include <memory>
#include <regex>
#include <vector>

#include "DemoData.h"
#include "Repository.h"
#include "RequestHandler.h"
#include "TestEngines.h"
#include "layout/LayoutTestSupport.h"
#include "layout/SaveValidation.h"
#include "shell/TextUtils.h"

using repo::Reply;

namespace {

const std::string kE6(1, '\xE6');

std::string Joined(const Reply& r) {
    return text::Join(r, "");
}

std::string SaveRequest(const std::string& name, const std::string& layout,
                        const std::string& desc = "Desc", const std::string& type = "CS",
                        const std::string& doc = "CHG") {
    return "|SET|CUSTFORM|T|" + name + "|" + desc + ":" + type + ":" + doc + "|" + layout;
}

class Handler : public ::testing::TestWithParam<repotest::Engine> {
  protected:
    void SetUp() override {
        std::string error;
        repository = repo::Repository::Open(place.location, error);
        ASSERT_TRUE(repository) << error;
        handler = std::make_unique<repo::RequestHandler>(*repository);
    }
    // Every fetch is asked twice: its frame body, written straight from the store, must
    // hold the reply encoded.
    Reply Ask(const std::string& request, const std::string& entity = "1") {
        Reply reply = handler->Handle(session, entity, request);
        if (text::StartsWith(request, "|GET")) {
            std::string body = "stale";
            handler->Respond(session, entity, request, nullptr, body);
            Reply framed = reply;
            framed.insert(framed.begin(), "OK");
            EXPECT_EQ(body, wire::EncodeFields(framed)) << request.substr(0, 60);
        }
        return reply;
    }
    // A request of upload `id` at place index of count.
    std::string AskPart(const std::string& request, std::uint64_t id, std::uint32_t index,
                        std::uint32_t count) {
        wire::Sequence seq{id, index, count};
        return Joined(handler->Handle(session, "1", request, &seq));
    }
    std::string AskText(const std::string& request, const std::string& entity = "1") {
        return Joined(Ask(request, entity));
    }
    // The list records without framing, each split at "^".
    std::vector<std::vector<std::string>> FormsList() {
        std::string t = AskText("|GET|CUSTFORM|L");
        EXPECT_TRUE(text::StartsWith(t, "|OK||")) << t;
        EXPECT_TRUE(text::EndsWith(t, "|END|")) << t;
        t = t.substr(5, t.size() - 10);
        std::vector<std::vector<std::string>> out;
        for (const auto& rec : text::Split(t, ":"))
            if (!rec.empty()) out.push_back(text::Split(rec, "^"));
        return out;
    }
    std::string Save(const std::string& name, const std::string& layout) {
        return AskText(SaveRequest(name, layout));
    }

    repotest::Scratch place{GetParam(), true};
    std::unique_ptr<repo::Repository> repository;
    std::unique_ptr<repo::RequestHandler> handler;
    repo::Session session;
};

const std::string kLayout =
    "<HEADER>\r\nTimeStamp:\t\r\nPage:\t8.5\t11\r\n</HEADER>\r\n<PAGE>\r\nA|b\tc\r\n</PAGE>";

}  // namespace

FD_ON_BOTH_ENGINES(Handler);

// Each row: the entity, a request, and its reply's elements joined, in turn on one repository.
TEST_P(Handler, RequestsInTurnGetTheirReplies) {
    const std::string done = "|OK||DONE|END|", badName = "ERROR: invalid form name",
                      notFound = "ERROR: form not found", badFlags = "ERROR: flags must be 1 or 0",
                      noImage = "ERROR: image not found",
                      badPicture = "ERROR: invalid image file name";
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += char(i);
    bytes += "|END|\r\n|OK||";
    const std::string list =
        "99213" + kE6 + "Office visit" + kE6 + "\t36415" + kE6 + "Draw|blood" + kE6;
    const struct {
        const char* entity;
        std::string request, reply;
    } rows[] = {
        {"1", "|GET|PING", "|OK||PING|END|"},
        // Names and fields that would break the list's records.
        {"1", SaveRequest("", "x"), badName},
        {"1", SaveRequest("A:B", "x"), badName},
        {"1", SaveRequest("A^B", "x"), badName},
        {"1", SaveRequest("A" + kE6, "x"), badName},
        {"1", SaveRequest(std::string(201, 'N'), "x"), badName},
        {"1", SaveRequest(std::string(200, 'N'), "x"), done},
        {"1", "|SET|CUSTFORM|T-D|" + std::string(200, 'N'), done},
        {"1", SaveRequest("F", "x", "De^sc"),
         "ERROR: invalid form description, type or document type"},
        {"1", SaveRequest("F", ""), "ERROR: empty layout"},
        {"1", "|SET|CUSTFORM|T|F", "ERROR: bad form record"},
        {"1", "|SET|CUSTFORM|T|F|desc only", "ERROR: bad form record"},
        {"1", "|GET|CUSTFORM|T|F", notFound},
        // Flags, and deletes of known and unknown forms.
        {"1", SaveRequest("F", "x"), done},
        {"1", "|SET|CUSTFORM|O|F|1\t1", done},
        {"1", "|SET|CUSTFORM|O|F|yes\t1", badFlags},
        {"1", "|SET|CUSTFORM|O|F|1", badFlags},
        {"1", "|SET|CUSTFORM|O|NOPE|1\t0", notFound},
        // Pictures travel byte for byte, go a form at a time and outlive their form's record.
        {"1", "|SET|CUSTFORM|I-0|F|logo.bmp|" + bytes, done},
        {"1", "|GET|CUSTFORM|I|F||logo.bmp", "|OK||" + bytes + "|END|"},
        {"1", "|GET|CUSTFORM|I|F|19990101000000000|logo.bmp", noImage},
        {"1", "|GET|CUSTFORM|I|F||other.bmp", noImage},
        {"1", "|SET|CUSTFORM|I-0|G|g.bmp|gg", done},
        {"1", "|SET|CUSTFORM|I|F|D|", done},
        {"1", "|GET|CUSTFORM|I|F||logo.bmp", noImage},
        {"1", "|GET|CUSTFORM|I|G||g.bmp", "|OK||gg|END|"},
        {"1", "|SET|CUSTFORM|I-0|F|logo.bmp|again", done},
        {"1", "|SET|CUSTFORM|T-D|F", done},
        {"1", "|SET|CUSTFORM|T-D|F", notFound},
        {"1", "|GET|CUSTFORM|I|F||logo.bmp", "|OK||again|END|"},
        // Static lists are kept as sent, per entity; deleting one never there is no error.
        {"1", "|GET|CUSTFORM|S|F", ""},
        {"1", "|SET|CUSTFORM|S|F|" + list, done},
        {"1", "|GET|CUSTFORM|S|F", list},
        {"2", "|GET|CUSTFORM|S|F", ""},
        {"1", "|SET|CUSTFORM|S-D|F", done},
        {"1", "|GET|CUSTFORM|S|F", ""},
        {"1", "|SET|CUSTFORM|S-D|NEVER", done},
        {"1", "|SET|CUSTFORM|S|F|", done},
        {"1", "|GET|CUSTFORM|S|F", ""},
        // Pictures that cannot be stored.
        {"1", "|SET|CUSTFORM|I-0|F|empty.bmp|", "ERROR: empty image"},
        {"1", "|SET|CUSTFORM|I-0|F|noext|xx", badPicture},
        {"1", "|SET|CUSTFORM|I-0|F|.bmp|xx", badPicture},  // no base name
        {"1", "|SET|CUSTFORM|I-0|F|a.|xx", badPicture},    // no extension
        {"1", "|SET|CUSTFORM|I-0|F|../up.bmp|xx", badPicture},
        {"1", "|SET|CUSTFORM|I-0|F|a:b.bmp|xx", badPicture},
        {"1", "|SET|CUSTFORM|I-0|F||xx", badPicture},
        {"1", "|SET|CUSTFORM|I-0|F|" + std::string(197, 'p') + ".bmp|xx", badPicture},
        {"1", "|SET|CUSTFORM|I-0|F|" + std::string(196, 'p') + ".bmp|xx", done},
        // Entities are separate namespaces.
        {"1", SaveRequest("SAME", "for one"), done},
        {"2", SaveRequest("SAME", "for two"), done},
        {"1", SaveRequest("ONLY1", "x"), done},
        {"1", "|GET|CUSTFORM|H", "|OK||ONLY1\t1\t0" + kE6 + "SAME\t1\t0" + kE6 + "|END|"},
        {"2", "|GET|CUSTFORM|H", "|OK||SAME\t1\t0" + kE6 + "|END|"},
        {"", "|GET|CUSTFORM|H", "|OK|||END|"},
        {"2", "|GET|CUSTFORM|T|SAME", "|OK||for two|END|"},
        {"2", "|GET|CUSTFORM|T|ONLY1", notFound},
        {"2", "|SET|CUSTFORM|T-D|SAME", done},
        {"1", "|GET|CUSTFORM|T|SAME", "|OK||for one|END|"},
        {"1", "|SET|CUSTFORM|I-0|SAME|p.bmp|xyz", done},
        {"2", "|GET|CUSTFORM|I|SAME||p.bmp", noImage},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AskText(row.request, row.entity), row.reply) << row.request.substr(0, 60);
    EXPECT_EQ(Ask("|SET|CUSTFORM|S|F|" + list), Reply{done});
    EXPECT_EQ(Ask("|GET|CUSTFORM|S|F"), Reply{list});

    // Anything unknown or malformed gets one error element.
    const std::string unknown[] = {"",
                                   "|",
                                   "||||",
                                   "GET|CUSTFORM|L",
                                   "|GET|",
                                   "|GET|CUSTFORM|",
                                   "|GET|CUSTFORM|X",
                                   "|GET|CUSTFORM|Lx",
                                   "|SET|CUSTFORM|",
                                   "|SET|CUSTFORM|Q|x",
                                   "|SET|CUSTFORM|I-|F|a.b|x",
                                   "|SET|CUSTFORM|I-x|F|a.b|x",
                                   "|SET|CUSTFORM|I-01|F|a.b|x",
                                   "|GET|CUSTFORM|I|F",
                                   "|SET|CUSTFORM|I|F|X|",
                                   "|GET|SQL|",
                                   "|GET|SQL|FIELDS|a",
                                   "|GETP|",
                                   "|GET|CODE1|X:Q|1",
                                   "\xFF\r\n",
                                   {"\0\xFF", 2}};
    for (const auto& bad : unknown) EXPECT_EQ(Ask(bad), Reply{"ERROR: unknown request"}) << bad;
}

TEST_P(Handler, StoredFormComesBackInListFlagsAndLayoutAndKeepsItsFlagsWhenSavedAgain) {
    EXPECT_EQ(Save("CHARGE01", kLayout), "|OK||DONE|END|");
    auto list = FormsList();
    ASSERT_EQ(list.size(), 1u);
    // The stamp is 17 digits; the date's colons travel as ";".
    ASSERT_TRUE(std::regex_match(text::Join(list[0], "^"),
                                 std::regex(R"(CHARGE01\^Desc\^CS\^\d{17}\^)"
                                            R"(\d{4}/\d\d/\d\d \d\d;\d\d;\d\d\^\^CHG)")))
        << text::Join(list[0], "^");
    const std::string stamp = list[0][3];

    // An element a line.
    EXPECT_EQ(Ask("|GET|CUSTFORM|T|CHARGE01"),
              text::Split("|OK||" + kLayout + "\r\n|END|", "\r\n"));
    // The flags stay when the form is saved again; the new version takes a later stamp.
    ASSERT_EQ(AskText("|SET|CUSTFORM|O|CHARGE01|0\t1"), "|OK||DONE|END|");
    Save("CHARGE01", "v2");
    EXPECT_GT(FormsList()[0][3], stamp);
    EXPECT_EQ(Ask("|GET|CUSTFORM|H"), (Reply{"|OK||", "CHARGE01\t0\t1" + kE6, "|END|"}));

    // A description may hold ":" (type and document type are taken from the right), listed
    // as ";"; an older record without type or document type is still taken.
    EXPECT_EQ(AskText(SaveRequest("G", "x", "Visit: new", "T", "D")), "|OK||DONE|END|");
    EXPECT_EQ(AskText("|SET|CUSTFORM|T|H|Plain|x"), "|OK||DONE|END|");
    list = FormsList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1][1] + list[1][2] + list[1][6], "Visit; newTD");
    EXPECT_EQ(list[2][1], "Plain");
}

// Each row: requests on one connection (no sequence field when id is 0; "END" ends the
// connection). Before and after each row F holds the layout "old", picture pic.bmp "ORIGINAL".
TEST_P(Handler, PiecesStoreNothingUnlessTheirWholeUploadCame) {
    struct Step {
        std::string request;
        std::uint64_t id;
        std::uint32_t index, count;
        std::string reply;
    };
    const std::string noSequence = "ERROR: piece without sequence field; nothing stored";
    const std::string outOfOrder = "ERROR: image piece out of order",
                      outOfSequence = "ERROR: upload part out of sequence; nothing stored";
    const std::string piece = "|OK||PIECE|END|",
                      incomplete = "ERROR: incomplete form record; nothing stored";
    const std::string big(repo::RequestHandler::kMaxAssembledBytes / 2, 'p');
    struct Row {
        const char* what;
        std::vector<Step> steps;
    } rows[] = {
        {"record pieces without sequence field, then its first piece, then a save",
         {{"|SETL|ayout", 0, 0, 0, noSequence},
          {"|SETL|tail", 0, 0, 0, noSequence},
          {"|SET|CUSTFORM|T|F|d:t:c|new l", 0, 0, 0, incomplete},
          {"|SET|CUSTFORM|T|G|d:t:c|a save of its own", 0, 0, 0, "|OK||DONE|END|"}}},
        {"picture pieces without sequence field, then a ping",
         {{"|SET|CUSTFORM|I-1|F|pic.bmp|NEW1", 0, 0, 0, noSequence},
          {"|SET|CUSTFORM|I-2|F|pic.bmp|NEW2", 0, 0, 0, noSequence},
          {"|GET|PING|", 0, 0, 0, "|OK||PING|END|"}}},
        {"3 of 6 picture pieces, then a ping",
         {{"|SET|CUSTFORM|I-1|F|pic.bmp|NEW1", 5, 1, 6, piece},
          {"|SET|CUSTFORM|I-2|F|pic.bmp|NEW2", 5, 2, 6, piece},
          {"|SET|CUSTFORM|I-3|F|pic.bmp|NEW3", 5, 3, 6, piece},
          {"|GET|PING|", 0, 0, 0, "|OK||PING|END|"}}},
        {"pieces sent on after a picture too large",
         {{"|SET|CUSTFORM|I-1|F|pic.bmp|" + big, 6, 1, 4, piece},
          {"|SET|CUSTFORM|I-2|F|pic.bmp|" + big, 6, 2, 4, piece},
          {"|SET|CUSTFORM|I-3|F|pic.bmp|" + big, 6, 3, 4, "ERROR: image too large"},
          {"|SET|CUSTFORM|I-4|F|pic.bmp|x", 6, 4, 4, outOfOrder}}},
        {"a piece skipped, or of another picture, form or upload",
         {{"|SET|CUSTFORM|I-1|F|pic.bmp|NEW1", 7, 1, 2, piece},
          {"|SET|CUSTFORM|I-3|F|pic.bmp|NEW3", 7, 2, 2, outOfOrder},
          {"|SET|CUSTFORM|I-1|F|pic.bmp|NEW1", 8, 1, 2, piece},
          {"|SET|CUSTFORM|I-2|F|other.bmp|X", 8, 2, 2, outOfOrder},
          {"|SET|CUSTFORM|I-1|F|pic.bmp|NEW1", 9, 1, 2, piece},
          {"|SET|CUSTFORM|I-2|G|pic.bmp|X", 9, 2, 2, outOfOrder},
          {"|SET|CUSTFORM|I-1|F|pic.bmp|NEW1", 10, 1, 2, piece},
          {"|SET|CUSTFORM|I-2|F|pic.bmp|X", 11, 2, 2, outOfOrder}}},
        {"a save whose link was lost, carried on over a new one",
         {{"|SETL|ayout", 12, 1, 3, piece},
          {"END", 0, 0, 0, ""},
          {"|SET|CUSTFORM|T|F|d:t:c|new l", 12, 2, 3, incomplete},
          {"|SET|CUSTFORM|S|F|list", 12, 3, 3, outOfSequence}}},
        {"record parts missing, of another upload, or a piece in the record's place",
         {{"|SETL|ayout", 14, 2, 3, "ERROR: form record piece out of sequence"},
          {"|SET|CUSTFORM|T|F|d:t:c|new l", 14, 3, 3, incomplete},
          {"|SETL|ayout", 15, 1, 2, piece},
          {"|SET|CUSTFORM|T|F|d:t:c|new l", 16, 2, 2, incomplete},
          {"|SETL|ayout", 17, 1, 2, piece},
          {"|SETL|ayout", 17, 2, 2, "ERROR: form record piece out of sequence"}}},
        {"a save with a request of something else in between",
         {{"|SET|CUSTFORM|T|F|d:t:c|new", 13, 1, 3, piece},
          {"|GET|CUSTFORM|L", 13, 2, 3, "ERROR: request cannot be part of an upload"},
          {"|SET|CUSTFORM|I-0|F|pic.bmp|NEW", 13, 3, 3, outOfSequence}}},
    };
    for (const auto& row : rows) {
        Save("F", "old");
        Ask("|SET|CUSTFORM|I-0|F|pic.bmp|ORIGINAL");
        for (const auto& step : row.steps) {
            if (step.request == "END") {
                handler->EndSession(session);
                continue;
            }
            std::string reply = step.id ? AskPart(step.request, step.id, step.index, step.count)
                                        : AskText(step.request);
            EXPECT_EQ(reply, step.reply) << row.what << ": " << step.request.substr(0, 40);
        }
        handler->EndSession(session);
        EXPECT_EQ(AskText("|GET|CUSTFORM|T|F"), "|OK||old|END|") << row.what;
        EXPECT_EQ(AskText("|GET|CUSTFORM|I|F||pic.bmp"), "|OK||ORIGINAL|END|") << row.what;
        EXPECT_EQ(AskText("|GET|CUSTFORM|I|F||other.bmp"), "ERROR: image not found") << row.what;
        EXPECT_EQ(handler->StagedBytes(), 0u) << row.what;
    }
}

TEST_P(Handler, HugeRequestsAreStoredOrRefusedWholeAndStagedBytesAreCapped) {
    std::string layout(5 * 1024 * 1024, '\xE6');
    EXPECT_EQ(Save("HUGE", layout), "|OK||DONE|END|");
    EXPECT_EQ(AskText("|GET|CUSTFORM|T|HUGE").size(), layout.size() + 10);

    // A record is refused at the size whose layout could no longer be read back.
    std::string lines(wire::kMaxFormRecordBytes / 2, 'p');
    EXPECT_EQ(AskPart("|SETL|" + lines, 1, 1, 3), "|OK||PIECE|END|");
    EXPECT_EQ(AskPart("|SETL|" + lines, 1, 2, 3), "|OK||PIECE|END|");
    EXPECT_EQ(AskPart("|SET|CUSTFORM|T|H|d::|", 1, 3, 3), "ERROR: form record too large");
    EXPECT_EQ(AskText("|GET|CUSTFORM|T|H"), "ERROR: form not found");
    // The worst layout for its size, all line ends, still comes back in one frame.
    std::string crlf(1 << 20, '\n');
    for (size_t i = 0; i < crlf.size(); i += 2) crlf[i] = '\r';
    ASSERT_EQ(Save("CRLF", crlf), "|OK||DONE|END|");
    Reply back = Ask("|GET|CUSTFORM|T|CRLF");
    back.insert(back.begin(), "OK");
    size_t record = std::string("CRLF|Desc:CS:CHG|").size() + crlf.size();
    EXPECT_LE(wire::EncodeFields(back).size(), 2 * record + 64);

    // Staged bytes are capped per connection and in total.
    repo::RequestHandler small(*repository, {1000, 1500});
    repo::Session one, two;
    auto part = [&](repo::Session& s, std::uint64_t id, std::uint32_t i, size_t bytes) {
        wire::Sequence seq{id, i, 9};
        return Joined(small.Handle(s, "1", "|SETL|" + std::string(bytes, 'x'), &seq));
    };
    EXPECT_EQ(part(one, 1, 1, 600), "|OK||PIECE|END|");
    EXPECT_EQ(part(one, 1, 2, 500), "ERROR: upload too large; nothing stored");
    EXPECT_EQ(small.StagedBytes(), 0u);  // the refused upload was dropped whole
    EXPECT_EQ(part(one, 2, 1, 900), "|OK||PIECE|END|");
    EXPECT_EQ(part(two, 3, 1, 700),
              "ERROR: server busy: too much staged by other uploads; nothing stored");
    small.EndSession(one);
    EXPECT_EQ(small.StagedBytes(), 0u);
    EXPECT_EQ(part(two, 4, 1, 700), "|OK||PIECE|END|");
    small.EndSession(two);
}

TEST_P(Handler, ASaveIsSeenOldOrNewWholeAndDropsPicturesItsLayoutNoLongerNames) {
    Save("F", "Image:\t1\t2\t3\t4\ta.bmp\r\nBackground_Image:\tb.bmp\r\nImage:\t\t\t\t\tk.bmp");
    for (std::string p : {"a.bmp|A1", "b.bmp|B1", "k.bmp|K1"}) Ask("|SET|CUSTFORM|I-0|F|" + p);
    Ask("|SET|CUSTFORM|S|F|L1");
    // The new layout names a.bmp (sent again), c.bmp (new, in pieces) and k.bmp (not sent:
    // the stored one stays); b.bmp it no longer names.
    const std::string record =
        "F|New:CS:CHG|image:\t1\t2\t3\t4\ta.bmp\r\nimage:\t\t\t\t\tc.bmp\t9\r\nIMAGE:\t\t\t\t\tk."
        "bmp";
    const std::vector<std::string> parts = {
        "|SETL|" + record.substr(4),    "|SET|CUSTFORM|T|" + record.substr(0, 4),
        "|SET|CUSTFORM|I-0|F|a.bmp|A2", "|SET|CUSTFORM|I-1|F|c.bmp|C1",
        "|SET|CUSTFORM|I-2|F|c.bmp|C2", "|SET|CUSTFORM|S|F|L2"};
    repo::Session reader;
    auto state = [&] {
        std::string out = Joined(handler->Handle(reader, "1", "|GET|CUSTFORM|T|F"));
        for (std::string p : {"a", "b", "c", "k"})
            out += " " + Joined(handler->Handle(reader, "1", "|GET|CUSTFORM|I|F||" + p + ".bmp"));
        return out + " " + Joined(handler->Handle(reader, "1", "|GET|CUSTFORM|S|F"));
    };
    const std::string before = state();
    // Until the last part, readers see the old version whole.
    const auto n = std::uint32_t(parts.size());
    for (std::uint32_t i = 1; i < n; ++i) {
        EXPECT_EQ(AskPart(parts[i - 1], 40, i, n), "|OK||PIECE|END|") << i;
        EXPECT_EQ(state(), before) << "after part " << i;
    }
    EXPECT_EQ(AskPart(parts.back(), 40, n, n), "|OK||DONE|END|");
    EXPECT_EQ(state(), "|OK||" + text::ReplaceAll(record.substr(13), "\r\n", "") +
                           "|END| |OK||A2|END| ERROR: image not found " +
                           "|OK||C1C2|END| |OK||K1|END| L2")
        << state();
    // The form and the pictures sent with it carry the save's one stamp.
    auto list = FormsList();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0][1], "New");  // the description ran past the record's first part
    for (std::string p : {"a.bmp", "c.bmp"})
        EXPECT_NE(list[0][5].find(list[0][3] + "\xC5" + p), std::string::npos) << p;
    EXPECT_EQ(handler->StagedBytes(), 0u);
}

// The first thing a user opens is not a warning: every demo form, and after a save too.
TEST_P(Handler, EveryDemoFormReadsWithoutAMessageAndWritesBackStably) {
    std::string error;
    ASSERT_TRUE(repo::SeedDemoData(*repository, error)) << error;
    // Each entity is seeded with the same forms.
    std::vector<repo::FormRecord> forms;
    ASSERT_EQ(repository->ListForms("1", forms, error), repo::Status::Ok) << error;
    EXPECT_GE(forms.size(), 4u);
    for (const repo::FormRecord& listed : forms) {
        SCOPED_TRACE(listed.name);
        repo::FormRecord form;
        ASSERT_EQ(repository->FindForm("1", listed.name, form, error), repo::Status::Ok);
        LoadedLayout first;
        ASSERT_TRUE(first.Read(form.layout));
        ASSERT_TRUE(BuildFormItemsArray(first.model, first.store, first.ui));
        EXPECT_TRUE(ValidateDataBoundLabels(first.model, first.store, first.ui, false));
        EXPECT_TRUE(ValidateUserPromptsLabels(first.model, first.store, first.ui, false));
        EXPECT_TRUE(first.ui.Messages().empty()) << first.ui.Messages()[0].text;
        const std::string saved = first.Write();
        LoadedLayout second;
        ASSERT_TRUE(second.Read(saved));
        EXPECT_TRUE(second.ui.Messages().empty());
        EXPECT_EQ(second.Write(), saved);
    }
}

// Each row: the entity, a request, and its reply's elements joined by "\n", as the designer's
// catalogue, look-ups and record searches read them.
TEST_P(Handler, CatalogueCodeListsAndRecordSearchesAnswerInTheShapesTheDesignerReads) {
    std::string error;
    ASSERT_TRUE(repo::SeedDemoData(*repository, error)) << error;
    const std::string search = "|GET|EMR|*||SEARCH|AND|DESCR\tOR\t",
                      older = "|GETP|EFORM|LIST||ACCNT:\tDOS:\tTYPE:\tNAME:";
    const std::string office = text::Join(
        {"NEW PATIENT\t1\t\t\t", "\t2\t99203\tNew patient, low\t",
         "\t3\t99204\tNew patient, moderate\t", "ESTABLISHED\t4\t\t\t",
         "\t5\t99213\tEstablished, low\t15", "\t6\t99214\tEstablished, moderate\t25", ""},
        kE6);
    const struct {
        const char* entity;
        std::string request, reply;
    } rows[] = {
        {"1", "|GET|SQL|FIELDS|PRACTICE|PATIENT|LAST_NAME",
         text::Join({"Last Name", "CHAR(30)", "LNAME", "PID-5.1", "ST", "Y", "PT_NAME"}, kE6)},
        {"1", "|GET|SQL|FIELDS|PRACTICE|PATIENT|NOPE", "ERROR: field not found"},
        {"1", "|GET|CODE1|CHL:0|OFFICE", "|OK||CHL:0:OFFICE:Office Visits:" + office + ":|END|"},
        {"1", "|GET|CODE1|CHL:0|NOPE", "ERROR: code set not found"},
        {"1", "|GET|CODE1|IDT",
         "|OK||\nCHG    Charge Slip\nSTM    Statement\nEMR    Medical Record\nINT    Intake "
         "Form\nCON    Consent\n|END|"},
        // In the order stored, though other lists' codes came in between.
        {"1", "|GET|CODE1|ACCNT",
         "|OK||\n10101    Nguyen, Thao\n10023    Miller, Ann\n10047    Garcia, Luis\n|END|"},
        {"1", "|GET|CODE1|IDT:V| chg ", "|OK||VALID|CHG|END|"},
        {"1", "|GET|CODE1|LKP|PS", "ERROR: unknown request"},  // not a designer request
        {"1", "|GETP|CUSTFORM|L", "|OK||4|END|"},
        // Newer records are searched by form in any case, older ones by name.
        {"1", search + "emrvitals",
         "|OK||10023\t2026/11/02\tEMRVITALS\tVital signs\t20261102093000000\n|END|"},
        {"9", search + "EMRVITALS", "|OK||\n|END|"},
        {"1", older + "INTAKE\tSAVE:|*|",
         "|OK||ACCNT:10047\tDOS:2026/10/15\tTYPE:INT\tNAME:INTAKE\tSAVE:20261015141500000\n|END|"},
        // Their errors sit behind the framing, where the save flow reads them.
        {"1", "|GET|EMR|*|SEARCH", "|OK||ERROR: bad search request"},
        {"1", "|GET|EMR|*||SEARCH|AND|DESCR\tOR", "|OK||ERROR: bad search criteria"},
        {"1", "|GETP|EFORM|LIST||NAME:X", "|OK||ERROR: bad search request"},
        {"1", "|GETP|EFORM|LIST||BOGUS:1|*|", "|OK||ERROR: unknown search field BOGUS"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(text::Join(Ask(row.request, row.entity), "\n"), row.reply) << row.request;
}
