// Header fields and validity dates: the article, its option and the two validity periods,
// their validation, the loading once the header is complete, "&Nuovo", and the dates a price
// list proposes.
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "form/validity_dates.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/controls/window_controls.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/article_lookup.h"
#include "host/services/log_service.h"
#include "host/window/window_support.h"
#include "runtime/conversions.h"
#include "storage/form_utilities.h"

#include <optional>

namespace {

const QString InconsistentDatesMessage = QStringLiteral("Le date di validità non sono corrette!");
const QString Attenzione = QStringLiteral("Attenzione");

bool hasText(host::FieldControl* field) {
    return !objectOf(field).text().isEmpty();
}

// Closes a recordset that is open and releases it.
void closeAndRelease(std::shared_ptr<host::Recordset>& rs) {
    if (!rs)
        return;
    if (rs->State() == host::adStateOpen)
        rs->Close();
    rs.reset();
}

// MG44_FLGVENACQ as a side: 0 sales, 1 purchase, nullopt for any other value.
std::optional<int> sideOf(const rt::Variant& flag) {
    if (flag.isNull() || !rt::IsNumeric(flag))
        return std::nullopt;
    const double side = rt::CDbl(flag);
    if (side == 0)
        return 0;
    if (side == 1)
        return 1;
    return std::nullopt;
}

} // namespace

// ---- Validation ----

bool FRMMG_PREZZOLAMPO::KeyValid() {
    Procedure p(*this, QStringLiteral("KeyValid"));
    bool ok = false;
    bool result = false;
    // Every condition is evaluated, none short-circuits the others.
    p([&] {
        const bool typed = !NzStr(objectOf(TXT_CODART).text()).isEmpty();
        const bool valid = objectOf(TXT_CODART).validContent();
        ok = typed && valid;
    });
    bool optionEnabled = false;
    p([&] { optionEnabled = objectOf(TXT_OPZIONE).isEnabled(); });
    if (optionEnabled)
        p([&] {
            const bool valid = objectOf(TXT_OPZIONE).validContent();
            ok = ok && valid;
        });
    const auto requireDate = [&](bool required, host::TxtEditDate* date) {
        if (!required)
            return;
        p([&] {
            const bool typed = hasText(date);
            const bool valid = objectOf(date).validContent();
            ok = ok && typed && valid;
        });
    };
    requireDate(AcqStartDateRequired, TXT_DADATA_ACQ);
    requireDate(AcqEndDateRequired, TXT_ADATA_ACQ);
    requireDate(VenStartDateRequired, TXT_DADATA_VEN);
    requireDate(VenEndDateRequired, TXT_ADATA_VEN);
    p([&] {
        const bool datesValid = DAtaValid();
        result = ok && datesValid;
    });
    return result;
}

bool FRMMG_PREZZOLAMPO::DAtaValid() {
    Procedure p(*this, QStringLiteral("DAtaValid"));
    bool result = false;
    p([&] { result = true; });
    // The texts are checked to be dates only when all four are filled.
    p([&] {
        const QList<host::TxtEditDate*> dates{TXT_DADATA_ACQ, TXT_ADATA_ACQ, TXT_DADATA_VEN,
                                              TXT_ADATA_VEN};
        bool allTyped = true;
        for (host::TxtEditDate* date : dates)
            allTyped = allTyped && hasText(date);
        if (!allTyped)
            return;
        for (host::TxtEditDate* date : dates) {
            if (!rt::IsDate(objectOf(date).text())) {
                result = false;
                p.leave();
                return;
            }
        }
    });
    // An end date earlier than its start date; equal dates are valid.
    const auto checkPeriod = [&](host::TxtEditDate* start, host::TxtEditDate* end) {
        p([&] {
            if (hasText(start) && hasText(end) &&
                rt::CDate(objectOf(end).text()) < rt::CDate(objectOf(start).text()))
                result = false;
        });
    };
    checkPeriod(TXT_DADATA_ACQ, TXT_ADATA_ACQ);
    checkPeriod(TXT_DADATA_VEN, TXT_ADATA_VEN);
    return result;
}

// ---- The header's reaction: grids and recalculation follow KeyValid, then the loading ----

