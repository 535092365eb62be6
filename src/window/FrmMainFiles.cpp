// The form's files and its place on the server: opening, saving, the changed mark
// and the connection dialog of the designer window.
#include <QCheckBox>
#include <QFileInfo>

#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "layout/SaveValidation.h"
#include "server/qt/FrmDB.h"
#include "shell/NullUserInterface.h"
#include "shell/RecentFiles.h"
#include "shell/RecoveryFiles.h"
#include "shell/SaveQuestion.h"
#include "shell/qt/QtText.h"
#include "window/FrmMain.h"

namespace {
const char* const kGetFromFileFilter = "Form layout (*.ldt)|*.ldt|All (*.*)|*.*";
const char* const kSaveToFileFilter = "Layout (*.ldt)|*.ldt|All (*.*)|*.*";
}  // namespace

std::string FrmMain::LayoutSnapshot() {
    // The writer's own messages belong to a real save, not to this comparison.
    NullUserInterface quiet;
    return LayoutWriter(model_, canvas_, quiet).ReassembleData();
}

void FrmMain::MarkSaved() {
    // What is pending becomes its step first, so that the saved text is a step's state.
    if (stepPending_) RecordStep();
    savedLayout_ = std::make_shared<const std::string>(LayoutSnapshot());
    savedPosition_ = canvas_.HasUnrecordedChanges() ? kNoPosition : history_.Position();
    setWindowModified(false);
    // Saved, opened or started anew: nothing is left to recover.
    if (!recoveryPath_.empty()) recovery::Remove(recoveryPath_);
}

bool FrmMain::IsModified() {
    if (!savedLayout_) return true;
    // The step the form is at tells, unless the form was saved between steps.
    if (savedPosition_ != kNoPosition)
        return history_.Position() != savedPosition_ || canvas_.HasUnrecordedChanges();
    return LayoutSnapshot() != *savedLayout_;
}

bool FrmMain::MayDiscardForm() {
    if (!IsModified()) return true;
    const std::string text = "The form has changes that are not saved.\r\nDiscard them?";
    // Where the user interface can, the question offers to save the form first.
    auto* three = dynamic_cast<SaveQuestion*>(&ui_);
    const SaveChoice choice = three ? three->SaveDiscardCancel(text, "Form Designer")
                              : ui_.OkCancel(text, "Form Designer") ? SaveChoice::Discard
                                                                    : SaveChoice::Cancel;
    switch (choice) {
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Save:
            return SaveWhereItCameFrom();
        default:
            return false;
    }
}

bool FrmMain::SaveWhereItCameFrom() {
    if (model_.settings.layoutOrigin == LayoutOrigin::Server)
        return SaveToServer(false) == SaveOutcome::Saved;
    if (!layoutPath_.empty()) return SaveLayout(layoutPath_);
    // A form that has no place yet: the user names a file.
    SaveToFile();
    return !IsModified();
}

bool FrmMain::OpenLayout(const std::string& path) {
    editor_->ClearSelection();
    LayoutReader reader(model_, canvas_, program_.Metrics(), ui_);
    bool ok = OpenLayoutFile(path, reader, model_, ui_);
    // Even a layout that stopped half-way shows what it placed.
    RefreshAfterRead();
    if (ok) {
        layoutPath_ = path;
        recent::Add(program_.DataFolder(), path);
    }
    MarkSaved();
    StartHistory();
    return ok;
}

bool FrmMain::ValidateForSave() {
    if (!BuildFormItemsArray(model_, canvas_, ui_)) return false;
    if (!ValidateUserPromptsLabels(model_, canvas_, ui_, true)) return false;
    return ValidateDataBoundLabels(model_, canvas_, ui_, true);
}

bool FrmMain::SaveLayout(const std::string& path) {
    return ValidateForSave() && WriteLayout(path);
}

bool FrmMain::WriteLayout(const std::string& path) {
    model_.settings.dataEntryForm = chkDataEntryForm_->isChecked();
    LayoutWriter writer(model_, canvas_, ui_);
    // The stamp of the server's copy when a forms list was read; else the one read.
    writer.SetListedTimeStamp(Flows().ListedTimeStamp(model_.settings.formCode));
    std::string text = writer.ReassembleData();
    if (text.empty()) return false;
    if (!SaveDataToFile(path, text, ui_)) return false;
    layoutPath_ = path;
    recent::Add(program_.DataFolder(), path);
    MarkSaved();
    return true;
}

void FrmMain::GetFromFile() {
    std::string path = ui_.OpenFileName("Open Layout", kGetFromFileFilter);
    if (path.empty() || path == "*.ldt" || !MayDiscardForm()) return;
    OpenLayout(path);
}

void FrmMain::SaveToFile() {
    if (!ValidateForSave()) return;
    std::string path = ui_.SaveFileName("Save Layout", kSaveToFileFilter, layoutPath_);
    if (path.empty() || path == ".ldt") return;
    if (QFileInfo(toUnicode(path)).suffix().isEmpty()) path += ".ldt";
    WriteLayout(path);
}

void FrmMain::ShowConnection() {
    frmConnect_->SetUtility(Flows().Components().utility.get());
    frmConnect_->ShowDialog();
    SetStatusText(program_.Connection().StatusText());
}

bool FrmMain::OpenFormFromServer(const std::string& name) {
    editor_->ClearSelection();
    bool ok = Flows().OpenFormFromServer(name);
    RefreshAfterRead();
    MarkSaved();
    StartHistory();
    return ok;
}

void FrmMain::OpenFromServer() {
    frmDB_->ShowDialog(false);
    SetStatusText(program_.Connection().StatusText());
    const std::string name = frmDB_->SelectedFormName();
    if (name.empty() || frmDB_->Cancelled() || !MayDiscardForm()) return;
    OpenFormFromServer(name);
}

SaveOutcome FrmMain::SaveToServer(bool showDialog) {
    SaveOutcome outcome = Flows().SaveFormToServer(showDialog);
    SetStatusText(program_.Connection().StatusText());
    // A save that did not happen leaves the form marked as changed.
    if (outcome == SaveOutcome::Saved) MarkSaved();
    return outcome;
}
