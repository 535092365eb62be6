#pragma once
// The catalogue types of the fields a form binds to, asked of the server once each, for
// the sample-data preview. A field the server does not know has no type.
#include <map>
#include <string>

#include "server/Requests.h"

class CommComponent;

class CatalogueTypes {
  public:
    explicit CatalogueTypes(CommComponent& comm) : comm_(comm) {}
    // The type of "TABLE.FIELD" ("CHAR(30)", "DATE" ...); empty when unknown.
    std::string TypeOf(const std::string& field);

  private:
    CommComponent& comm_;
    bool tablesAsked_ = false;
    requests::TableList tables_;
    std::map<std::string, std::string> types_;
};
