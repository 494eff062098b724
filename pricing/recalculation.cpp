// Derivation of sales prices from their base purchase lists: RicalcolaPrezzi, the "&Ricalcola"
// button and the two article look-ups it needs (rounding bracket, VAT rate).
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "host/contract/cinterface.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/data/sql_literal.h"
#include "host/services/decimal_rounding.h"
#include "host/services/global_services.h"
#include "host/services/net_price_calculator.h"
#include "host/services/rounding_service.h"
#include "host/window/window_support.h"
#include "pricing/formulas.h"
#include "runtime/conversions.h"
#include "storage/form_utilities.h"

#include <QSqlDatabase>
#include <array>

namespace {

bool standsOnRow(const std::shared_ptr<host::Recordset>& rs) {
    return rs && !rs->BOF() && !rs->IsEOF();
}

// True (-1) or 1 ask for the current row only; anything else, or nothing, for every row.
bool onlyCurrentRowRequested(const rt::Variant& request) {
    if (request.isEmpty() || request.isNull() || !rt::IsNumeric(request))
        return false;
    const rt::Decimal value = rt::CDec(request);
    return value == rt::Decimal(-1) || value == rt::Decimal(1);
}

rt::Decimal decimalOf(const rt::Variant& value) {
    return rt::CDec(NzDec(value));
}

// "value = 0" on the raw value: Empty counts as 0, Null never equals anything.
bool rawEqualsZero(const rt::Variant& value) {
    if (value.isNull())
        return false;
    if (value.isEmpty())
        return true;
    return rt::IsNumeric(value) && rt::CDec(value).isZero();
}

// A value written into a decimal column keeps the column's decimals, as the working table
// keeps them; later steps read it back so.
void writeDecimal(host::Field field, const rt::Decimal& value) {
    const int scale = field.NumericScale();
    field.setValue(scale > 0 ? host::roundHalfUp(value, scale) : value);
}

void writePrice(host::Field field, double price) {
    writeDecimal(field, rt::Decimal::fromDouble(price));
}

// The columns that the zero-mark-up copy takes from the purchase row, in this order.
constexpr std::array<const char16_t*, 12> CopiedColumns = {
    u"LI10_PREZZO",  u"LI10_SC1PER",  u"LI10_SC2PER", u"LI10_SC3PER",
    u"LI10_SC4PER",  u"LI10_SC5PER",  u"LI10_SC6PER", u"LI10_SCIMP",
    u"LI10_MAG1PER", u"LI10_MAG2PER", u"LI10_MAGIMP", u"PREZZO_NETTO"};

// On an embedded database file each statement is its own commit to disk (milliseconds each):
// the saves of one pass are committed together there. A statement that fails inside the group
// is undone alone and the others stay, as without the group. Servers commit each statement as
// it comes (a failed statement would spoil a whole group on some of them).
class FileCommitGroup {
  public:
    explicit FileCommitGroup(const std::shared_ptr<host::Connection>& connection) {
        if (connection && connection->dialect() == host::Dialect::SQLite &&
            connection->database().transaction())
            database_ = connection->database();
    }
    ~FileCommitGroup() {
        if (database_.isOpen())
            database_.commit();
    }
    FileCommitGroup(const FileCommitGroup&) = delete;
    FileCommitGroup& operator=(const FileCommitGroup&) = delete;

  private:
    QSqlDatabase database_;
};

// One pass of RicalcolaPrezzi over the sales rows. Every statement is a step of the pass's
// error-ignoring procedure: a failing one is skipped and the row goes on.
class SalesPricing {
  public:
    SalesPricing(FRMMG_PREZZOLAMPO& window, Procedure& p, host::Recordset& sales)
        : w_(window), p_(p), sales_(sales) {}

    // Derives the price of the current sales row and saves it; skipped rows stay untouched.
    // The filters the row puts on the purchase rows and the sales parameters go in every case.
    void priceCurrentRow() {
        if (selectListAndBase())
            deriveAndSave();
        p_([&] { purchaseRows().setFilter(host::adFilterNone); });
        p_([&] { salesParameters().setFilter(host::adFilterNone); });
    }

