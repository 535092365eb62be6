#pragma once
// The window's modal dialogs: "Form Setup" (`frmSize`), the save-form dialog
// (`frmPopUp`) the save flow asks for, and the data catalogue (`frmDBLists`). The
// dialogs that stay open beside the canvas (the property dialogs, the grid dialog) are
// ItemDialogs'.
#include <functional>
#include <string>

#include "server/SaveFormPrompt.h"

class CommComponent;
class FormFlows;
struct FormModel;
class FormSizeHost;
class QWidget;
class UserInterface;
struct FormSettings;

class WindowDialogs : public SaveFormPrompt {
  public:
    WindowDialogs(FormSettings& settings, FormSizeHost& host, UserInterface& ui, FormFlows& flows,
                  QWidget* window);

    // "Form Setup" for a page of width x height inches; true when accepted (the host
    // then has the new page size).
    bool RunFormSetup(double width, double height);
    // The save-form dialog, made when it is needed: its document-type look-up uses the
    // server's components, which exist once the designer is connected.
    bool ShowSaveDialog(FormSettings& settings, bool formExists) override;
    // The data catalogue over the form's lists; promptUsed tells whether a label shows
    // a prompt, selectForm is the forms browser in select mode.
    void ShowCatalogue(CommComponent& comm, FormModel& model,
                       std::function<bool(const std::string&)> promptUsed,
                       std::function<std::string()> selectForm);

  private:
    FormSettings& settings_;
    FormSizeHost& host_;
    UserInterface& ui_;
    FormFlows& flows_;
    QWidget* window_;
};
