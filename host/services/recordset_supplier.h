#pragma once
// Recordset supplier: a new, unopened recordset that can be opened on a table and edited in
// place (fields assigned, batch update).

#include "host/data/recordset.h"

#include <memory>

namespace host {

class RecordsetSupplier : public rt::Object {
  public:
    std::shared_ptr<Recordset> newRecordset() const { return std::make_shared<Recordset>(); }
};

} // namespace host
