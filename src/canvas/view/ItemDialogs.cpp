#include "canvas/view/ItemDialogs.h"

#include <QWidget>

#include "dialogs/qt/FrmLists.h"
#include "dialogs/qt/FrmProps.h"

ItemDialogs::ItemDialogs(Context context) : QObject(context.window), c_(std::move(context)) {}

ItemDialogs::~ItemDialogs() = default;

FrmProps* ItemDialogs::Props() {
    if (!props_) {
        FrmProps::Wiring wiring;
        wiring.changed = c_.refresh;
        wiring.shiftChanged = [this] { UpdateShift(); };
        wiring.pickOne = [this] { return PickOneValue(); };
        props_ = new FrmProps(*c_.canvas, *c_.editor, *c_.model, *c_.metrics, *c_.ui,
                              std::move(wiring), c_.window);
    }
    return props_;
}

FrmProps* ItemDialogs::LabelProperties() const {
    return props_ && props_->isVisible() ? props_ : nullptr;
}

void ItemDialogs::OpenLabelProperties(int label, bool closeOnApply) {
    if (!c_.canvas->LabelAt(label)) return;
    FrmProps* p = Props();
    p->SetLabelRef(label, closeOnApply);
    p->show();
    p->raise();
    p->activateWindow();
}

void ItemDialogs::OpenTemplateProperties() {
    OpenLabelProperties(0);
}

void ItemDialogs::FollowLabel(int label) {
    if (FrmProps* p = LabelProperties(); p && label > 0) p->SetLabelRef(label, false);
}

std::string ItemDialogs::PickOneValue() {
    return PickOneListValue(
        *c_.ui, c_.staticItems ? c_.staticItems() : std::vector<requests::StaticItem>{},
        c_.model->databaseFields, LabelProperties() ? (QWidget*)props_ : c_.window);
}

void ItemDialogs::OpenFillFromList(const std::string& tag) {
    if (!lists_) lists_ = new FrmLists(*c_.ui, c_.window);
    lists_->SetTag(tag);
    lists_->FillListBoxes(c_.staticItems ? c_.staticItems() : std::vector<requests::StaticItem>{},
                          c_.model->databaseFields);
    lists_->ShowFill(
        [this](const std::vector<std::string>& entries, int order, const std::string& tag) {
            c_.editor->FillLabels(entries, order, tag);
            if (FrmProps* p = LabelProperties()) p->SetLabelRef(p->CurrentLabelIndx(), false);
            if (c_.refresh) c_.refresh();
        });
}

void ItemDialogs::UpdateShift() {
    if (FrmProps* p = LabelProperties()) p->UpdateShift();
}

void ItemDialogs::CloseAll() {
    if (props_ && props_->isVisible()) props_->close();
}
