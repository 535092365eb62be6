#pragma once
// Where the window's dialogs are opened and wired: "Form Setup" (`frmSize`), the
// save-form dialog (`frmPopUp`) the save flow asks for, the grid dialog and the item property
// dialogs such as `frmLineProps`. The property dialogs stay open beside the canvas;
// this object keeps the open ones so that a new move step reaches every one of them.
#include <QPointer>
#include <functional>
#include <optional>
#include <vector>

#include "canvas/GridCells.h"
#include "server/SaveFormPrompt.h"

class FormFlows;
class FormSizeHost;
class FrmLineProps;
class QWidget;
class UserInterface;
struct FormSettings;

class ItemDialogs : public SaveFormPrompt {
  public:
    ItemDialogs(FormSettings& settings, FormSizeHost& host, UserInterface& ui, FormFlows& flows,
                QWidget* window);

    // "Form Setup" for a page of width x height inches; true when accepted (the host
    // then has the new page size).
    bool RunFormSetup(double width, double height);
    // The save-form dialog, made when it is needed: its document-type look-up uses the
    // server's components, which exist once the designer is connected.
    bool ShowSaveDialog(FormSettings& settings, bool formExists) override;
    // What a grid over the area r needs (columns, rows, data grid ...); none when
    // cancelled.
    std::optional<GridArea> AskGridArea(const Rect& r);
    // The line properties dialog, shown beside the canvas and kept until closed.
    FrmLineProps* OpenLineProps();
    // UpdateShift of every open and visible property dialog, so their step fields show
    // the stored shifts.
    void UpdateShift();

  private:
    // A dialog kept while it lives, with what refreshes its step fields.
    template <class Dialog>
    Dialog* Keep(Dialog* dialog);
    struct Open {
        QPointer<QWidget> dialog;
        std::function<void()> updateShift;
    };

    FormSettings& settings_;
    FormSizeHost& host_;
    UserInterface& ui_;
    FormFlows& flows_;
    QWidget* window_;
    std::vector<Open> open_;
};