void FRMMG_PREZZOLAMPO::enableGridsByKey(Procedure& p) {
    p([&] { objectOf(GRD_LISACQ).setEnabled(KeyValid()); });
    p([&] { objectOf(GRD_LISVEN).setEnabled(KeyValid()); });
}

void FRMMG_PREZZOLAMPO::enableRecalculationByKey(Procedure& p) {
    p([&] { objectOf(CMD_RICALCOLATUTTI).setEnabled(KeyValid()); });
}

bool FRMMG_PREZZOLAMPO::setupWhenKeyValid(Procedure& p) {
    bool complete = false;
    p([&] { complete = KeyValid(); });
    if (complete)
        p([&] { Setup(); });
    return complete;
}

void FRMMG_PREZZOLAMPO::headerReaction(Procedure& p) {
    enableGridsByKey(p);
    enableRecalculationByKey(p);
    setupWhenKeyValid(p);
}

// ---- Header events ----

void FRMMG_PREZZOLAMPO::FME_TESTATA_ChangeStatus(std::int32_t /*fenm_status*/,
                                                 std::int32_t /*fenm_reason*/) {
    if (Gbol_Busy)
        return;
    Procedure p(*this, QStringLiteral("FME_TESTATA_ChangeStatus"));
    enableGridsByKey(p);
    enableRecalculationByKey(p);
    bool complete = false;
    p([&] { complete = KeyValid(); });
    if (!complete)
        return;
    p([&] { Setup(); });
    const auto putArticle = [&](const std::shared_ptr<host::Recordset>& rows) {
        p([&] {
            objectOf(rows)
                .Fields(QStringLiteral("LI10_CODART_MG66"))
                .setValue(rt::Trim(objectOf(TXT_CODART).text()));
        });
    };
    putArticle(Rst_RecSet_LISACQ);
    putArticle(Rst_RecSet_LISVEN);
    p([&] { host::DoEvents(); });
    p([&] { UpdateRecord(objectOf(Rst_RecSet_LISACQ)); });
    p([&] { host::DoEvents(); });
    bool inserted = false;
    p([&] { inserted = RowsInserted; });
    if (inserted)
        p([&] { RicalcolaPrezzi(); });
    p([&] { RowsInserted = false; });
}

void FRMMG_PREZZOLAMPO::TXT_CODART_AfterItem() {
    if (Gbol_Busy)
        return;
    Procedure p(*this, QStringLiteral("TXT_CODART_AfterItem"));
    // An article with options waits for its option's AfterItem.
    bool withoutOptions = false;
    p([&] { withoutOptions = !objectOf(TXT_OPZIONE).isEnabled(); });
    if (withoutOptions)
        headerReaction(p);
}

void FRMMG_PREZZOLAMPO::TXT_OPZIONE_AfterItem() {
    if (Gbol_Busy)
        return;
    Procedure p(*this, QStringLiteral("TXT_OPZIONE_AfterItem"));
    headerReaction(p);
}

// ---- Refusals: what a field cannot hold is said at once, and the field keeps the focus ----

bool FRMMG_PREZZOLAMPO::refuseWrongContent(Procedure& p, host::FieldControl* field, bool& cancel) {
    QString refusal;
    p([&] { refusal = objectOf(field).refusal(); });
    // An article with options has its prices per option: it cannot go without one.
    if (field == TXT_OPZIONE)
        p([&] {
            const host::TXT_EDITVARIANTE& option = objectOf(TXT_OPZIONE);
            if (refusal.isEmpty() && rt::Trim(option.text()).isEmpty() && !option.validContent())
                refusal = QStringLiteral("L'articolo \"%1\" ha varianti: indicare la variante!")
                              .arg(option.article());
        });
    if (refusal.isEmpty())
        return false;
    p([&] { cancel = true; });
    p([&] { objectOf(Gcls_Log).message(refusal, host::vbExclamation, Attenzione); });
    return true;
}

void FRMMG_PREZZOLAMPO::TXT_CODART_Validate(bool& cancel) {
    if (Gbol_Busy)
        return;
    Procedure p(*this, QStringLiteral("TXT_CODART_Validate"));
    refuseWrongContent(p, TXT_CODART, cancel);
}

