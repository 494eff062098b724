#pragma once
// The error routine of the procedures that suspend the window's redrawing (SetupLisVen,
// SetupLisAcq, UpdateRecords): redrawing is released before the error is reported, so the
// question is asked on a window that paints, whatever the answer.

#include "form/procedure.h"
#include "host/window/window_support.h"

namespace storage {

class RedrawReleasingRoutine : public ErrorRoutine {
  public:
    explicit RedrawReleasingRoutine(ErrorRoutine& window) : window_(window) {}
    int reportProcedureError(const QString& procedure, const rt::Error& error) override {
        host::LockWindowUpdate(nullptr);
        return window_.reportProcedureError(procedure, error);
    }

  private:
    ErrorRoutine& window_;
};

} // namespace storage
