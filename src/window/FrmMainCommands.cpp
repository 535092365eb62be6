// Menu commands of the designer window beyond the file commands: the page
// background, the data catalogue, the database-field list file and the local files.
#include <QFileInfo>

#include "layout/SaveValidation.h"
#include "shell/qt/QtText.h"
#include "window/FrmMain.h"
#include "window/PageStrip.h"

namespace {
const char* const kBackgroundFilter = "Jpg (*.jpg;*.jpeg)|*.jpg;*.jpeg|All (*.*)|*.*";
const char* const kBackgroundInitialName = "*.jpg;*.jpeg";
const char* const kDBFieldsFilter = "Form layout (*.dbd)|*.dbd|All (*.*)|*.*";
}  // namespace

void FrmMain::ShowCatalogue() {
    if (!Connection().Connected() || !openCatalogue_) return;
    openCatalogue_();
    // The item menu reads the prompts each time it opens: nothing else to rebuild.
}

void FrmMain::LoadBackground() {
    const std::string path =
        ui_.OpenFileName("Load Background", kBackgroundFilter, kBackgroundInitialName);
    // A cancelled dialog keeps the background the page has.
    if (path.empty() || path == "*.emf" || path == "*.jpg;*.jpeg") return;
    const std::string name = fromUnicode(QFileInfo(toUnicode(path)).fileName());
    if (!IsSafeFileName(name)) return;
    // The form names its pictures in the images folder, so the file goes there first.
    if (editor_->GetHooks().keepImageFile(path, name).empty()) {
        ui_.Message(path + "\r\nfile not found", "Load Background", MessageIcon::Warning);
        return;
    }
    const int page = canvas_.Window().currentPage;
    canvas_.ClearBackground(page);
    canvas_.LoadBackgroundImage("Background_Image:\t" + name + "\t\t" + std::to_string(page + 1),
                                page);
    strip_->RefreshAll();
}

void FrmMain::ClearBackground() {
    canvas_.ClearBackground(canvas_.Window().currentPage);
    strip_->RefreshAll();
}

void FrmMain::LoadDBFieldsFile() {
    const std::string path = ui_.OpenFileName("Load List", kDBFieldsFilter);
    if (path.empty() || path == "*.dbd") return;
    LoadDBFieldsList(path, model_, ui_);
}

void FrmMain::ClearLocalFiles() {
    std::vector<std::string> keep;
    for (const auto& im : canvas_.Images())
        if (im.active) keep.push_back(im.name);
    for (const auto& b : canvas_.Backgrounds())
        if (b.active) keep.push_back(b.name);
    if (int failed = program_.Folders().ClearLocalFiles(keep); failed > 0)
        ui_.Message(std::to_string(failed) + " local files could not be deleted.",
                    "Clear local files", MessageIcon::Warning);
}
