#pragma once
// The window's modal dialogs: "Form Setup" (`frmSize`) and the save-form dialog
// (`frmPopUp`) the save flow asks for. The dialogs that stay open beside the canvas
// (the property dialogs, the grid dialog) are ItemDialogs'.
#include "server/SaveFormPrompt.h"

class FormFlows;
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

  private:
    FormSettings& settings_;
    FormSizeHost& host_;
    UserInterface& ui_;
    FormFlows& flows_;
    QWidget* window_;
};