void FRMMG_PREZZOLAMPO::TXT_OPZIONE_Validate(bool& cancel) {
    if (Gbol_Busy)
        return;
    Procedure p(*this, QStringLiteral("TXT_OPZIONE_Validate"));
    refuseWrongContent(p, TXT_OPZIONE, cancel);
}

void FRMMG_PREZZOLAMPO::enterCalledArticle(Procedure& p, const QString& code) {
    bool accepted = false;
    p([&] { accepted = objectOf(TXT_CODART).enterText(code); });
    // Once accepted, the caller's article cannot change; a refused one waits to be corrected.
    if (accepted)
        p([&] { objectOf(TXT_CODART).setEnabled(false); });
}

// ---- Look-up and decoding ----

void FRMMG_PREZZOLAMPO::TXT_CODART_StartLookup(QString& query, rt::Variant& keyColumn,
                                               QString& title, QString& connectionString) {
    if (Gbol_Busy)
        return;
    Procedure p(*this, QStringLiteral("TXT_CODART_StartLookup"));
    p([&] { objectOf(Gcls_ArticleLookup).prepare(Gstr_Ditta); });
    p([&] { query = objectOf(Gcls_ArticleLookup).query(); });
    p([&] { keyColumn = objectOf(Gcls_ArticleLookup).keyColumn(); });
    p([&] { title = objectOf(Gcls_ArticleLookup).title(); });
    p([&] { connectionString = Gstr_Connect; });
    p([&] {
        objectOf(TXT_CODART).setLookupValue(objectOf(Gcls_ArticleLookup).descriptionColumn());
    });
}

void FRMMG_PREZZOLAMPO::TXT_OPZIONE_StartDecode(QList<QPair<QWidget*, QString>>& targets,
                                                QString& connectionString) {
    if (Gbol_Busy)
        return;
    Procedure p(*this, QStringLiteral("TXT_OPZIONE_StartDecode"));
    // The option's description is shown in the article's description box.
    p([&] {
        targets = {qMakePair(static_cast<QWidget*>(TXT_DESCART), QStringLiteral("MG87_DESCART"))};
    });
    p([&] { connectionString = Gstr_Connect; });
}

// ---- Date fields ----

void FRMMG_PREZZOLAMPO::dateValidate(const QString& procedure, host::TxtEditDate* field,
                                     bool& cancel) {
    if (Gbol_Busy)
        return;
    Procedure p(*this, procedure);
    // A text that is no date never reaches the comparison of the dates.
    if (refuseWrongContent(p, field, cancel))
        return;
    bool valid = true;
    p([&] { valid = DAtaValid(); });
    if (valid)
        return;
    p([&] {
        objectOf(Gcls_Log).message(InconsistentDatesMessage, host::vbExclamation, Attenzione);
    });
    p([&] { cancel = true; });
}

void FRMMG_PREZZOLAMPO::dateAfterItem(const QString& procedure, host::KRX_QGRID* grid) {
    if (Gbol_Busy)
        return;
    Procedure p(*this, procedure);
    enableGridsByKey(p);
    bool gridEnabled = false;
    p([&] { gridEnabled = objectOf(grid).isEnabled(); });
    if (gridEnabled) {
        Procedure ignoring = Procedure::ignoringErrors(procedure);
        ignoring([&] { objectOf(grid).setFocus(); });
    }
    enableRecalculationByKey(p);
    if (setupWhenKeyValid(p))
        p([&] { host::DoEvents(); });
}

void FRMMG_PREZZOLAMPO::TXT_DADATA_ACQ_Validate(bool& cancel) {
    dateValidate(QStringLiteral("TXT_DADATA_ACQ_Validate"), TXT_DADATA_ACQ, cancel);
}
void FRMMG_PREZZOLAMPO::TXT_ADATA_ACQ_Validate(bool& cancel) {
    dateValidate(QStringLiteral("TXT_ADATA_ACQ_Validate"), TXT_ADATA_ACQ, cancel);
}
void FRMMG_PREZZOLAMPO::TXT_DADATA_VEN_Validate(bool& cancel) {
    dateValidate(QStringLiteral("TXT_DADATA_VEN_Validate"), TXT_DADATA_VEN, cancel);
}
void FRMMG_PREZZOLAMPO::TXT_ADATA_VEN_Validate(bool& cancel) {
    dateValidate(QStringLiteral("TXT_ADATA_VEN_Validate"), TXT_ADATA_VEN, cancel);
}

