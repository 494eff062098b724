#pragma once
// The navigator's export to an office application: what a window registered with the layout
// object model shows, written to a spreadsheet file (.xlsx) that LibreOffice and Excel open.
// The first sheet, "Testata", holds the window's caption and its header fields under their
// captions; then one sheet per registered grid, named by the grid's caption, with the visible
// columns under their captions and one row per row of the grid. Numbers are written as
// numbers (with the grid's decimals), dates as dates, texts without trailing blanks.

#include "runtime/variant.h"

#include <QString>

namespace host {

class LayoutObjectModel;

class OfficeExport : public rt::Object {
  public:
    static constexpr const char* HeaderSheetName = "Testata";
    // A spreadsheet's sheet names hold at most 31 characters.
    static constexpr int MaxSheetNameLength = 31;

    // Writes the file; throws rt::Error with an Italian message when there is nothing to
    // export or the file cannot be written (nothing is left at filePath then).
    void write(const LayoutObjectModel* layout, const QString& filePath);
    // A file name for an export made now: "<caption> <yyyy-MM-dd hh.mm.ss>.xlsx".
    static QString suggestedFileName(const QString& caption);
};

} // namespace host
