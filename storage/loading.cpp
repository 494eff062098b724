// Loading the working set: SetupLisVen, SetupLisAcq, ValorizzaRecSet, GetListino, EsisteListino.
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/net_price_calculator.h"
#include "host/services/recordset_supplier.h"
#include "host/window/window_support.h"
#include "runtime/conversions.h"
#include "storage/form_utilities.h"
#include "storage/load_answers.h"
#include "storage/redraw_releasing_routine.h"
#include "storage/statements.h"

#include <algorithm>

namespace {

using Window = FRMMG_PREZZOLAMPO;

// What tells the sales loader from the purchase loader.
struct SideMembers {
    const char* procedure;
    const char* side;
    const char* tablePrefix;
    std::shared_ptr<host::Recordset> Window::*recordset;
    host::KRX_QGRID* Window::*grid;
    host::TxtEditDate* Window::*firstDay;
    host::TxtEditDate* Window::*lastDay;
    std::shared_ptr<host::Recordset> Window::*parameters;
    std::shared_ptr<host::RecordsetSupplier> Window::*supplier;
    bool lockBeforeDetaching;
};

const SideMembers salesSide{"SetupLisVen",
                            "VEN",
                            "##LISVEN_",
                            &Window::Rst_RecSet_LISVEN,
                            &Window::GRD_LISVEN,
                            &Window::TXT_DADATA_VEN,
                            &Window::TXT_ADATA_VEN,
                            &Window::Rst_ParametriVEN,
                            &Window::Gcls_SupplierLISVEN,
                            true};
const SideMembers purchaseSide{"SetupLisAcq",
                               "ACQ",
                               "##LISACQ_",
                               &Window::Rst_RecSet_LISACQ,
                               &Window::GRD_LISACQ,
                               &Window::TXT_DADATA_ACQ,
                               &Window::TXT_ADATA_ACQ,
                               &Window::Rst_ParametriACQ,
                               &Window::Gcls_SupplierLISACQ,
                               false};

rt::Variant valueOf(host::Recordset& rs, const char* field) {
    return rs.Fields(QLatin1String(field)).Value();
}

// A stored date against the text of a header date field, compared as dates: an empty text or
// one that is no date never equals.
bool sameDate(const rt::Variant& stored, const QString& typed) {
    if (rt::Trim(typed).isEmpty() || !rt::IsDate(typed) || !rt::IsDate(stored))
        return false;
    return rt::CDate(stored).date() == rt::CDate(typed).date();
}

// The loaded rows still describe the header: same article, option and period. char values
// come back padded, so trailing blanks do not count.
bool rowsMatchHeader(Window& w, host::Recordset& rs, const SideMembers& s) {
    const bool article =
        NzStr(valueOf(rs, "LI10_CODART_MG66")) == NzStr(objectOf(w.TXT_CODART).text());
    const bool option =
        NzStr(valueOf(rs, "LI10_OPZIONE_MG5E")) == NzStr(objectOf(w.TXT_OPZIONE).text());
    const bool first = sameDate(valueOf(rs, "LI10_DATAINIZIOVAL"), objectOf(w.*s.firstDay).text());
    const bool last = sameDate(valueOf(rs, "LI10_DATAFINEVAL"), objectOf(w.*s.lastDay).text());
    return article && option && first && last;
}

// The stored rows of every list of the parameter set, read with one statement; they answer
// the load's EsisteListino and GetListino questions. Anything out of the ordinary (a list
// number 0 or twice, a period that cannot be worked out, lists of both sides, a read the
// server refuses) leaves every question to the server, asked one by one as before; the
// parameter set is left on its first row.
std::shared_ptr<storage::LoadAnswers> readStoredLists(Window& w, host::Recordset& parameters) {
    std::shared_ptr<storage::LoadAnswers> answers;
    try {
        QList<storage::ListPeriod> lists;
        QList<std::int16_t> sides;
        for (parameters.MoveFirst(); !parameters.IsEOF(); parameters.MoveNext()) {
            storage::ListPeriod list{rt::CInt(valueOf(parameters, "MG44_NUMLIST")),
                                     w.proposedStartDate(parameters),
                                     w.proposedEndDate(parameters)};
            const bool repeated = std::any_of(lists.cbegin(), lists.cend(), [&](const auto& l) {
                return l.listNumber == list.listNumber;
            });
            if (list.listNumber == 0 || repeated)
                return nullptr;
            lists << list;
            sides << rt::CInt(valueOf(parameters, "MG44_FLGVENACQ"));
        }
        if (!lists.isEmpty() && sides.count(sides.first()) == sides.size()) {
            const QString article = objectOf(w.TXT_CODART).text();
            const QString option = objectOf(w.TXT_OPZIONE).text();
            auto rows = objectOf(w.Gcon_Connect)
                            .Execute(storage::storedListsOfLoadSql(w.Gstr_Ditta, sides.first(),
                                                                   article, option, lists));
            answers = std::make_shared<storage::LoadAnswers>(sides.first(), article, option, lists,
                                                             std::move(rows));
        }
    } catch (const rt::Error&) {
        answers.reset();
    }
    try {
        parameters.MoveFirst();
    } catch (const rt::Error&) {
        answers.reset(); // the load below meets the same error and reports it
    }
    return answers;
}

void loadSide(Window& w, const SideMembers& s) {
    storage::RedrawReleasingRoutine routine(w);
    Procedure p(routine, QString::fromLatin1(s.procedure));
    std::shared_ptr<host::Recordset>& rs = w.*s.recordset;

    // 1. The grid lets go of its rows while the window does not paint.
    if (s.lockBeforeDetaching)
        p([&] { host::LockWindowUpdate(&w); });
    p([&] { w.Gbol_Busy = true; });
    p([&] { objectOf(w.*s.grid).setRecordset(nullptr); });
    if (!s.lockBeforeDetaching)
        p([&] { host::LockWindowUpdate(&w); });
    p([&] { w.Gbol_Busy = false; });
    p([&] { host::DoEvents(); });

    // 2. Rows loaded for the same article, option and period stand, with their edits.
    if (rs) {
        bool onRow = false;
        p([&] { onRow = !(rs->BOF() || rs->IsEOF()); });
        if (!onRow) {
            p([&] { w.Gbol_Busy = false; });
            return;
        }
        bool same = false;
        p([&] { same = rowsMatchHeader(w, *rs, s); });
        if (same) {
            p([&] { w.CurrentSide = QString::fromLatin1(s.side); });
            p([&] { w.Gbol_Busy = false; });
            return;
        }
        // The previous table stays until the connection closes; only its recordset goes.
        p([&] { rs->Close(); });
        p([&] { rs.reset(); });
    }
    if (p.left())
        return;

    // 3.
    p([&] {
        if (!(w.*s.supplier))
            w.*s.supplier = std::make_shared<host::RecordsetSupplier>();
    });
    p([&] { rs = objectOf(w.*s.supplier).newRecordset(); });

    // 4. A new working table under a new name.
    p([&] { objectOf(w.*s.parameters).MoveFirst(); });
    QString table;
    p([&] { table = QString::fromLatin1(s.tablePrefix) + w.GetGuidString(); });
    p([&] { w.CreateTabTemp(table); });

    // 5. One working row per list of the parameter set, in its order.
    if (w.fewerRoundTrips && !p.left() && w.*s.parameters) {
        w.loadAnswers = readStoredLists(w, *(w.*s.parameters));
        w.heldWorkingRows.emplace();
    }
    std::int16_t count = 0;
    p([&] {
        count = rt::CInt(rt::Variant(std::int32_t(objectOf(w.*s.parameters).RecordCount())));
    });
    for (int i = 1; i <= count && !p.left(); ++i) {
        p([&] { w.ValorizzaRecSet(table, objectOf(w.*s.parameters)); });
        bool atEnd = false;
        p([&] { atEnd = objectOf(w.*s.parameters).IsEOF(); });
        if (atEnd)
            break;
        p([&] { objectOf(w.*s.parameters).MoveNext(); });
    }
    w.loadAnswers.reset();
    if (w.heldWorkingRows) {
        const QStringList inserts = std::move(*w.heldWorkingRows);
        w.heldWorkingRows.reset();
        w.sendWorkingRows(table, inserts);
    }

    // 6.
    p([&] { objectOf(rs).Open(storage::selectWorkingTableSql(table), objectOf(w.Gcon_Connect)); });
    p([&] { w.saveRowsWrittenBack(objectOf(rs)); });
    bool empty = true;
    p([&] { empty = objectOf(rs).BOF() && rs->IsEOF(); });
    if (!empty)
        p([&] { rs->MoveFirst(); });

    // 7.
    p([&] { w.Gbol_Busy = true; });
    p([&] { objectOf(w.*s.grid).setRecordset(rs); });
    p([&] { w.Gbol_Busy = false; });
    p([&] { host::LockWindowUpdate(nullptr); });
    p([&] { host::DoEvents(); });
}

} // namespace

