#pragma once
// Everything the designer window works with apart from its widgets: the open form
// and its canvas model, the local folders, the TCP link to the repository server,
// the connection logic, the server flows and the outside components they create.
// The program builds one at start-up and hands it to the window; tests build their
// own with a recording user interface and a scratch data folder.
#include <memory>
#include <string>

#include "canvas/CanvasModel.h"
#include "layout/FormModel.h"
#include "layout/LocalFolders.h"
#include "server/ConnectionLogic.h"
#include "server/FormFlows.h"
#include "shell/StartOptions.h"

class CommComponent;
class QObject;
class QWidget;
class QtUserInterface;
class TextMetrics;
class UserInterface;

struct DesignerProgramOptions {
    UserInterface* ui = nullptr;  // null: message boxes over the window
    std::string dataFolder;       // "": the user's data folder
    StartOptions start;           // the switches of the command line
};

class DesignerProgram {
  public:
    explicit DesignerProgram(DesignerProgramOptions options = {});
    ~DesignerProgram();
    DesignerProgram(const DesignerProgram&) = delete;
    DesignerProgram& operator=(const DesignerProgram&) = delete;

    // The window the program's own message boxes stand over.
    void SetDialogParent(QWidget* window);

    UserInterface& Ui() { return *ui_; }
    const TextMetrics& Metrics() const { return *metrics_; }
    LocalFolders& Folders() { return *folders_; }
    const std::string& ImagesFolder() const { return imagesFolder_; }
    const std::string& DataFolder() const { return dataFolder_; }
    FormModel& Model() { return model_; }
    CanvasModel& Canvas() { return *canvas_; }
    CommComponent& Comm() { return *comm_; }
    ConnectionLogic& Connection() { return *connection_; }
    const StartOptions& Start() const { return start_; }
    FormFlows& Flows() { return *flows_; }

    // After the connection dialog changed the link: a new link brings its components,
    // whether it was made from the menu or by a server flow.
    void ConnectionChanged();

  private:
    std::unique_ptr<QtUserInterface> ownUi_;
    UserInterface* ui_;
    std::unique_ptr<TextMetrics> metrics_;
    std::unique_ptr<LocalFolders> folders_;
    std::string imagesFolder_;
    std::string dataFolder_;
    FormModel model_;
    std::unique_ptr<CanvasModel> canvas_;
    std::unique_ptr<CommComponent> comm_;
    // Bounds the timers that end each window action's deadline on the link.
    std::unique_ptr<QObject> actionContext_;
    std::unique_ptr<ConnectionLogic> connection_;
    StartOptions start_;
    std::unique_ptr<FormFlows> flows_;
};
