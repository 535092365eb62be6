// The check, convert and render commands of the program, run as a user runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "LayoutTestSupport.h"

namespace {

struct ProgramRun {
    int status;
    std::string output;
};

ProgramRun RunProgram(const std::string& args, const std::string& environment = {}) {
    std::string cmd = environment + std::string(std::getenv("FD_BINARY_DIR")) +
                      "/src/app/formdesigner " + args + " 2>&1";
    ProgramRun r{-1, {}};
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.output.append(buf.data(), n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string DataPath(const std::string& name) {
    return std::string(std::getenv("FD_TEST_DATA")) + "/" + name;
}

// A scratch folder of the test's own.
struct CommandLine : ::testing::Test {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("fd_cli_" + std::to_string(getpid()) + "_" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    CommandLine() { std::filesystem::create_directories(dir); }
    ~CommandLine() override { std::filesystem::remove_all(dir); }
};

}  // namespace

TEST_F(CommandLine, CheckPrintsMessagesSummaryAndFontsTheMachineLacks) {
    ProgramRun ok = RunProgram("check '" + DataPath("layouts/full.ldt") + "'");
    EXPECT_EQ(ok.status, 0) << ok.output;
    EXPECT_NE(ok.output.find("pages 2, items 14, user prompts 3, shapes 6"), std::string::npos)
        << ok.output;

    std::string bad = (dir / "bad.ldt").string(), error;
    ASSERT_TRUE(files::AtomicWriteFile(
        bad, "<HEADER>\r\npage:\t3\r\nNumber_Of_Pages:\tx\r\n</HEADER>", error));
    ProgramRun failed = RunProgram("check '" + bad + "'");
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.output.find("[Load Layout] page size - wrong format"), std::string::npos);
    EXPECT_NE(failed.output.find("[ERROR] ERR in modLoadForm.LoadForm   13 Type mismatch"),
              std::string::npos);
    EXPECT_EQ(RunProgram("check").status, 2);

    // A font the machine lacks is reported as the window reports it; which fonts count
    // as present comes from FORMDESIGNER_FONTS, so the outcome is the same everywhere.
    std::string path = (dir / "fonts.ldt").string();
    ASSERT_TRUE(files::AtomicWriteFile(
        path,
        MakeLayout("", "<PAGE>\r\n" + ItemLine("A", "1\t1\tGhost Sans\t8\tN\tN\tL\t1\tN\t\t\t") +
                           "\r\n" + ItemLine("B") + "\r\n</PAGE>"),
        error));
    const std::string missing = "[Fonts] Could not set Ghost Sans font.\nWill use default.";
    for (const char* fonts : {"Arial", "Arial,ghost sans"}) {
        ProgramRun run =
            RunProgram("check '" + path + "'", std::string("FORMDESIGNER_FONTS='") + fonts + "' ");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.output.find(missing) != std::string::npos, std::string(fonts) == "Arial")
            << fonts << "\n"
            << run.output;
        EXPECT_EQ(run.output.find("Could not set Arial"), std::string::npos) << run.output;
    }
}

TEST_F(CommandLine, ConvertWritesWhatTheWriterMakes) {
    std::string out = (dir / "full.ldt").string();
    ProgramRun r = RunProgram("convert '" + DataPath("layouts/full.ldt") + "' '" + out + "'");
    ASSERT_EQ(r.status, 0) << r.output;
    std::string written, error;
    ASSERT_TRUE(files::ReadWholeFile(out, written, error));

    LoadedLayout l;
    ASSERT_TRUE(l.Read(TestDataFile("layouts/full.ldt")));
    l.model.settings.formCode = "full";
    EXPECT_EQ(written, l.Write() + "\r\n");

    std::string again = (dir / "again.ldt").string();
    ASSERT_EQ(RunProgram("convert '" + out + "' '" + again + "'").status, 0);
    std::string second;
    ASSERT_TRUE(files::ReadWholeFile(again, second, error));
    EXPECT_EQ(second, written);
    EXPECT_EQ(RunProgram("convert '" + (dir / "none.ldt").string() + "' '" + again + "'").status,
              1);
}

TEST_F(CommandLine, RenderDrawsAPageAsPngAndEveryPageAsPdf) {
    std::string png = (dir / "page2.png").string(), pdf = (dir / "all.pdf").string();
    ProgramRun r = RunProgram("render '" + DataPath("layouts/full.ldt") + "' '" + png +
                              "' --page 2 --dpi 30 --images '" + dir.string() + "'");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("rendered png, pages 2"), std::string::npos);
    std::string bytes, error;
    ASSERT_TRUE(files::ReadWholeFile(png, bytes, error));
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    r = RunProgram("render '" + DataPath("layouts/full.ldt") + "' '" + pdf + "'");
    ASSERT_EQ(r.status, 0) << r.output;
    ASSERT_TRUE(files::ReadWholeFile(pdf, bytes, error));
    EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);

    // Wrong use: a usage line and status 2; a page the form lacks: status 1.
    for (const char* bad : {"render", "render a.ldt b.gif", "render a.ldt b.png --dpi 0",
                            "render a.ldt b.png --page"})
        EXPECT_EQ(RunProgram(bad).status, 2) << bad;
    std::string three = (dir / "three.png").string();
    EXPECT_EQ(
        RunProgram("render '" + DataPath("layouts/full.ldt") + "' '" + three + "' --page 3").status,
        1);
    EXPECT_FALSE(std::filesystem::exists(three));
    ProgramRun missing = RunProgram("render '" + (dir / "none.ldt").string() + "' '" + three + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(std::filesystem::exists(three));
}
