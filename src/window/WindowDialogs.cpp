#include "window/WindowDialogs.h"

#include "dialogs/qt/FrmPopUp.h"
#include "dialogs/qt/FrmSize.h"
#include "server/FormFlows.h"
#include "server/qt/FrmDBLists.h"

WindowDialogs::WindowDialogs(FormSettings& settings, FormSizeHost& host, UserInterface& ui,
                             FormFlows& flows, QWidget* window)
    : settings_(settings), host_(host), ui_(ui), flows_(flows), window_(window) {}

bool WindowDialogs::RunFormSetup(double width, double height) {
    return FrmSize::RunPageSetup(settings_, host_, ui_, window_, width, height);
}

bool WindowDialogs::ShowSaveDialog(FormSettings& settings, bool formExists) {
    OutsideComponents& parts = flows_.Components();
    FrmPopUp dlg(ui_, parts.picker.get(), parts.validator.get(), window_);
    return dlg.ShowSaveDialog(settings, formExists);
}

void WindowDialogs::ShowCatalogue(CommComponent& comm, FormModel& model,
                                  std::function<bool(const std::string&)> promptUsed,
                                  std::function<std::string()> selectForm) {
    CatalogueHost host{model,
                       flows_.StaticItems(),
                       flows_.Components().picker.get(),
                       std::move(promptUsed),
                       [this] { return flows_.EnsureConnected(); },
                       std::move(selectForm),
                       {}};
    FrmDBLists dlg(comm, ui_, std::move(host), window_);
    dlg.ShowDialog();
}
