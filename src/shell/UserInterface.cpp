#include "UserInterface.h"

void ReportError(UserInterface& ui, const std::string& label, const std::string& description) {
    ui.Message(label + description, "ERROR", MessageIcon::Critical);
}
