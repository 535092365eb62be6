#include "layout/LocalFolders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "layout/LayoutWriter.h"
#include "shell/AtomicFile.h"
#include "shell/TextUtils.h"

namespace fs = std::filesystem;

const char* const kPictureFilter =
    "All Picture Files|*.bmp;*.dib;*.gif;*.jpg;*.ico;*.cur;*.wmf;*.emf|Bitmaps "
    "(*.bmp;*.dib)|*.bmp;*.dib|GIF Images (*.gif)|*.gif|JPEG Images(*.jpg)|*.jpg|Metafiles "
    "(*.wmf;*.emf)|*.wmf;*.emf|Icons (*.ico;*.cur)|*.ico;*.cur|All Files (*.*)|*.*";

namespace {

std::string HeaderOf(const std::string& layout, size_t& start, size_t& end) {
    start = layout.find("<HEADER>");
    end = layout.find("</HEADER>");
    if (start == std::string::npos || end == std::string::npos || end < start + 8) return {};
    start += 8;
    return layout.substr(start, end - start);
}

std::string StripLineBreaks(std::string s) {
    return text::ReplaceAll(text::ReplaceAll(s, "\r", ""), "\n", "");
}

}  // namespace

bool IsSafeFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0' || c == '\r' || c == '\n') return false;
    return name.size() < 256;
}

LocalFolders::LocalFolders(std::string root, UserInterface& ui, std::string fallback)
    : root_(std::move(root)), fallback_(std::move(fallback)), ui_(ui) {
    if (fallback_.empty()) {
        const char* home = std::getenv("HOME");
        fallback_ = std::string(home && *home ? home : "/tmp") + "/FormDesigner";
    }
}

std::string LocalFolders::GetFilesFolderPath(const std::string& name) const {
    std::error_code ec;
    std::string path = root_ + "/" + name;
    if (!root_.empty() && (fs::is_directory(path, ec) || fs::create_directories(path, ec)))
        return path;
    ec.clear();
    if (!fs::is_directory(fallback_, ec)) fs::create_directories(fallback_, ec);
    if (ec) ReportError(ui_, "ERR in GetFilesFolderPath   ", ec.message());
    return fallback_;
}

std::string LocalFolders::LocalFormCopyPath(const std::string& formCode) const {
    if (!IsSafeFileName(formCode + ".ldt")) return {};
    return FormsFolder() + "/" + formCode + ".ldt";
}

std::string LocalFolders::PicturePath(const std::string& name) const {
    std::string clean = StripLineBreaks(name);
    if (!IsSafeFileName(clean)) return {};
    std::error_code ec;
    for (const std::string& folder : {ImagesFolder(), root_}) {
        std::string p = folder + "/" + clean;
        if (!folder.empty() && fs::is_regular_file(p, ec)) return p;
    }
    return {};
}

bool LocalFolders::ProcessImageFile(const std::string& name) const {
    return IsImageFile(name, false, nullptr) && PictureExists(name);
}

std::string LocalFolders::LocalFormTimeStamp(const std::string& formCode) const {
    std::string path = LocalFormCopyPath(formCode), bytes, error;
    if (path.empty() || !files::ReadWholeFile(path, bytes, error)) return {};
    size_t pos = bytes.find("TimeStamp:");
    if (pos == std::string::npos) return {};
    pos += 10;
    size_t end = bytes.find("\r\n", pos);
    std::string value = bytes.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    value = text::ReplaceAll(StripLineBreaks(text::Trim(value)), "\t", "");
    return value;
}

std::string LocalFolders::LocalPictureTimeStamp(const std::string& formCode, bool isBackground,
                                                const std::string& pictureName) const {
    std::string path = LocalFormCopyPath(formCode), bytes, error;
    if (path.empty() || !files::ReadWholeFile(path, bytes, error)) return {};
    size_t s, e;
    std::string header = HeaderOf(bytes, s, e);
    const char* key = isBackground ? "background_image:" : "image:";
    const size_t nameField = isBackground ? 1 : 5, stampField = isBackground ? 2 : 6;
    for (const auto& line : text::Split(text::ReplaceAll(header, "\r\n", "\r"), "\r")) {
        auto f = text::Split(line, "\t");
        if (f.size() <= stampField || text::ToLower(f[0]) != key) continue;
        if (text::EqualsNoCase(StripLineBreaks(f[nameField]), pictureName)) return f[stampField];
    }
    return {};
}

std::string PictureNameOf(const std::string& nameOrFields) {
    if (nameOrFields.find('\t') == std::string::npos) return nameOrFields;
    auto f = text::Split(nameOrFields, "\t");
    return f.size() >= 5 ? f[4] : f[0];
}

std::string GetImageTimeStamp(const std::string& formCode, const std::string& pictureName,
                              const FormsCatalogue& catalogue) {
    // Split as the forms list splits its entries (at the last "."), so a name with
    // more than one dot finds its own entry.
    std::string name = StripLineBreaks(PictureNameOf(pictureName));
    size_t dot = name.rfind('.');
    std::string base = name.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::string stamp;
    if (catalogue.ImageTimeStamp(formCode, base, ext, stamp)) return stamp;
    return {};
}

