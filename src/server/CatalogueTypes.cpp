#include "server/CatalogueTypes.h"

#include "server/RepositoryCommands.h"
#include "shell/NullUserInterface.h"
#include "shell/TextUtils.h"

std::string CatalogueTypes::TypeOf(const std::string& field) {
    auto known = types_.find(field);
    if (known != types_.end()) return known->second;
    // A preview goes on without the types it cannot get: no message for each field.
    NullUserInterface quiet;
    if (!tablesAsked_) {
        tablesAsked_ = true;
        requests::GetTablesData(comm_, quiet, tables_);
    }
    std::string type;
    size_t dot = field.find('.');
    std::vector<std::string> properties;
    if (!tables_.database.empty() && dot != field.npos &&
        requests::GetFieldProperties(comm_, quiet, tables_.database, field.substr(0, dot),
                                     field.substr(dot + 1), properties) &&
        properties.size() > 1 && !text::StartsWith(text::ToUpper(properties[0]), "ERROR"))
        type = properties[1];
    types_[field] = type;
    return type;
}