  private:
    host::Recordset& purchaseRows() { return objectOf(w_.Rst_RecSet_LISACQ); }
    host::Recordset& salesParameters() { return objectOf(w_.Rst_ParametriVEN); }
    host::Recordset& purchaseParameters() { return objectOf(w_.Rst_ParametriACQ); }
    host::Field sales(const char16_t* column) { return sales_.Fields(QString::fromUtf16(column)); }
    host::Field purchase(const char16_t* column) {
        return purchaseRows().Fields(QString::fromUtf16(column));
    }
    rt::Variant parameter(const char16_t* column) {
        return salesParameters().Fields(QString::fromUtf16(column)).Value();
    }

    // The sales list's one parameter row and its base purchase list's one working row.
    bool selectListAndBase() {
        bool found = false;
        p_([&] {
            salesParameters().setFilter(u"MG44_NUMLIST = "_qs +
                                        rt::CStr(sales(u"LI10_NUMLIST").Value()));
        });
        p_([&] { purchaseParameters().MoveFirst(); });
        p_([&] { found = salesParameters().RecordCount() == 1; });
        if (!found)
            return false;
        p_([&] { baseList_ = NzStr(parameter(u"MG44_NUMLISTACQRIC")); });
        if (baseList_.isEmpty())
            return false;
        found = false;
        p_([&] { purchaseRows().setFilter(u"LI10_NUMLIST ="_qs + baseList_); });
        p_([&] { found = purchaseRows().RecordCount() == 1; });
        return found;
    }

    void deriveAndSave() {
        bool defaultMarkupList = false;
        p_([&] { defaultMarkupList = !decimalOf(parameter(u"MG44_RICDEFAULT")).isZero(); });
        if (defaultMarkupList)
            p_([&] {
                if (decimalOf(sales(u"LI10_PERRICDELTA").Value()).isZero() && w_.RowsInserted)
                    sales(u"LI10_PERRICDELTA").setValue(NzDec(parameter(u"MG44_RICDEFAULT")));
            });
        else
            p_([&] { setCalculatorCurrencyFromPurchase(); });

        bool byMarkup = false;
        p_([&] { byMarkup = !decimalOf(sales(u"LI10_PERRICDELTA").Value()).isZero(); });
        if (byMarkup) {
            if (defaultMarkupList)
                priceByMarkupOnWorkingPrice();
            else
                priceByMarkupThroughColumn();
        } else {
            applyZeroMarkupMode();
        }
        saveRow();
    }

    void setCalculatorCurrencyFromPurchase() {
        objectOf(w_.Gcls_NetPrice).setCurrency(NzStr(purchase(u"VALUTA").Value()));
    }

    // The host's method, asked afresh for every row priced by mark-up.
    rt::Variant markupMethod() {
        const std::shared_ptr<host::GlobalServices> global =
            objectOf(w_.ActiveInterface).ClsGlobal();
        return objectOf(global).markupMethod();
    }

    // Lists with a default mark-up: exact mark-up, then the double working price.
    void priceByMarkupOnWorkingPrice() {
        std::optional<rt::Decimal> price;
        p_([&] {
            const bool margin = !decimalOf(markupMethod()).isZero();
            price = pricing::priceByMarkup(decimalOf(purchase(u"PREZZO_NETTO").Value()),
                                           decimalOf(sales(u"LI10_PERRICDELTA").Value()), margin);
        });
        if (!price)
            return; // a margin of 100 % or more has no price: the row keeps its own
        p_([&] { working_ = price->toDouble(); });
        vatStepOnWorkingPrice();
        p_([&] { writePrice(sales(u"LI10_PREZZO"), working_); });
        roundingStep();
    }

