// The check, convert and render commands of the program, run as a user runs them.
#include <cstdlib>
#include <filesystem>

#include "LayoutTestSupport.h"
#include "server/RepositoryServerProcess.h"

namespace {

const char* const kData = std::getenv("FD_TEST_DATA");
const std::string kFull = "'" + std::string(kData ? kData : "tests/data") + "/layouts/full.ldt'";

// A scratch folder of the test's own.
struct CommandLine : ::testing::Test {
    std::filesystem::path dir =
        TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string out;
    ~CommandLine() override { std::filesystem::remove_all(dir); }
    int Run(const std::string& command, const std::string& args) {
        return RunFormDesigner(command, args, out, "2>&1");
    }
};

}  // namespace

TEST_F(CommandLine, CheckPrintsMessagesSummaryAndFontsTheMachineLacks) {
    EXPECT_EQ(Run("check", kFull), 0) << out;
    EXPECT_NE(out.find("pages 2, items 14, user prompts 3, shapes 6"), std::string::npos) << out;

    std::string bad = (dir / "bad.ldt").string();
    WriteTestFile(bad, "<HEADER>\r\npage:\t3\r\nNumber_Of_Pages:\tx\r\n</HEADER>");
    EXPECT_EQ(Run("check", "'" + bad + "'"), 1);
    EXPECT_NE(out.find("[Load Layout] page size - wrong format"), std::string::npos);
    EXPECT_NE(out.find("[ERROR] ERR in modLoadForm.LoadForm   13 Type mismatch"),
              std::string::npos);
    EXPECT_EQ(Run("check", ""), 2);

    // A font the machine lacks is reported as the window reports it; which fonts count
    // as present comes from FORMDESIGNER_FONTS, so the outcome is the same everywhere.
    std::string path = (dir / "fonts.ldt").string();
    WriteTestFile(
        path,
        MakeLayout("", "<PAGE>\r\n" + ItemLine("A", "1\t1\tGhost Sans\t8\tN\tN\tL\t1\tN\t\t\t") +
                           "\r\n" + ItemLine("B") + "\r\n</PAGE>"));
    const std::string missing = "[Fonts] Could not set Ghost Sans font.\nWill use default.";
    for (const char* fonts : {"Arial", "Arial,ghost sans"}) {
        ::setenv("FORMDESIGNER_FONTS", fonts, 1);
        EXPECT_EQ(Run("check", "'" + path + "'"), 0) << out;
        EXPECT_EQ(out.find(missing) != std::string::npos, std::string(fonts) == "Arial")
            << fonts << "\n"
            << out;
        EXPECT_EQ(out.find("Could not set Arial"), std::string::npos) << out;
    }
    ::unsetenv("FORMDESIGNER_FONTS");
}

// Written again, the text stays as it is: LayoutWriter.RoundTripKeepsEveryItemKind.
TEST_F(CommandLine, ConvertWritesWhatTheWriterMakes) {
    std::string written = (dir / "full.ldt").string();
    ASSERT_EQ(Run("convert", kFull + " '" + written + "'"), 0) << out;
    LoadedLayout l;
    ASSERT_TRUE(l.Read(TestDataFile("layouts/full.ldt")));
    l.model.settings.formCode = "full";
    EXPECT_EQ(Slurp(written), l.Write() + "\r\n");
    EXPECT_EQ(Run("convert", "'" + (dir / "none.ldt").string() + "' '" + written + "'"), 1);
}

TEST_F(CommandLine, RenderDrawsAPageAsPngAndEveryPageAsPdf) {
    std::string png = (dir / "page2.png").string(), pdf = (dir / "all.pdf").string();
    ASSERT_EQ(
        Run("render", kFull + " '" + png + "' --page 2 --dpi 30 --images '" + dir.string() + "'"),
        0)
        << out;
    EXPECT_NE(out.find("rendered png, pages 2"), std::string::npos);
    EXPECT_EQ(Slurp(png).substr(1, 3), "PNG");
    ASSERT_EQ(Run("render", kFull + " '" + pdf + "'"), 0) << out;
    EXPECT_EQ(Slurp(pdf).rfind("%PDF", 0), 0u);

    // Wrong use: a usage line and status 2; a page the form lacks: status 1.
    for (const char* bad : {"", "a.ldt b.gif", "a.ldt b.png --dpi 0", "a.ldt b.png --page"})
        EXPECT_EQ(Run("render", bad), 2) << bad;
    std::string three = (dir / "three.png").string();
    EXPECT_EQ(Run("render", kFull + " '" + three + "' --page 3"), 1);
    EXPECT_FALSE(std::filesystem::exists(three));
    EXPECT_EQ(Run("render", "'" + (dir / "none.ldt").string() + "' '" + three + "'"), 1);
    EXPECT_FALSE(std::filesystem::exists(three));
}