std::string LocalFolders::UpdateDataWithImageTimeStamps(const std::string& formCode,
                                                        const std::string& layoutText,
                                                        const FormsCatalogue& catalogue,
                                                        const std::string& pictureName) const {
    if (catalogue.Empty()) return layoutText;
    size_t start, end;
    std::string header = HeaderOf(layoutText, start, end);
    if (start == std::string::npos || end == std::string::npos) return layoutText;
    auto lines = text::Split(text::ReplaceAll(header, "\r\n", "\r"), "\r");
    for (auto& line : lines) {
        auto f = text::Split(line, "\t");
        std::string key = text::ToLower(f.empty() ? std::string() : f[0]);
        size_t nameField, stampField;
        if (key == "background_image:")
            nameField = 1, stampField = 2;
        else if (key == "image:")
            nameField = 5, stampField = 6;
        else
            continue;
        if (f.size() <= stampField) f.resize(stampField + 1);
        if (!pictureName.empty() && !text::EqualsNoCase(StripLineBreaks(f[nameField]), pictureName))
            continue;
        f[stampField] = GetImageTimeStamp(formCode, f[nameField], catalogue);
        line = text::Join(f, "\t");
    }
    return layoutText.substr(0, start) + text::Join(lines, "\r\n") + layoutText.substr(end);
}

bool LocalFolders::UpdateFileWithImageTimeStamp(const std::string& formCode,
                                                const FormsCatalogue& catalogue,
                                                const std::string& pictureName) const {
    std::string path = LocalFormCopyPath(formCode), bytes, error;
    if (path.empty() || !files::ReadWholeFile(path, bytes, error)) return false;
    std::string updated = UpdateDataWithImageTimeStamps(formCode, bytes, catalogue, pictureName);
    if (updated == bytes) return true;
    if (text::EndsWith(updated, "\r\n")) updated.resize(updated.size() - 2);
    return SaveDataToFile(path, updated, ui_);
}

bool LocalFolders::CopyImageIfNeeded(const std::string& sourcePath,
                                     const std::string& fileName) const {
    if (sourcePath.empty() || fileName.empty()) return false;
    if (!IsSafeFileName(fileName)) {
        ReportError(ui_, "ERR in CopyImageIfNeeded   ", "invalid file name " + fileName);
        return false;
    }
    std::string target = ImagesFolder() + "/" + fileName;
    std::error_code ec;
    if (fs::exists(target, ec) && fs::equivalent(target, sourcePath, ec)) return true;
    std::string bytes, error;
    if (!files::ReadWholeFile(sourcePath, bytes, error)) {
        ReportError(ui_, "ERR in CopyImageIfNeeded   ", error);
        return false;
    }
    if (bytes.empty()) return false;
    if (!files::AtomicWriteFile(target, bytes, error)) {
        ReportError(ui_, "ERR in CopyImageIfNeeded   ", error);
        return false;
    }
    return true;
}

bool LocalFolders::CopyImageToFolder(const std::string& sourcePath) const {
    size_t slash = sourcePath.find_last_of("/\\");
    std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
    return CopyImageIfNeeded(sourcePath, name);
}

std::string LocalFolders::SelectImageFromFile() const {
    return ui_.OpenFileName("Select Picture", kPictureFilter);
}

bool IsImageFile(const std::string& path, bool showMessage, UserInterface* ui) {
    size_t dot = path.find_last_of('.');
    std::string ext =
        dot == std::string::npos ? std::string() : text::ToLower(path.substr(dot + 1));
    for (const char* type : {"bmp", "dib", "gif", "jpg", "ico", "cur", "wmf", "emf"})
        if (ext == type) return true;
    if (showMessage && ui) ui->Message("Invalid Picture", "ERROR", MessageIcon::Critical);
    return false;
}

std::string CreateSuffixForForm(const std::string& name) {
    if (name.empty()) return {};
    unsigned char last = static_cast<unsigned char>(name.back());
    size_t underscore = name.find('_');
    std::string after = underscore == std::string::npos ? name : name.substr(underscore + 1);
    long long number;
    if (std::isdigit(last) && !after.empty() && after.find('_') == std::string::npos &&
        text::ParseInt(after, number) && after[0] != '-' && after[0] != '+' &&
        number < (1LL << 62)) {
        std::string head =
            underscore == std::string::npos ? std::string() : name.substr(0, underscore + 1);
        return head + std::to_string(number + 1);
    }
    return name + "_1";
}

int LocalFolders::ClearLocalFiles(const std::vector<std::string>& keepPictures) const {
    namespace fs = std::filesystem;
    int failed = 0;
    for (const std::string& folder : {FormsFolder(), ImagesFolder()}) {
        std::error_code ec;
        const bool images = folder == ImagesFolder();
        for (const fs::directory_entry& e : fs::directory_iterator(fs::path(folder), ec)) {
            // Only plain files (or links, not what they point to) of the folder itself.
            if (e.is_directory(ec) && !e.is_symlink(ec)) continue;
            const std::string name = e.path().filename().string();
            bool keep = false;
            for (const std::string& k : keepPictures)
                keep = keep || (images && text::EqualsNoCase(k, name));
            if (keep) continue;
            std::error_code rm;
            if (!fs::remove(e.path(), rm) || rm) ++failed;
        }
    }
    return failed;
}