    // Lists without a default mark-up: every intermediate value goes through the price column.
    void priceByMarkupThroughColumn() {
        rt::Decimal base, pct;
        bool margin = true;
        p_([&] { base = decimalOf(purchase(u"PREZZO_NETTO").Value()); });
        p_([&] { pct = decimalOf(sales(u"LI10_PERRICDELTA").Value()); });
        p_([&] { margin = !rawEqualsZero(markupMethod()); });
        if (margin && !pricing::marginOnPrice(base, pct))
            return; // a margin of 100 % or more has no price: the row keeps its own
        p_([&] { writeDecimal(sales(u"LI10_PREZZO"), base); });
        p_([&] {
            const rt::Decimal current = decimalOf(sales(u"LI10_PREZZO").Value());
            writeDecimal(sales(u"LI10_PREZZO"), *pricing::priceByMarkup(current, pct, margin));
        });
        vatStepOnPriceColumn();
        p_([&] { working_ = decimalOf(sales(u"LI10_PREZZO").Value()).toDouble(); });
        roundingStep();
    }

    void applyZeroMarkupMode() {
        std::int64_t mode = 0;
        p_([&] { mode = decimalOf(parameter(u"MG44_INDMODRICZERO")).toInt64(); });
        switch (mode) {
        case 1:
            p_([&] { working_ = decimalOf(purchase(u"LI10_PREZZO").Value()).toDouble(); });
            for (const char16_t* column : CopiedColumns)
                p_([&] { sales(column).setValue(NzDec(purchase(column).Value())); });
            break;
        case 2:
            netPriceWithoutDiscounts(u"LI10_PREZZO");
            break;
        case 3:
            netPriceWithoutDiscounts(u"PREZZO_NETTO");
            break;
        default:
            return; // the row keeps its price
        }
        vatStepOnWorkingPrice();
        p_([&] { writePrice(sales(u"LI10_PREZZO"), working_); });
        roundingStep();
    }

    // The net price of a purchase price with no discount or surcharge, in the purchase row's
    // currency, as the working price and the sales row's price.
    void netPriceWithoutDiscounts(const char16_t* grossColumn) {
        const auto calculator = [&]() -> host::NetPriceCalculator& {
            return objectOf(w_.Gcls_NetPrice);
        };
        const rt::Variant zero(std::int16_t(0));
        p_([&] { setCalculatorCurrencyFromPurchase(); });
        p_([&] { calculator().setGrossPrice(NzDec(purchase(grossColumn).Value())); });
        for (int i = 1; i <= 6; ++i)
            p_([&] { calculator().setDiscount(i, zero); });
        p_([&] { calculator().setDiscountAmount(zero); });
        p_([&] { calculator().setSurcharge(1, zero); });
        p_([&] { calculator().setSurcharge(2, zero); });
        p_([&] { calculator().setSurchargeAmount(zero); });
        p_([&] { calculator().compute(); });
        p_([&] { working_ = rt::CDbl(calculator().netPrice()); });
        p_([&] { writePrice(sales(u"LI10_PREZZO"), working_); });
    }

    // Whether VAT goes out or in: the sales list's flag against its base purchase list's.
    pricing::VatStep vatStep() {
        rt::Decimal salesFlag;
        std::optional<rt::Decimal> purchaseFlag;
        p_([&] { salesFlag = decimalOf(parameter(u"MG44_FLGIVACOMPR")); });
        p_([&] { purchaseFlag = basePurchaseListFlag(); });
        if (!purchaseFlag)
            return pricing::VatStep::None;
        return pricing::vatStepBetween(*purchaseFlag, salesFlag);
    }

    // MG44_FLGIVACOMPR of the base purchase list's parameter row; the purchase parameter set
    // is left on its first row.
    std::optional<rt::Decimal> basePurchaseListFlag() {
        host::Recordset& parameters = purchaseParameters();
        std::optional<rt::Decimal> flag;
        const rt::Decimal list = rt::CDec(baseList_);
        for (parameters.MoveFirst(); !parameters.IsEOF(); parameters.MoveNext()) {
            if (decimalOf(parameters.Fields(u"MG44_NUMLIST"_qs).Value()) == list) {
                flag = decimalOf(parameters.Fields(u"MG44_FLGIVACOMPR"_qs).Value());
                break;
            }
        }
        parameters.MoveFirst();
        return flag;
    }

