#include "host/services/office_export.h"

#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/recordset.h"
#include "host/services/navigator.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <xlsxwriter.h>

namespace host {
namespace {

constexpr int ErrExport = 75; // Path/File access error

rt::Error exportError(const QString& reason) {
    return rt::Error(ErrExport, QStringLiteral("Esportazione non riuscita: ") + reason);
}

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

lxw_datetime toLxw(const QDateTime& dt) {
    return {dt.date().year(), dt.date().month(),  dt.date().day(),
            dt.time().hour(), dt.time().minute(), double(dt.time().second())};
}

// A sheet name a spreadsheet accepts: no []:*?/\ and at most 31 characters, unique.
QString sheetName(const QString& caption, QStringList& used) {
    static const QRegularExpression forbidden(QStringLiteral("[\\[\\]:*?/\\\\]"));
    QString name = QString(caption)
                       .replace(forbidden, QStringLiteral(" "))
                       .trimmed()
                       .left(OfficeExport::MaxSheetNameLength);
    if (name.isEmpty())
        name = QStringLiteral("Foglio");
    QString unique = name;
    for (int n = 2; used.contains(unique, Qt::CaseInsensitive); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        unique = name.left(OfficeExport::MaxSheetNameLength - int(suffix.size())) + suffix;
    }
    used << unique;
    return unique;
}

struct Formats {
    lxw_format* bold;
    lxw_format* date;
    lxw_workbook* workbook;
    QHash<int, lxw_format*> byDecimals;

    lxw_format* number(int decimals) {
        const int d = std::clamp(decimals, 0, 10);
        if (!byDecimals.contains(d)) {
            lxw_format* f = workbook_add_format(workbook);
            const QString pattern =
                d == 0 ? QStringLiteral("#,##0") : QStringLiteral("#,##0.") + QString(d, u'0');
            format_set_num_format(f, utf8(pattern).constData());
            byDecimals.insert(d, f);
        }
        return byDecimals.value(d);
    }
};

void writeText(lxw_worksheet* sheet, int row, int col, const QString& text, lxw_format* f) {
    worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(col), utf8(text).constData(), f);
}

void writeValue(lxw_worksheet* sheet, int row, int col, const rt::Variant& value, int decimals,
                Formats& formats) {
    const auto r = lxw_row_t(row);
    const auto c = lxw_col_t(col);
    switch (value.type()) {
    case rt::VarType::Empty:
    case rt::VarType::Null:
    case rt::VarType::Object:
        return;
    case rt::VarType::Boolean:
        worksheet_write_boolean(sheet, r, c, value.asBool() ? 1 : 0, nullptr);
        return;
    case rt::VarType::Date: {
        lxw_datetime dt = toLxw(value.asDate());
        worksheet_write_datetime(sheet, r, c, &dt, formats.date);
        return;
    }
    case rt::VarType::String: {
        writeText(sheet, row, col, rt::RTrim(value.asString()), nullptr);
        return;
    }
    case rt::VarType::Decimal:
        worksheet_write_number(
            sheet, r, c, value.asDecimal().toDouble(),
            formats.number(decimals >= 0 ? decimals : value.asDecimal().scale()));
        return;
    case rt::VarType::Double:
        worksheet_write_number(sheet, r, c, value.asDouble(),
                               formats.number(decimals >= 0 ? decimals : 2));
        return;
    case rt::VarType::Integer:
        worksheet_write_number(sheet, r, c, value.asInteger(), formats.number(0));
        return;
    case rt::VarType::Long:
        worksheet_write_number(sheet, r, c, value.asLong(), formats.number(0));
        return;
    }
}

// The header fields of a window, top to bottom and left to right: caption and value.
void writeHeader(lxw_workbook* workbook, const LayoutObjectModel& layout, QStringList& used,
                 Formats& formats) {
    lxw_worksheet* sheet = workbook_add_worksheet(
        workbook, utf8(sheetName(QLatin1String(OfficeExport::HeaderSheetName), used)).constData());
    writeText(sheet, 0, 0, layout.windowCaption, formats.bold);
    QList<QWidget*> fields;
    for (FieldControl* f : layout.window->findChildren<FieldControl*>())
        fields << f;
    for (KrxRichTextBox* box : layout.window->findChildren<KrxRichTextBox*>())
        fields << box;
    std::sort(fields.begin(), fields.end(), [](const QWidget* a, const QWidget* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    int row = 2;
    for (QWidget* w : std::as_const(fields)) {
        // A field without a caption of its own is the article's description box.
        const QString caption =
            w->accessibleName().isEmpty() ? QStringLiteral("Descrizione") : w->accessibleName();
        writeText(sheet, row, 0, caption, nullptr);
        if (auto* date = qobject_cast<TxtEditDate*>(w);
            date && date->validContent() && !date->text().trimmed().isEmpty()) {
            const QDate day = TxtEditDate::parseTyped(date->text());
            writeValue(sheet, row, 1, rt::Variant(QDateTime(day, QTime(0, 0))), 0, formats);
        } else if (auto* field = qobject_cast<FieldControl*>(w)) {
            writeText(sheet, row, 1, field->text().trimmed(), nullptr);
        } else if (auto* box = qobject_cast<KrxRichTextBox*>(w)) {
            writeText(sheet, row, 1, box->text().trimmed(), nullptr);
        }
        ++row;
    }
    worksheet_set_column(sheet, 0, 0, 48, nullptr);
    worksheet_set_column(sheet, 1, 1, 40, nullptr);
}

// The rows of a grid's recordset, from its first to its last; the cursor is put back.
void writeGrid(lxw_workbook* workbook, const LayoutObjectModel::Grid& g, QStringList& used,
               Formats& formats) {
    lxw_worksheet* sheet =
        workbook_add_worksheet(workbook, utf8(sheetName(g.caption, used)).constData());
    QList<const GridColumn*> columns;
    for (int i = 0; i < g.grid->columnCount(); ++i)
        if (g.grid->column(i).visible)
            columns << &g.grid->column(i);
    for (int c = 0; c < columns.size(); ++c) {
        writeText(sheet, 0, c, columns[c]->caption, formats.bold);
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), 14, nullptr);
    }
    const std::shared_ptr<Recordset> rs = g.grid->recordset();
    if (!rs || rs->State() != 1 || rs->RecordCount() == 0)
        return;
    const rt::Variant bookmark = rs->BOF() || rs->IsEOF() ? rt::Variant() : rs->Bookmark();
    for (int r = 1; r <= rs->RecordCount(); ++r) {
        rs->setAbsolutePosition(r);
        for (int c = 0; c < columns.size(); ++c) {
            if (!rs->hasField(columns[c]->key))
                continue;
            const rt::Variant v = rs->Fields(columns[c]->key).Value();
            writeValue(sheet, r, c, v, columns[c]->numeric ? columns[c]->decimals : -1, formats);
        }
    }
    if (!bookmark.isEmpty())
        rs->setBookmark(bookmark);
}

} // namespace

