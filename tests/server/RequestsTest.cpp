// Request texts and reply readers: the exact bytes the server sees and how every
// reply shape is read.
#include <gtest/gtest.h>

#include "server/Requests.h"
#include "shell/TextUtils.h"

using namespace requests;

namespace {
const std::string E230 = "\xE6";
const std::string E197 = "\xC5";
using Texts = std::vector<std::string>;
}  // namespace

// The server joins the pieces (proven end to end); here: where one piece becomes two.
TEST(UploadPieces, RecordsPiecesFirstPicturesWholeOrNumberedLargeOnesInAnEvenCountEveryByte) {
    std::string record(30000, 'a');
    EXPECT_EQ(SaveRecordRequests(record), Texts{"|SET|CUSTFORM|T|" + record});
    EXPECT_EQ(SaveRecordRequests(record + "b"), (Texts{"|SETL|b", "|SET|CUSTFORM|T|" + record}));
    EXPECT_EQ(SaveRecordRequests(record + record.substr(1)).size(), 2u);  // full to the last byte

    std::string head = ImageHeaderWhole("F", "p.bmp");
    EXPECT_EQ(head, "|SET|CUSTFORM|I-0|F|p.bmp|");
    std::string fits(8999 - head.size(), 'x');
    EXPECT_EQ(ImageRequests("F", "p.bmp", fits), Texts{head + fits});
    auto many = ImageRequests("F", "p.bmp", fits + "y");
    ASSERT_EQ(many.size(), 2u);
    EXPECT_EQ(many[0].rfind("|SET|CUSTFORM|I-1|F|p.bmp|", 0), 0u);
    EXPECT_EQ(NumberedImageRequests("F", "p.bmp", "abc"), Texts{"|SET|CUSTFORM|I-1|F|p.bmp|abc"});
    EXPECT_EQ(NumberedImageRequests("F", "p.bmp", ""), Texts{"|SET|CUSTFORM|I-1|F|p.bmp|"});
    EXPECT_TRUE(NumberedImageRequests(std::string(9000, 'f'), "p.bmp", "abc").empty());

    // Large pictures: 9000 - (10 + len("|SET|CUSTFORM|I-111|F|p.bmp|")) bytes a piece; a
    // count that comes out at a half rounds to even (1.5 -> 2, 2.5 -> 2, 3.5 -> 4).
    const std::size_t size = LargeImagePieceSize("F", "p", "bmp");
    EXPECT_EQ(size, 9000u - (10u + 28u));
    const std::pair<std::size_t, std::size_t> counts[] = {
        {0, 0}, {1, 1}, {size, 2}, {2 * size, 2}, {3 * size, 4}, {2 * size + 1, 3}, {size / 2, 1}};
    for (auto [bytes, pieces] : counts)
        EXPECT_EQ(LargeImagePieceCount(bytes, size), pieces) << bytes;
    EXPECT_EQ(LargeImagePieceSize("F", std::string(9000, 'n'), "bmp"), 0u);
    EXPECT_EQ(LargeImagePieceCount(10, 0), 0u);
    // 20 bytes in pieces of 10: 2.5 rounds to 2; 10 bytes: 1.5 rounds to 2, one empty.
    const std::string bytes = "0123456789abcdefghij",
                      first = "|SET|CUSTFORM|I-1|F|p.bmp|0123456789";
    EXPECT_EQ(LargeImageRequests("F", "p", "bmp", bytes, 10),
              (Texts{first, "|SET|CUSTFORM|I-2|F|p.bmp|abcdefghij"}));
    EXPECT_EQ(LargeImageRequests("F", "p", "bmp", bytes.substr(0, 10), 10),
              (Texts{first, "|SET|CUSTFORM|I-2|F|p.bmp|"}));
    std::string binary("\r\n\0\xE6|x", 6);
    EXPECT_EQ(ImageRequestHead("|SET|CUSTFORM|I-0|F|p.bmp|" + binary),
              "|SET|CUSTFORM|I-0|F|p.bmp|");
}