    // The article's VAT rate and rounding bracket are the same for every row of a pass: each is
    // asked once, when a row first needs it (a failing look-up is reported once, not per row).
    std::int16_t articleVat() {
        if (!vat_)
            vat_ = w_.GetAliquotaIvaArticolo();
        return *vat_;
    }
    rt::Variant articleBracket() {
        if (!bracket_)
            bracket_ = w_.GetScaglione(NzStr(objectOf(w_.TXT_CODART).text()));
        return *bracket_;
    }

    void vatStepOnWorkingPrice() {
        switch (vatStep()) {
        case pricing::VatStep::Remove:
            p_([&] { working_ = pricing::removeVat(working_, articleVat()); });
            break;
        case pricing::VatStep::Add:
            p_([&] { working_ = pricing::addVat(working_, articleVat()); });
            break;
        case pricing::VatStep::None:
            break;
        }
    }

    void vatStepOnPriceColumn() {
        const pricing::VatStep step = vatStep();
        if (step == pricing::VatStep::None)
            return;
        p_([&] {
            const rt::Decimal price = decimalOf(sales(u"LI10_PREZZO").Value());
            const std::int16_t vat = articleVat();
            writeDecimal(sales(u"LI10_PREZZO"), step == pricing::VatStep::Remove
                                                    ? pricing::removeVat(price, vat)
                                                    : pricing::addVat(price, vat));
        });
    }

    // The list's rounding: none, by the article's bracket or by the list's. Only the price
    // column gets the rounded value; the working price keeps the unrounded one.
    void roundingStep() {
        std::int64_t mode = -1;
        p_([&] { mode = decimalOf(parameter(u"MG44_INDARRPREZZO")).toInt64(); });
        rt::Variant bracket;
        switch (mode) {
        case 0:
            p_([&] { sales(u"LI10_INDARROT").setValue(std::int16_t(0)); });
            p_([&] { sales(u"LI10_SCAGL_MG02").setValue(rt::Variant::null()); });
            return;
        case 1:
            p_([&] { bracket = articleBracket(); });
            if (NzStr(bracket).isEmpty())
                return;
            p_([&] { sales(u"LI10_INDARROT").setValue(std::int16_t(1)); });
            p_([&] { sales(u"LI10_SCAGL_MG02").setValue(bracket); });
            break;
        case 2:
            if (NzStr(parameter(u"MG44_SCAGL_MG02")).isEmpty())
                return;
            p_([&] { sales(u"LI10_INDARROT").setValue(std::int16_t(1)); });
            p_([&] { sales(u"LI10_SCAGL_MG02").setValue(NzStr(parameter(u"MG44_SCAGL_MG02"))); });
            p_([&] { bracket = parameter(u"MG44_SCAGL_MG02"); });
            break;
        default:
            return;
        }
        p_([&] {
            const double rounded =
                objectOf(w_.Gcls_Rounding)
                    .round(working_, rt::CInt(bracket), NzStr(parameter(u"MG44_VALUTA_CG08")));
            writePrice(sales(u"LI10_PREZZO"), rounded);
        });
    }

    // The row goes to its working table and, through UpdateRecord, to the stored price lists.
    void saveRow() {
        QString side;
        p_([&] { side = w_.CurrentSide; });
        p_([&] { sales_.Update(); });
        p_([&] { w_.CurrentSide = QStringLiteral("VEN"); });
        p_([&] { w_.UpdateRecord(sales_); });
        p_([&] { w_.CurrentSide = side; });
    }

    FRMMG_PREZZOLAMPO& w_;
    Procedure& p_;
    host::Recordset& sales_;
    QString baseList_;
    // The working price, carried from step to step of a row.
    double working_ = 0;
    std::optional<std::int16_t> vat_;
    std::optional<rt::Variant> bracket_;
};

} // namespace