void FRMMG_PREZZOLAMPO::SetupLisVen() {
    loadSide(*this, salesSide);
}

void FRMMG_PREZZOLAMPO::SetupLisAcq() {
    loadSide(*this, purchaseSide);
}

void FRMMG_PREZZOLAMPO::ValorizzaRecSet(const QString& tableName, host::Recordset& parameterRow) {
    Procedure p(*this, QStringLiteral("ValorizzaRecSet"));
    const auto parameter = [&](const char* field) { return valueOf(parameterRow, field); };

    bool exists = false;
    p([&] {
        exists = EsisteListino(rt::CInt(parameter("MG44_NUMLIST")),
                               rt::CInt(parameter("MG44_FLGVENACQ")), GetDateInizio(parameterRow),
                               GetDateFine(parameterRow));
    });

    QString sql;
    if (exists) {
        std::shared_ptr<host::Recordset> stored;
        p([&] {
            stored = GetListino(rt::CInt(parameter("MG44_FLGVENACQ")), objectOf(TXT_CODART).text(),
                                NzStr(objectOf(TXT_OPZIONE).text()), parameter("MG44_NUMLIST"),
                                GetDateInizio(parameterRow), GetDateFine(parameterRow));
        });
        const auto r = [&](const QString& field) { return objectOf(stored).Fields(field).Value(); };
        // The net price of the stored values, as stored.
        rt::Variant netPrice;
        p([&] {
            host::NetPriceCalculator& calculator = objectOf(Gcls_NetPrice);
            calculator.setCurrency(NzStr(parameter("MG44_VALUTA_CG08")));
            calculator.setGrossPrice(NzDec(r(u"LI10_PREZZO"_qs)));
            for (int i = 1; i <= 6; ++i)
                calculator.setDiscount(i, r(u"LI10_SC%1PER"_qs.arg(i)));
            calculator.setDiscountAmount(r(u"LI10_SCIMP"_qs));
            calculator.setSurcharge(1, r(u"LI10_MAG1PER"_qs));
            calculator.setSurcharge(2, r(u"LI10_MAG2PER"_qs));
            calculator.setSurchargeAmount(r(u"LI10_MAGIMP"_qs));
            calculator.compute();
            netPrice = calculator.netPrice();
        });
        p([&] {
            sql = storage::insertStoredWorkingRowSql(
                tableName, {r, parameter("MG44_VALUTA_CG08"), netPrice, rt::Today()});
        });
    } else {
        p([&] {
            storage::NewWorkingRow row;
            row.company = Gstr_Ditta;
            row.side = parameter("MG44_FLGVENACQ");
            row.article = objectOf(TXT_CODART).text();
            row.option = objectOf(TXT_OPZIONE).text();
            row.listNumber = parameter("MG44_NUMLIST");
            row.currency = parameter("MG44_VALUTA_CG08");
            row.firstDay = GetDateInizio(parameterRow);
            row.lastDay = GetDateFine(parameterRow);
            row.commission = parameter("MG44_PERCPROV");
            row.today = rt::Today();
            sql = storage::insertNewWorkingRowSql(tableName, row);
        });
    }
    // A statement that could not be built is not sent: its error has been reported.
    if (!sql.isEmpty() && heldWorkingRows)
        heldWorkingRows->append(sql);
    else if (!sql.isEmpty())
        p([&] { objectOf(Gcon_Connect).Execute(sql); });
    p([&] { DisabilitaTestata(); });
}