TEST(FormsListReader, FieldCountsDecideTheMeaningAWrongFormatKeepsEarlierRecordsFlagsMatch) {
    std::string img = "1" + E197 + "2023" + E197 + "logo.bmp" + E230;
    std::vector<std::string> lines = {
        "|OK||",
        "A^Desc A^TS1^" + img + ":",
        "B^Desc B^TS2^2024/01/02 10;11;12^:",
        "C^Desc C^T1^TS3^2024/01/03 01;02;03^" + img + "junk" + E230 + "^DOC:",
        "D^Desc D^T2^TS4^d^:",
        "|END|"};
    FormsDefinitions list;
    std::string bad;
    ASSERT_EQ(ReadFormsList(lines, list, bad), ReadResult::Ok);
    // Each record as name, description, type, document type, stamp, date, picture count,
    // then each picture as stamp, base name and extension (or blank).
    std::vector<std::string> read;
    for (std::size_t i = 1; i <= list.Count(); ++i) {
        const FormDefinition& d = list.At(i);
        read.push_back(text::Join({d.name, d.description, d.type, d.documentType, d.timeStamp,
                                   d.dateModified, std::to_string(d.imageCount)},
                                  "|"));
        for (const auto& p : d.images)
            read.back() +=
                p.IsBlank() ? "|blank" : "|" + p.timeStamp + " " + p.baseName + " " + p.extension;
    }
    EXPECT_EQ(read,
              (Texts{"A|Desc A|||TS1||1|2023 logo bmp", "B|Desc B|||TS2|2024/01/02 10:11:12|0",
                     "C|Desc C|T1|DOC|TS3|2024/01/03 01:02:03|2|2023 logo bmp|blank",
                     "D|Desc D|T2||TS4|d|0"}));  // six fields: no document type
    EXPECT_EQ(list.IndexOf("c", true), 3u);
    EXPECT_EQ(list.IndexOf("c"), 0u);
    EXPECT_EQ(list.ImageTimeStamp("C", "LOGO.BMP"), "2023");

    // An empty reply, text after the last colon, a wrong format keeping earlier records.
    EXPECT_EQ(ReadFormsList({"|OK||", "|END|"}, list, bad), ReadResult::Ok);
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(ReadFormsList({"|OK||A^d^t^i:::B^d^t^i"}, list, bad), ReadResult::Ok);
    ASSERT_EQ(list.Count(), 1u);  // "B..." follows the last ":" and is ignored
    EXPECT_EQ(ReadFormsList({"|OK||A^d^t^i:B^d^t:C^d^t^i:|END|"}, list, bad),
              ReadResult::WrongFormat);
    EXPECT_EQ(bad, "B^d^t");
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.At(1).name, "A");

    // The flags match by position and name.
    ReadFormsList({"|OK||A^d^t^:B^d^t^:C^d^t^:|END|"}, list, bad);
    std::size_t records = 0;
    auto r = ApplyActiveSelected(
        {"|OK||A\t1\t0" + E230 + "X\t1\t1" + E230 + "\t1\t1" + E230 + "|END|"}, list, records);
    EXPECT_EQ(std::pair(r, records), std::pair(ReadResult::Ok, std::size_t(3)));
    // B's name differs from X, and the empty name is skipped.
    EXPECT_EQ(
        (std::vector{list.At(1).active, list.At(1).selected, list.At(2).active, list.At(3).active}),
        (std::vector{true, false, false, false}));
}

TEST(LayoutImageAndErrorReaders, JoinWalkAndNameTheLayoutsPicturesEachFamilyItsOwnErrorTest) {
    EXPECT_EQ(LayoutFromLines({"|OK||<HEADER>", "a", "</HEADER>|END|"}),
              "|OK||<HEADER>\r\na\r\n</HEADER>|END|");
    std::string binary("\r\n\0\xE6\xFF", 5);
    EXPECT_EQ(ImageFromLines({"|OK||" + binary, "more", "|END|", "ignored"}), binary + "more");
    EXPECT_EQ(ImageFromLines({"|OK||", "|END|"}), "");
    EXPECT_EQ(ImageFromLines({"ERROR: image not found"}), "");
    std::string layout =
        "<HEADER>\r\nBackground_Image:\tback.jpg\tts\r\n"
        "Image:\t1\t2\t3\t4\tlogo.bmp\r\nimage:\t1\t2\t3\t4\tnoext\r\n"
        "Other:\tx.bmp\r\n</HEADER>";
    EXPECT_EQ(ImagesOfLayout(layout), (std::vector<std::string>{"back.jpg", "logo.bmp"}));

    // Each family's refusals: the command tests' rows; its good replies: the end-to-end flows.
    EXPECT_TRUE(IsStoreError("|OK||ERROR: x"));
    EXPECT_FALSE(IsListError("|OK||ERROR"));
    EXPECT_FALSE(IsProbeError("  error"));  // only the first five characters count
    EXPECT_FALSE(IsSearchError({}));
}

TEST(CatalogueReaders, CodesStaticListsAndRecords) {
    std::vector<StaticItem> items;
    EXPECT_FALSE(ReadCodeList("a:b:c", items));
    ASSERT_TRUE(ReadCodeList(
        "a:b:c:d:\tx\tC1\tD1\tO1" + E230 + E230 + "\ty\tC2\tD2" + E230 + "K\t\t", items));
    EXPECT_EQ(items,
              (std::vector<StaticItem>{{"C1", "D1", "O1"}, {"C2", "D2", ""}, {"K", "", ""}}));
    items = {{"A", "Alpha", ""}, {"B", "Beta", "x"}};
    std::string list = FormatStaticList(items);
    EXPECT_EQ(list, "A" + E230 + "Alpha" + E230 + "\tB" + E230 + "Beta" + E230 + "x");
    EXPECT_EQ(ReadStaticList(list), items);
    EXPECT_TRUE(ReadStaticList("").empty());
    EXPECT_EQ(RecordsAnswer({"|OK||", "|END|"}), "");
    EXPECT_EQ(RecordsAnswer({"|OK||R1", "R2|END|"}), "R1R2");
}