void FRMMG_PREZZOLAMPO::RicalcolaPrezzi(const rt::Variant& SoloRigaCorrente) {
    Procedure p = Procedure::ignoringErrors(QStringLiteral("RicalcolaPrezzi"));
    // Kept for the whole pass: events let run below must not take the rows away mid-pass.
    const std::shared_ptr<host::Recordset> salesRows = Rst_RecSet_LISVEN;
    bool ready = false;
    p([&] { ready = salesRows && standsOnRow(Rst_RecSet_LISACQ) && standsOnRow(salesRows); });
    if (!ready)
        return;
    const bool onlyCurrentRow = onlyCurrentRowRequested(SoloRigaCorrente);

    p([&] { host::LockWindowUpdate(this); });
    p([&] { Gbol_Busy = true; });
    p([&] { objectOf(GRD_LISACQ).setRecordset(nullptr); });
    p([&] { objectOf(GRD_LISVEN).setRecordset(nullptr); });
    p([&] { Gbol_Busy = false; });
    p([&] { host::DoEvents(); });

    host::Recordset& sales = *salesRows;
    if (!onlyCurrentRow)
        p([&] { sales.MoveFirst(); });
    {
        SalesPricing pricing(*this, p, sales);
        const FileCommitGroup commitTogether(Gcon_Connect);
        // The working rows' writes wait for the end of the pass and leave in one round trip;
        // nothing reads the working tables back meanwhile.
        const host::HeldWrites writeTogether(Gcon_Connect.get());
        for (;;) {
            bool atEnd = true;
            p([&] { atEnd = sales.IsEOF(); });
            if (atEnd)
                break;
            pricing.priceCurrentRow();
            if (onlyCurrentRow || !p([&] { sales.MoveNext(); }))
                break; // a cursor that cannot move would price the same row forever
        }
    }
    if (!onlyCurrentRow)
        p([&] { sales.MoveFirst(); });

    p([&] { Gbol_Busy = true; });
    p([&] { objectOf(GRD_LISVEN).setRecordset(Rst_RecSet_LISVEN); });
    p([&] { objectOf(GRD_LISACQ).setRecordset(Rst_RecSet_LISACQ); });
    p([&] { Gbol_Busy = false; });
    p([&] { host::LockWindowUpdate(nullptr); });
}

void FRMMG_PREZZOLAMPO::CMD_RICALCOLATUTTI_ButtonClick() {
    Procedure p(*this, QStringLiteral("CMD_RICALCOLATUTTI_ButtonClick"));
    p([&] { RowsModified = true; });
    p([&] { RicalcolaPrezzi(); });
}

rt::Variant FRMMG_PREZZOLAMPO::GetScaglione(const QString& article) {
    Procedure p(*this, QStringLiteral("GetScaglione"));
    rt::Variant result;
    bool blank = false;
    p([&] { blank = NzStr(article).isEmpty(); });
    if (blank)
        return QString();
    std::shared_ptr<host::Recordset> rs;
    p([&] {
        rs = objectOf(Gcon_Connect)
                 .Execute(u"SELECT MG66_SCAGL_MG02 FROM MG66_ANAGRART WHERE MG66_DITTA_CG18 ="_qs +
                          Gstr_Ditta + u" AND MG66_CODART ="_qs + host::quotedSqlText(article) +
                          u" AND MG66_FLGARRPRZ = 1"_qs);
    });
    p([&] {
        if (objectOf(rs).RecordCount() == 1) {
            result = NzStr(rs->Fields(u"MG66_SCAGL_MG02"_qs).Value());
            rs->Close();
        }
    });
    return result;
}

std::int16_t FRMMG_PREZZOLAMPO::GetAliquotaIvaArticolo() {
    Procedure p(*this, QStringLiteral("GetAliquotaIvaArticolo"));
    std::int16_t result = 0;
    std::shared_ptr<host::Recordset> rs;
    p([&] {
        rs = objectOf(Gcon_Connect)
                 .Execute(u"SELECT CG28_PERCIVA FROM MG66_ANAGRART"_qs +
                          u" INNER JOIN CG28_TABCODIVA ON MG66_ALIVA_CG28 = CG28_CODICE"_qs +
                          u" WHERE MG66_DITTA_CG18 = "_qs + Gstr_Ditta + u" AND MG66_CODART ="_qs +
                          host::quotedSqlText(NzStr(objectOf(TXT_CODART).text())));
    });
    p([&] {
        if (objectOf(rs).RecordCount() > 0)
            result = rt::CInt(NzDec(rs->Fields(u"CG28_PERCIVA"_qs).Value()));
    });
    return result;
}