// The working rows of a load in one statement. When the server refuses the whole, each row
// is sent alone, so that only a refused row is missing and its error is reported as the row's
// own, as when every row was sent by itself.
void FRMMG_PREZZOLAMPO::sendWorkingRows(const QString& tableName, const QStringList& inserts) {
    if (inserts.size() > 1) {
        const QString merged = storage::mergedWorkingInsertSql(tableName, inserts);
        try {
            if (!merged.isEmpty()) {
                objectOf(Gcon_Connect).Execute(merged);
                return;
            }
        } catch (const rt::Error&) {
        }
    }
    for (const QString& insert : inserts) {
        Procedure p(*this, QStringLiteral("ValorizzaRecSet"));
        p([&] { objectOf(Gcon_Connect).Execute(insert); });
    }
}

std::shared_ptr<host::Recordset>
FRMMG_PREZZOLAMPO::GetListino(std::int16_t side, const QString& article, const QString& option,
                              const rt::Variant& listNumber, const QString& firstDay,
                              const QString& lastDay) {
    Procedure p(*this, QStringLiteral("GetListino"));
    std::shared_ptr<host::Recordset> result;
    if (loadAnswers)
        p([&] {
            result = loadAnswers->rowsFor(side, article, option, storage::rawText(listNumber),
                                          firstDay, lastDay);
        });
    if (result)
        return result;
    QString sql;
    p([&] {
        sql = storage::getListinoSql(Gstr_Ditta, side, article, option, listNumber, firstDay,
                                     lastDay);
    });
    p([&] { result = objectOf(Gcon_Connect).Execute(sql); });
    return result;
}

bool FRMMG_PREZZOLAMPO::EsisteListino(std::int16_t listNumber, std::int16_t side,
                                      const QString& firstDay, const QString& lastDay) {
    Procedure p(*this, QStringLiteral("EsisteListino"));
    bool found = false;
    std::shared_ptr<host::Recordset> rows;
    if (loadAnswers)
        p([&] {
            rows = loadAnswers->rowsFor(side, objectOf(TXT_CODART).text(),
                                        objectOf(TXT_OPZIONE).text(), QString::number(listNumber),
                                        firstDay, lastDay);
        });
    QString sql;
    if (!rows) {
        p([&] {
            sql = storage::esisteListinoSql(Gstr_Ditta, side, objectOf(TXT_CODART).text(),
                                            objectOf(TXT_OPZIONE).text(), listNumber, firstDay,
                                            lastDay);
        });
        p([&] { rows = objectOf(Gcon_Connect).Execute(sql); });
    }
    p([&] { found = objectOf(rows).RecordCount() > 0; });
    p([&] {
        if (rows && rows->State() == host::adStateOpen)
            rows->Close();
    });
    p([&] { rows.reset(); });
    return found;
}
