#include "window/DesignerProgram.h"

#include <QObject>

#include "server/TcpComm.h"
#include "server/qt/ActionDeadline.h"
#include "server/qt/LookupPickerDialog.h"
#include "shell/DataFolder.h"
#include "shell/qt/QtUserInterface.h"

DesignerProgram::DesignerProgram(DesignerProgramOptions options) {
    if (options.ui) {
        ui_ = options.ui;
    } else {
        ownUi_ = std::make_unique<QtUserInterface>();
        ui_ = ownUi_.get();
    }
    metrics_ = std::make_unique<QtTextMetrics>();
    std::string root = options.dataFolder.empty() ? GetDataFolder() : options.dataFolder;
    dataFolder_ = root;
    folders_ = std::make_unique<LocalFolders>(root, *ui_);
    imagesFolder_ = folders_->ImagesFolder();
    canvas_ = std::make_unique<CanvasModel>(model_, *metrics_, imagesFolder_);
    auto comm = std::make_unique<TcpComm>();
    actionContext_ = std::make_unique<QObject>();
    GiveEachActionADeadline(*comm, actionContext_.get(), *ui_);
    comm_ = std::move(comm);
    start_ = options.start;
    connection_ = std::make_unique<ConnectionLogic>(*comm_, *ui_, options.start);
    flows_ =
        std::make_unique<FormFlows>(*comm_, *ui_, *folders_, model_, *canvas_, *canvas_, *metrics_);
    OutsideComponentFactory parts;
    parts.makePicker = &MakeQtLookupPicker;
    flows_->SetComponentFactory(parts);
    // Started for a given server: connected before the window opens, as the connection
    // dialog's Connect does; a server that does not answer leaves its message and the
    // designer not connected.
    if (start_.ConnectsAtStart()) {
        connection_->address = start_.connectAddress;
        connection_->port = start_.connectPort;
        if (connection_->Connect()) ConnectionChanged();
    }
}

DesignerProgram::~DesignerProgram() = default;

void DesignerProgram::SetDialogParent(QWidget* window) {
    if (ownUi_) ownUi_->SetParent(window);
}

void DesignerProgram::ConnectionChanged() {
    if (connection_->Connected()) flows_->CreateComponents();
}