void FRMMG_PREZZOLAMPO::TXT_DADATA_ACQ_AfterItem() {
    dateAfterItem(QStringLiteral("TXT_DADATA_ACQ_AfterItem"), GRD_LISACQ);
}
void FRMMG_PREZZOLAMPO::TXT_ADATA_ACQ_AfterItem() {
    dateAfterItem(QStringLiteral("TXT_ADATA_ACQ_AfterItem"), GRD_LISACQ);
}
void FRMMG_PREZZOLAMPO::TXT_DADATA_VEN_AfterItem() {
    dateAfterItem(QStringLiteral("TXT_DADATA_VEN_AfterItem"), GRD_LISVEN);
}
void FRMMG_PREZZOLAMPO::TXT_ADATA_VEN_AfterItem() {
    dateAfterItem(QStringLiteral("TXT_ADATA_VEN_AfterItem"), GRD_LISVEN);
}

// Entering a date field makes its side the current one.
void FRMMG_PREZZOLAMPO::TXT_DADATA_ACQ_Entered() {
    if (!Gbol_Busy)
        CurrentSide = QStringLiteral("ACQ");
}
void FRMMG_PREZZOLAMPO::TXT_ADATA_ACQ_Entered() {
    if (!Gbol_Busy)
        CurrentSide = QStringLiteral("ACQ");
}
void FRMMG_PREZZOLAMPO::TXT_DADATA_VEN_Entered() {
    if (!Gbol_Busy)
        CurrentSide = QStringLiteral("VEN");
}
void FRMMG_PREZZOLAMPO::TXT_ADATA_VEN_Entered() {
    if (!Gbol_Busy)
        CurrentSide = QStringLiteral("VEN");
}

// ---- Emptying the window, date fields, header lock ----

void FRMMG_PREZZOLAMPO::Reinizializza() {
    Procedure p(*this, QStringLiteral("Reinizializza"));
    // 1.
    for (host::KRX_COMBO* combo : {CBO_DADATA_ACQ, CBO_ADATA_ACQ, CBO_DADATA_VEN, CBO_ADATA_VEN}) {
        p([&] { objectOf(combo).setVisible(false); });
        p([&] { objectOf(combo).setEnabled(false); });
    }
    // 2. Purchase grid first.
    for (host::KRX_QGRID* grid : {GRD_LISACQ, GRD_LISVEN}) {
        p([&] { Gbol_Busy = true; });
        p([&] { objectOf(grid).setRecordset(nullptr); });
        p([&] { Gbol_Busy = false; });
        p([&] { objectOf(grid).setEnabled(false); });
    }
    // 3.
    p([&] { host::DoEvents(); });
    // 4.
    for (host::FieldControl* field :
         std::initializer_list<host::FieldControl*>{TXT_CODART, TXT_OPZIONE}) {
        p([&] { objectOf(field).setEnabled(true); });
        p([&] { objectOf(field).setText(QString()); });
    }
    p([&] { objectOf(TXT_DESCART).setText(QString()); });
    for (host::TxtEditDate* date : {TXT_DADATA_ACQ, TXT_ADATA_ACQ, TXT_DADATA_VEN, TXT_ADATA_VEN}) {
        p([&] { objectOf(date).setEnabled(true); });
        p([&] { objectOf(date).setText(QString()); });
    }
    p([&] { objectOf(CMD_RICALCOLATUTTI).setEnabled(false); });
    p([&] { objectOf(TXT_CODART).setFocus(); });
    // 5. Unsaved edits go with their working set.
    p([&] { closeAndRelease(Rst_ParametriACQ); });
    p([&] { closeAndRelease(Rst_ParametriVEN); });
    p([&] { closeAndRelease(Rst_RecSet_LISACQ); });
    p([&] { closeAndRelease(Rst_RecSet_LISVEN); });
    // 6. At load the window's load reads the parameters itself. Without parameter sets the
    // window cannot go on: it closes, as a window whose load could not set it up does.
    bool activated = false;
    p([&] { activated = Gbol_Activated; });
    bool setUp = true;
    if (activated)
        p([&] { setUp = SetupGrids(); });
    if (!setUp) {
        p([&] { unloadForm(); });
        return;
    }
    // 7.
    p([&] { RowsModified = false; });
}