void OfficeExport::write(const LayoutObjectModel* layout, const QString& filePath) {
    if (!layout || !layout->window)
        throw exportError(QStringLiteral("nessuna finestra aperta da esportare."));
    const QFileInfo target(filePath);
    if (!target.absoluteDir().exists())
        throw exportError(QStringLiteral("la cartella %1 non esiste.")
                              .arg(QDir::toNativeSeparators(target.absolutePath())));
    const QByteArray path = QFile::encodeName(target.absoluteFilePath());
    lxw_workbook* workbook = workbook_new(path.constData());
    if (!workbook)
        throw exportError(QStringLiteral("impossibile creare il file %1.")
                              .arg(QDir::toNativeSeparators(target.absoluteFilePath())));
    Formats formats{workbook_add_format(workbook), workbook_add_format(workbook), workbook, {}};
    format_set_bold(formats.bold);
    format_set_num_format(formats.date, "dd/mm/yyyy");
    QStringList used;
    try {
        writeHeader(workbook, *layout, used, formats);
        for (const LayoutObjectModel::Grid& g : layout->grids)
            if (g.grid)
                writeGrid(workbook, g, used, formats);
    } catch (const rt::Error&) {
        workbook_close(workbook);
        QFile::remove(target.absoluteFilePath());
        throw;
    }
    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR) {
        QFile::remove(target.absoluteFilePath());
        throw exportError(QStringLiteral("impossibile scrivere il file %1 (%2).")
                              .arg(QDir::toNativeSeparators(target.absoluteFilePath()),
                                   QString::fromUtf8(lxw_strerror(result))));
    }
}

QString OfficeExport::suggestedFileName(const QString& caption) {
    return QStringLiteral("%1 %2.xlsx")
        .arg(caption.trimmed(),
             QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss")));
}

} // namespace host
