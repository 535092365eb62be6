// The outside components: creation and linking once, the utility component's log
// and cache, and the lookup validator over a server code list.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "ScriptedComm.h"
#include "server/OutsideComponents.h"
#include "shell/TextUtils.h"

namespace {
std::string TempDir() {
    auto dir =
        std::filesystem::temp_directory_path() / ("fd_outside_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}
std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}
}  // namespace

TEST(UtilityComponent, LogKeepsOneStampedLinePerEntryInTheDataFolder) {
    std::string dir = TempDir();
    OutsideComponents parts;
    ScriptedComm comm;
    CreateAndLinkComponents(parts, comm, dir, "formdesigner", {});
    auto* util = dynamic_cast<FileUtilityComponent*>(parts.utility.get());
    ASSERT_NE(util, nullptr);
    EXPECT_EQ(util->LogPath(), dir + "/FormsDesignerErrors.log");
    EXPECT_EQ(util->Linked(), parts.linkedForUtility.get());
    EXPECT_EQ(parts.linkedForComm->Comm(), &comm);
    util->Log("first");
    util->Log("two\r\nlines");
    std::string log = ReadAll(util->LogPath());
    auto lines = std::count(log.begin(), log.end(), '\n');
    EXPECT_EQ(lines, 2);
    EXPECT_NE(log.find("\tFD\tfirst\r\n"), std::string::npos);
    EXPECT_NE(log.find("two  lines\r\n"), std::string::npos);
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(log[0])));

    // Created once: a second call keeps the same components.
    auto* before = parts.utility.get();
    CreateAndLinkComponents(parts, comm, dir, "formdesigner", {});
    EXPECT_EQ(parts.utility.get(), before);
    std::filesystem::remove_all(dir);
}

TEST(UtilityComponent, FieldsAndCache) {
    FileUtilityComponent util("");
    EXPECT_EQ(util.Field("a@b@c", "@", 2), "b");
    EXPECT_EQ(util.Field("a@b@c", "@", 4), "");
    EXPECT_EQ(util.FieldCount("a@b@c", "@"), 3);
    EXPECT_EQ(util.FieldCount("", "@"), 0);
    EXPECT_FALSE(util.CacheTest("k"));
    util.CachePut("k", "", "EMR Records");
    EXPECT_TRUE(util.CacheTest("k"));
    EXPECT_EQ(util.CacheGet("k"), "");
    util.Reset();
    EXPECT_FALSE(util.CacheTest("k"));
    util.SetLoggingIdentity("file: x", "FD", "FormsDesigner", "../escape.log");
    EXPECT_EQ(util.LogPath(), "FormsDesignerErrors.log");
}

TEST(LookupValidator, AsksTheServerAndAnswersInTheDesignersTerms) {
    ScriptedComm comm;
    std::string dir = TempDir();
    FileUtilityComponent util(dir);
    ServerLookupValidator v;
    v.Link(&util, &comm);
    comm.Ok({"|OK||VALID|Lab|END|"});
    std::string corrected;
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", " lab ", corrected), "True");
    EXPECT_EQ(corrected, "LAB");
    EXPECT_EQ(comm.sent.back(), "|GET|CODE1|IDT:V|lab");
    comm.Ok({"|OK||NOT VALID||END|"});
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", "nope", corrected), "NOT VALID");
    EXPECT_EQ(corrected, "");
    comm.Fail();
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", "XR", corrected), "NOT VALID");
    comm.Ok({"ERROR: code list not found"});
    EXPECT_EQ(ValidateLookupByServer(v, "ZZZ", "XR", corrected), "NOT VALID");
    EXPECT_EQ(text::CountOf(ReadAll(util.LogPath()), "\n"), 2);  // failures are logged
    EXPECT_EQ(ValidateLookupByServer(v, "IDT", "  ", corrected), "NOT VALID");
    EXPECT_EQ(comm.sent.size(), 4u);  // an empty value is not asked about
    std::filesystem::remove_all(dir);
}

TEST(LookupList, ParseAndAnswerForm) {
    auto e = ParseLookupList(
        {"|OK||", "A    Alpha", "B    Beta    two|END|", "|END|", "C    after end"});
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].description, "Beta    two");
    EXPECT_EQ(LookupAnswer(e[0]), "A    Alpha");
    EXPECT_EQ(LookupAnswerCode("A    Alpha    x"), "A");
    EXPECT_EQ(LookupAnswerCode("CANCEL"), "CANCEL");
    EXPECT_EQ(LookupListRequest("CHL"), "|GET|CODE1|CHL");
}
