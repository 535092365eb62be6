#include <filesystem>
#include <optional>

#include "LayoutTestSupport.h"
#include "layout/LocalFolders.h"
#include "layout/SaveValidation.h"

namespace fs = std::filesystem;

namespace {

struct Catalogue : FormsCatalogue {
    bool empty = false;
    bool Empty() const override { return empty; }
    bool ImageTimeStamp(const std::string& form, const std::string& base, const std::string& ext,
                        std::string& stamp) const override {
        if (!text::EqualsNoCase(form, "CS1")) return false;
        if (base == "logo" && ext == "bmp") return stamp = "111", true;
        if (base == "back" && ext == "gif") return stamp = "222", true;
        if (base == "noext" && ext.empty()) return stamp = "333", true;
        if (base == "logo.v2" && ext == "bmp") return stamp = "444", true;
        return false;
    }
    std::optional<std::string> FormTimeStamp(const std::string&) const override { return {}; }
};

struct TempDir {
    fs::path path = fs::temp_directory_path() /
                    ("fd_folders_" + std::to_string(getpid()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::string Str() const { return path.string(); }
};

}  // namespace

TEST(LocalFolders, FoldersAreCreatedUnderTheRootOrTheFallback) {
    TempDir dir;
    RecordingUserInterface ui;
    LocalFolders folders(dir.Str() + "/data", ui, dir.Str() + "/fallback");
    EXPECT_EQ(folders.ImagesFolder(), dir.Str() + "/data/IMAGES");
    EXPECT_TRUE(fs::is_directory(dir.path / "data" / "FORMS") ||
                fs::is_directory(folders.FormsFolder()));
    // A root that cannot hold folders (a file stands in its way) falls back.
    WriteTestFile(dir.Str() + "/blocked", "x");
    LocalFolders blocked(dir.Str() + "/blocked", ui, dir.Str() + "/fallback");
    EXPECT_EQ(blocked.ImagesFolder(), dir.Str() + "/fallback");
    EXPECT_TRUE(fs::is_directory(dir.path / "fallback"));
    // Without a home, unset or empty, the fallback goes under /tmp.
    const char* was = std::getenv("HOME");
    const std::optional<std::string> home = was ? std::optional<std::string>(was) : std::nullopt;
    const bool had = fs::exists("/tmp/FormDesigner");
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        value ? ::setenv("HOME", value, 1) : ::unsetenv("HOME");
        EXPECT_EQ(LocalFolders("", ui).ImagesFolder(), "/tmp/FormDesigner");
    }
    home ? ::setenv("HOME", home->c_str(), 1) : ::unsetenv("HOME");
    if (!had) fs::remove("/tmp/FormDesigner");  // only when empty
}

TEST(LocalFolders, NamesFromOutsideNeverLeaveTheirFolderAndPicturesHaveTheirTypes) {
    TempDir dir;
    RecordingUserInterface ui;
    LocalFolders folders(dir.Str(), ui);
    EXPECT_EQ(folders.LocalFormCopyPath("../../etc/passwd"), "");
    EXPECT_EQ(folders.LocalFormCopyPath("CS1"), dir.Str() + "/FORMS/CS1.ldt");
    EXPECT_FALSE(folders.PictureExists("../secret.bmp"));
    EXPECT_FALSE(folders.CopyImageIfNeeded(dir.Str() + "/x.bmp", "../x.bmp"));
    EXPECT_FALSE(IsSafeFileName("..") || IsSafeFileName("a\\b") || IsSafeFileName("a\rb") ||
                 IsSafeFileName("a\nb"));
    EXPECT_TRUE(IsSafeFileName("logo 2.bmp") && IsSafeFileName(std::string(255, 'a')));
    EXPECT_FALSE(IsSafeFileName(std::string(256, 'a')));  // longer than a file system takes
    // Pictures are known by their extension; one of another kind is refused once.
    ui.Clear();
    EXPECT_TRUE(IsImageFile("C.JPG", true, &ui));
    EXPECT_TRUE(IsImageFile("a.b.emf", true, &ui));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(IsImageFile("photo.png", true, &ui));
    EXPECT_FALSE(IsImageFile("noextension", false, &ui));
    EXPECT_EQ(OnlyMessage(ui), "ERROR: Invalid Picture");
}

TEST(LocalFolders, ImageTimeStampsFromTheFormsList) {
    Catalogue cat;
    const std::tuple<const char*, const char*, const char*> stamps[] = {
        {"cs1", "logo.bmp", "111"},    {"CS1", "1\t1\t1\t1\tlogo.bmp\t9\t1", "111"},
        {"CS1", "noext", "333"},       {"CS1", "noext.bmp", ""},
        {"CS1", "logo.v2.bmp", "444"}, {"OTHER", "logo.bmp", ""}};
    for (auto [form, line, stamp] : stamps)
        EXPECT_EQ(GetImageTimeStamp(form, line, cat), stamp) << line;

    TempDir dir;
    RecordingUserInterface ui;
    LocalFolders folders(dir.Str(), ui);
    std::string layout =
        "<HEADER>\r\nTimeStamp:\t5\r\nBackground_Image:\tback.gif\r\n"
        "Image:\t1\t1\t1\t1\tlogo.bmp\told\t1\t2\r\nimage:\t1\t1\t1\t1\tlogo.bmp\r\n</"
        "HEADER>\r\n<PAGE>";
    std::string updated = folders.UpdateDataWithImageTimeStamps("CS1", layout, cat);
    EXPECT_EQ(updated,
              "<HEADER>\r\nTimeStamp:\t5\r\nBackground_Image:\tback.gif\t222\r\n"
              "Image:\t1\t1\t1\t1\tlogo.bmp\t111\t1\t2\r\nimage:\t1\t1\t1\t1\tlogo.bmp\t111\r\n"
              "</HEADER>\r\n<PAGE>");
    cat.empty = true;
    EXPECT_EQ(folders.UpdateDataWithImageTimeStamps("CS1", layout, cat), layout);
    cat.empty = false;

    ASSERT_TRUE(SaveDataToFile(folders.LocalFormCopyPath("CS1"), layout, ui));
    EXPECT_EQ(folders.LocalFormTimeStamp("CS1"), "5");
    EXPECT_EQ(folders.LocalPictureTimeStamp("CS1", false, "logo.bmp"), "old");
    ASSERT_TRUE(folders.UpdateFileWithImageTimeStamp("CS1", cat));
    EXPECT_EQ(folders.LocalPictureTimeStamp("CS1", false, "logo.bmp") +
                  folders.LocalPictureTimeStamp("CS1", true, "back.gif"),
              "111222");
    EXPECT_TRUE(folders.UpdateFileWithImageTimeStamp("CS1", cat));  // already up to date
    EXPECT_FALSE(folders.UpdateFileWithImageTimeStamp("MISSING", cat));
    EXPECT_EQ(folders.LocalFormTimeStamp("MISSING"), "");
}

TEST(LocalFolders, CopyingPictures) {
    TempDir dir;
    RecordingUserInterface ui;
    LocalFolders folders(dir.Str() + "/data", ui);
    std::string source = dir.Str() + "/logo.bmp";
    WriteTestFile(source, std::string("BM\r\n\0\x01", 6));
    ASSERT_TRUE(folders.CopyImageToFolder(source));
    EXPECT_TRUE(folders.PictureExists("logo.bmp"));
    EXPECT_TRUE(folders.ProcessImageFile("logo.bmp"));
    // Onto itself: nothing to do, and the file stays whole.
    EXPECT_TRUE(folders.CopyImageIfNeeded(folders.ImagesFolder() + "/logo.bmp", "logo.bmp"));
    EXPECT_EQ(Slurp(folders.ImagesFolder() + "/logo.bmp"), std::string("BM\r\n\0\x01", 6));
    EXPECT_FALSE(folders.CopyImageIfNeeded("", "x.bmp"));
    WriteTestFile(dir.Str() + "/empty.bmp", "");
    EXPECT_FALSE(folders.CopyImageToFolder(dir.Str() + "/empty.bmp"));
    EXPECT_FALSE(folders.PictureExists("empty.bmp"));
}

TEST(CreateSuffixForForm, NumbersCopiesOfAForm) {
    std::string out;
    for (const char* code : {"SLIP_2", "SLIP_1", "SLIP", "A_1_2", "123", "SLIP_", ""})
        out += CreateSuffixForForm(code) + " ";
    EXPECT_EQ(out, "SLIP_3 SLIP_2 SLIP_1 A_1_2_1 124 SLIP__1  ");
}

TEST(Validation, DatabaseFieldsMustBeListedAndPromptsDefined) {
    LoadedLayout l;
    EXPECT_TRUE(ValidateDataBoundLabels(l.model, l.store, l.ui, true));
    l.model.databaseFields = {{"PAT.NAME", "Name"}};
    for (const char* caption : {"~PAT.NAME", "~PAT.AGE", "~PAT.SEX"}) l.AddLabel(caption);
    l.AddLabel("~PAT.HIDDEN", false);
    EXPECT_FALSE(ValidateDataBoundLabels(l.model, l.store, l.ui, false));
    EXPECT_TRUE(l.ui.calls.empty());
    l.ui.boolAnswers = {false};
    EXPECT_FALSE(ValidateDataBoundLabels(l.model, l.store, l.ui, true));
    ASSERT_EQ(l.ui.calls.size(), 1u);
    EXPECT_EQ(l.ui.calls[0].text,
              "The following fields do not match database definitions:\r\n\r\n~PAT.AGE, "
              "~PAT.SEX\r\n\r\nDo you want to save anyway?");
    EXPECT_EQ(l.ui.calls[0].title, "Save Layout");
    l.ui.boolAnswers = {true};
    EXPECT_TRUE(ValidateDataBoundLabels(l.model, l.store, l.ui, true));

    // A prompt needs a definition that is not deleted.
    l.ui.Clear();
    int placed = l.AddLabel("^DOB Date");
    FormItem& r = l.model.Item(placed);
    r.Prompt().promptKey = "^DOB";
    r.markedDeleted = true;
    l.ui.boolAnswers = {false};
    EXPECT_FALSE(ValidateUserPromptsLabels(l.model, l.store, l.ui, true));
    EXPECT_TRUE(text::StartsWith(l.ui.calls.at(0).text,
                                 "The following fields do not match 'User Prompts' definitions:"));
    FormItem def;
    def.Prompt().promptKey = "^DOB";
    l.model.prompts.push_back(def);
    EXPECT_TRUE(ValidateUserPromptsLabels(l.model, l.store, l.ui, false));
}

TEST(Validation, BuildFormItemsArrayTakesDefinitionsAndKinds) {
    LoadedLayout l;
    FormItem def;
    def.Prompt().promptKey = "^REF";
    def.Prompt().promptCaption = "Referring";
    def.Prompt().dataEntryType = "LOOKUP";
    def.Prompt().lookupKey = "RF";
    def.Prompt().promptNumber = 4;
    l.model.prompts.push_back(def);
    int ref = l.AddLabel("^REF Lookup");
    int date = l.AddLabel("^Date");
    int field = l.AddLabel("~PAT.NAME");
    int plain = l.AddLabel("Plain");
    ASSERT_TRUE(BuildFormItemsArray(l.model, l.store, l.ui));
    EXPECT_EQ(l.model.items[size_t(ref)].itemKind, ItemKind::UserPrompt);
    EXPECT_EQ(l.model.items[size_t(ref)].lookupKey(), "RF");
    EXPECT_EQ(l.model.items[size_t(ref)].promptNumber(), 4);
    EXPECT_EQ(l.model.items[size_t(date)].promptKey(), "^1");
    EXPECT_EQ(l.model.items[size_t(date)].dataEntryType(), "DATE");
    EXPECT_EQ(l.model.items[size_t(field)].itemKind, ItemKind::DatabaseField);
    EXPECT_EQ(l.model.items[size_t(plain)].itemKind, ItemKind::StaticText);
    EXPECT_EQ(GetUserPromptsArrayIndex(l.model, "REF"), 0);
    EXPECT_EQ(GetFormItemsArrayIndex(l.model, "NOPE"), -1);
    // A second label of a prompt takes the item of the first, as it was edited since.
    int again = l.AddLabel("^REF Lookup");
    l.model.items[size_t(ref)].Prompt().lookupKey = "XX";
    ASSERT_TRUE(BuildFormItemsArray(l.model, l.store, l.ui));
    EXPECT_EQ(l.model.items[size_t(again)].lookupKey(), "XX");
    EXPECT_EQ(l.model.items[size_t(ref)].lookupKey(), "XX");
}

TEST(LoadDBFieldsList, ReadsLongNameTabFieldLines) {
    TempDir dir;
    FormModel model;
    RecordingUserInterface ui;
    std::string path = dir.Str() + "/fields.dbd";
    EXPECT_FALSE(LoadDBFieldsList(path, model, ui));
    EXPECT_EQ(OnlyMessage(ui), "File is missing: " + path + "\r\nfile not found");
    WriteTestFile(path, "");
    EXPECT_FALSE(LoadDBFieldsList(path, model, ui));
    EXPECT_EQ(ui.Messages().at(1).title, "File invalid");
    WriteTestFile(path, "Patient name\tPAT.NAME\r\nOnly long\r\n");
    ASSERT_TRUE(LoadDBFieldsList(path, model, ui));
    std::string fields;
    for (const auto& f : model.databaseFields) fields += f.fieldName + "=" + f.longName + ";";
    EXPECT_EQ(fields, "PAT.NAME=Patient name;=Only long;");
}
