// Saving price lists: UpdateRecords, UpdateRecord, DecimalDB.
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/net_price_calculator.h"
#include "host/window/window_support.h"
#include "runtime/conversions.h"
#include "storage/form_utilities.h"
#include "storage/redraw_releasing_routine.h"
#include "storage/statements.h"
#include "storage/working_columns.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {

// A row is not saved once the focus has moved to the New button.
bool focusOnNewButton() {
    const QWidget* focused = QApplication::focusWidget();
    return focused != nullptr && focused->objectName() == QLatin1String("CMD_NUOVO");
}

// The saved columns of the current row, by position.
storage::SavedRow savedRowOf(host::Recordset& rs) {
    storage::SavedRow row;
    row.reserve(qsizetype(storage::SavedColumnCount));
    for (std::size_t i = 0; i < storage::SavedColumnCount; ++i)
        row.append(rs.Fields(int(i)).Value());
    return row;
}

} // namespace

void FRMMG_PREZZOLAMPO::UpdateRecords(const QString& side) {
    if (Gbol_Busy)
        return;
    storage::RedrawReleasingRoutine routine(*this);
    Procedure p(routine, QStringLiteral("UpdateRecords"));
    const bool purchase = side == QLatin1String("ACQ");
    std::shared_ptr<host::Recordset>& rs = purchase ? Rst_RecSet_LISACQ : Rst_RecSet_LISVEN;
    host::KRX_QGRID* grid = purchase ? GRD_LISACQ : GRD_LISVEN;

    p([&] { host::LockWindowUpdate(this); });
    p([&] { CurrentSide = side; });
    p([&] { Gbol_Busy = true; });
    p([&] { objectOf(grid).setRecordset(nullptr); });
    p([&] { Gbol_Busy = false; });

    bool onRow = false;
    p([&] { onRow = !(objectOf(rs).BOF() || rs->IsEOF()); });
    if (onRow) {
        p([&] { rs->MoveFirst(); });
        while (!p.left()) {
            bool atEnd = true;
            p([&] { atEnd = rs->IsEOF(); });
            if (atEnd)
                break;
            p([&] { UpdateRecord(*rs); });
            if (!p([&] { rs->MoveNext(); }))
                break; // a cursor that cannot move would ask forever
        }
        p([&] { rs->MoveFirst(); });
    }

    p([&] { Gbol_Busy = true; });
    p([&] { objectOf(grid).setRecordset(rs); });
    p([&] { Gbol_Busy = false; });
    p([&] { host::LockWindowUpdate(nullptr); });
}

void FRMMG_PREZZOLAMPO::UpdateRecord(host::Recordset& rs) {
    Procedure p(*this, QStringLiteral("UpdateRecord"));
    bool skip = true;
    p([&] { skip = Gbol_Busy || !objectOf(TXT_CODART).validContent() || focusOnNewButton(); });
    if (skip)
        return;
    const auto field = [&](const QString& name) { return rs.Fields(name).Value(); };

    bool write = false;
    p([&] { write = RowsModified; });
    const auto decimalDB = [this](const rt::Variant& v) { return DecimalDB(v); };
    const auto storedRowExists = [&] {
        bool exists = false;
        p([&] {
            exists = EsisteListino(
                rt::CInt(field(u"LI10_NUMLIST"_qs)), rt::CInt(field(u"LI10_FLGVENDACQ"_qs)),
                rt::CStr(field(u"LI10_DATAINIZIOVAL"_qs)), rt::CStr(field(u"LI10_DATAFINEVAL"_qs)));
        });
        return exists;
    };
    // A statement that could not be built is not sent: its error has been reported.
    const auto send = [&](const QString& sql, long* affected = nullptr) {
        return !sql.isEmpty() && p([&] { objectOf(Gcon_Connect).Execute(sql, affected); });
    };
    const auto update = [&](long* affected = nullptr) {
        QString sql;
        p([&] { sql = storage::updateListinoSql(savedRowOf(rs), decimalDB); });
        return send(sql, affected);
    };
    const auto insert = [&] {
        QString sql;
        p([&] { RowsInserted = true; });
        p([&] { sql = storage::insertListinoSql(savedRowOf(rs), decimalDB); });
        send(sql);
    };
    if (write && fewerRoundTrips) {
        // The UPDATE goes first: the rows it changed say whether the stored row was there, and
        // only when it was not does the INSERT follow (someone may have deleted it meanwhile).
        // A driver that cannot count the rows leaves the question to EsisteListino.
        long updated = -1;
        if (update(&updated) && (updated == 0 || (updated < 0 && !storedRowExists())))
            insert();
    } else if (write) {
        if (storedRowExists())
            update();
        else
            insert();
    }

    // The net price of the working row, refreshed on every call.
    const auto calculator = [&]() -> host::NetPriceCalculator& { return objectOf(Gcls_NetPrice); };
    p([&] { calculator().setCurrency(NzStr(field(u"VALUTA"_qs))); });
    p([&] { calculator().setGrossPrice(NzDec(field(u"LI10_PREZZO"_qs))); });
    for (int i = 1; i <= 6; ++i)
        p([&] { calculator().setDiscount(i, NzDec(field(u"LI10_SC%1PER"_qs.arg(i)))); });
    p([&] { calculator().setDiscountAmount(NzDec(field(u"LI10_SCIMP"_qs))); });
    p([&] { calculator().setSurcharge(1, NzDec(field(u"LI10_MAG1PER"_qs))); });
    p([&] { calculator().setSurcharge(2, NzDec(field(u"LI10_MAG2PER"_qs))); });
    p([&] { calculator().setSurchargeAmount(NzDec(field(u"LI10_MAGIMP"_qs))); });
    p([&] { calculator().compute(); });
    p([&] { rs.Fields(u"PREZZO_NETTO"_qs).setValue(calculator().netPrice()); });
}

QString FRMMG_PREZZOLAMPO::DecimalDB(const rt::Variant& Expression) {
    return storage::decimalDbText(objectOf(Gcls_NumberFormat), Expression);
}

void FRMMG_PREZZOLAMPO::saveRowsWrittenBack(host::Recordset& rs) {
    QPointer<FRMMG_PREZZOLAMPO> window(this);
    rs.setAfterBatchUpdate([window](host::Recordset& written) {
        if (!window)
            return;
        window->RowsModified = true;
        window->UpdateRecord(written);
    });
}
