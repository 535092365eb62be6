// Undo and Redo of the designer window: after any event that changed the form, what it
// touched becomes a step; a step taken back or done again puts those records back in
// place. The recovery file, written on a timer, is the one place the whole form is
// written while it is edited.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTimer>
#include <algorithm>

#include "layout/LayoutReader.h"
#include "shell/NullUserInterface.h"
#include "shell/RecoveryFiles.h"
#include "shell/qt/QtText.h"
#include "window/FrmMain.h"
#include "window/PageStrip.h"

namespace {
// The reader keeps the form's identity (it comes from where the form was opened);
// a recovered form brings the identity it was written with.
void TakeIdentity(const std::string& layoutText, FormSettings& s) {
    const size_t end = layoutText.find("</HEADER>");
    auto value = [&](const char* key, std::string& into) {
        const std::string tag = std::string("\n") + key + ":\t";
        const size_t at = layoutText.find(tag);
        if (at == std::string::npos || at > end) return;
        const size_t from = at + tag.size();
        into = layoutText.substr(from, layoutText.find_first_of("\r\n", from) - from);
    };
    value("Form_Code", s.formCode);
    value("Form_Name", s.formName);
    value("Form_Type", s.formType);
    value("Form_Document_Type", s.formDocumentType);
}
}  // namespace

void FrmMain::StartHistory() {
    stepPending_ = false;
    stepName_.clear();
    history_.Reset();
    canvas_.StartSteps();
    savedPosition_ = savedLayout_ ? history_.Position() : kNoPosition;
    UpdateUndoActions();
}

void FrmMain::NameStep(const std::string& name) {
    stepName_ = name;
    ScheduleStep();
}

void FrmMain::ScheduleStep() {
    if (restoring_ || stepPending_) return;
    stepPending_ = true;
    // After the event that changed the form: a command's many changes are one step.
    QTimer::singleShot(0, this, [this] { RecordStep(); });
}

void FrmMain::RecordStep() {
    stepPending_ = false;
    // A drag is one step when it drops; the release schedules it again.
    if (editor_->Dragging() || holdSteps_) return;
    CanvasStep changed;
    const bool step =
        canvas_.TakeStep(changed) &&
        history_.Record(std::move(changed), stepName_.empty() ? "Properties" : stepName_);
    // A menu entry's modal dialog changes the form only when applied: the step keeps
    // the entry's name until then.
    if (step || !QApplication::activeModalWidget()) stepName_.clear();
    if (step && !recoveryTimer_->isActive()) recoveryTimer_->start();
    UpdateUndoActions();
}

void FrmMain::Undo() {
    if (stepPending_) RecordStep();
    if (const CanvasStep* step = history_.Undo()) RestoreStep(*step, false);
}

void FrmMain::Redo() {
    if (stepPending_) RecordStep();
    if (const CanvasStep* step = history_.Redo()) RestoreStep(*step, true);
}

void FrmMain::RestoreStep(const CanvasStep& step, bool after) {
    restoring_ = true;
    editor_->CancelDrag();
    editor_->ClearSelection();
    // The records go back at their own indices: an open dialog stays on its item.
    const unsigned kinds = canvas_.PutBack(step, after);
    if (kinds & (CanvasChange::Pages | CanvasChange::Settings)) {
        const int page = canvas_.Window().currentPage;
        UpdatePageNumberSetting();
        strip_->RebuildPages();
        chkDataEntryForm_->setChecked(model_.settings.dataEntryForm);
        lblFrmSize_->setText(toUnicode(PageSizeText(canvas_.PageWidth(), canvas_.PageHeight())));
        ShowPage(std::min(page, std::max(0, model_.settings.numberOfPages - 1)));
        UpdateInteractive();
        UpdateDataGridRecalc();
    }
    if (kinds & CanvasChange::Shapes) pictures_.Clear();
    UpdateCaption();
    dialogs_->Reload();
    restoring_ = false;
    stepName_.clear();
    recoveryTimer_->start();
    UpdateUndoActions();
}

void FrmMain::UpdateUndoActions() {
    if (!mnuUndo_) return;
    // Every step, undo and redo passes here: the title's changed mark follows the form.
    setWindowModified(IsModified());
    const QString undo = toUnicode(history_.CanUndo() ? "Undo " + history_.UndoName() : "Undo");
    const QString redo = toUnicode(history_.CanRedo() ? "Redo " + history_.RedoName() : "Redo");
    mnuUndo_->setText(undo);
    tbUndo_->setToolTip(undo);
    mnuRedo_->setText(redo);
    tbRedo_->setToolTip(redo);
    for (QAction* a : {mnuUndo_, tbUndo_}) a->setEnabled(history_.CanUndo());
    for (QAction* a : {mnuRedo_, tbRedo_}) a->setEnabled(history_.CanRedo());
}

void FrmMain::WriteRecovery() {
    if (!IsModified()) return recovery::Remove(recoveryPath_);
    std::string error;
    // A failed write is tried again with the next change; the form itself is untouched.
    if (!recovery::Write(recoveryPath_, model_.settings.formCode, LayoutSnapshot(), error))
        SetStatusText(" - recovery file not written: " + error);
}

bool FrmMain::OpenRecovered(const std::string& layoutText) {
    editor_->ClearSelection();
    const LayoutOrigin origin = model_.settings.layoutOrigin;
    model_.settings.layoutOrigin = LayoutOrigin::LocalFile;
    LayoutReader reader(model_, canvas_, program_.Metrics(), ui_);
    const bool ok = reader.BuildForm(layoutText);
    if (!ok) model_.settings.layoutOrigin = origin;
    TakeIdentity(layoutText, model_.settings);
    RefreshAfterRead();
    layoutPath_.clear();
    // Nothing of it is saved: it counts as changed until it is.
    savedLayout_.reset();
    StartHistory();
    setWindowModified(true);
    WriteRecovery();
    return ok;
}