// A date every list of a side proposes shows the combo "Da Configurazione" over its field.
void FRMMG_PREZZOLAMPO::SetupDateValidità() {
    Procedure p(*this, QStringLiteral("SetupDateValidità"));
    const auto prepare = [&](host::TxtEditDate* date, bool required, host::KRX_COMBO* combo) {
        p([&] { objectOf(date).setEnabled(required); });
        p([&] { objectOf(combo).setLocked(true); });
        p([&] { objectOf(combo).setLeftTwips(objectOf(date).leftTwips()); });
        p([&] { objectOf(combo).setVisible(!objectOf(date).isEnabled()); });
    };
    prepare(TXT_DADATA_ACQ, AcqStartDateRequired, CBO_DADATA_ACQ);
    prepare(TXT_ADATA_ACQ, AcqEndDateRequired, CBO_ADATA_ACQ);
    prepare(TXT_DADATA_VEN, VenStartDateRequired, CBO_DADATA_VEN);
    prepare(TXT_ADATA_VEN, VenEndDateRequired, CBO_ADATA_VEN);
}

void FRMMG_PREZZOLAMPO::DisabilitaTestata() {
    Procedure p(*this, QStringLiteral("DisabilitaTestata"));
    p([&] { objectOf(TXT_CODART).setEnabled(false); });
    p([&] { objectOf(TXT_OPZIONE).setEnabled(false); });
}

// ---- Proposed validity dates of a list ----

std::optional<QString> FRMMG_PREZZOLAMPO::sideHeaderDate(host::Recordset& parameterRow,
                                                         host::TxtEditDate* salesField,
                                                         host::TxtEditDate* purchaseField) {
    const std::optional<int> side =
        sideOf(parameterRow.Fields(QStringLiteral("MG44_FLGVENACQ")).Value());
    if (!side.has_value())
        return std::nullopt;
    return rt::Trim(objectOf(*side == 0 ? salesField : purchaseField).text());
}

QString FRMMG_PREZZOLAMPO::GetDateInizio(host::Recordset& parameterRow) {
    Procedure p(*this, QStringLiteral("GetDateInizio"));
    QString result;
    p([&] { result = proposedStartDate(parameterRow); });
    return result;
}

QString FRMMG_PREZZOLAMPO::GetDateFine(host::Recordset& parameterRow) {
    Procedure p(*this, QStringLiteral("GetDateFine"));
    QString result;
    p([&] { result = proposedEndDate(parameterRow); });
    return result;
}

QString FRMMG_PREZZOLAMPO::proposedStartDate(host::Recordset& parameterRow) {
    const int indicator = validity::proposalIndicator(
        parameterRow.Fields(QStringLiteral("MG44_INDPROPDATAINI")).Value());
    std::optional<QString> header;
    rt::Variant fixed;
    if (indicator == 0)
        header = sideHeaderDate(parameterRow, TXT_DADATA_VEN, TXT_DADATA_ACQ);
    if (indicator == 4)
        fixed = parameterRow.Fields(QStringLiteral("MG44_PROPDATAINI")).Value();
    return validity::proposedStartDate(indicator, header, fixed, rt::Today());
}

QString FRMMG_PREZZOLAMPO::proposedEndDate(host::Recordset& parameterRow) {
    const int indicator = validity::proposalIndicator(
        parameterRow.Fields(QStringLiteral("MG44_INDPROPDATAFINE")).Value());
    std::optional<QString> header;
    rt::Variant fixed;
    if (indicator == 0)
        header = sideHeaderDate(parameterRow, TXT_ADATA_VEN, TXT_ADATA_ACQ);
    if (indicator == 4)
        fixed = parameterRow.Fields(QStringLiteral("MG44_PROPDATAFINE")).Value();
    return validity::proposedEndDate(indicator, header, fixed, rt::Today());
}
