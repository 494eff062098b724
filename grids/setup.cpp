// Parameter-driven grid set-up: SetupGrids, IsPositive, ConfigurazioneListinoSpecifico, Setup.
// The price-list parameters (MG44_PARMAGLIST) decide which lists take part in quick creation,
// which grid columns are shown, which values each list asks for and which validity dates the
// user must type.
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/log_service.h"
#include "runtime/conversions.h"
#include "storage/form_utilities.h"

#include <array>

namespace {

const QString Attenzione = QStringLiteral("Attenzione");
const QString MessageLead =
    QStringLiteral(
        "Per poter gestire la Creazione Veloce Listini occorre definirne la gestione nei ") +
    QStringLiteral("\r\n");
const QString NoParametersMessage =
    MessageLead + QStringLiteral("\"Parametri di Magazzino\", scheda Listini.");
const QString NoSalesMessage =
    MessageLead + QStringLiteral("\"Parametri di Magazzino\", Listini di Vendita.");
const QString NoPurchaseMessage =
    MessageLead + QStringLiteral("\"Parametri di Magazzino\", Listini di Acquisto.");

constexpr std::array<const char*, 6> DiscountColumns = {
    "LI10_SC1PER", "LI10_SC2PER", "LI10_SC3PER", "LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER"};
constexpr int MaxDiscounts = 6;

void warn(FRMMG_PREZZOLAMPO& form, const QString& text) {
    objectOf(form.Gcls_Log).message(text, host::vbExclamation, Attenzione);
}

QString parameterQuery(const QString& company, const QString& sideCondition) {
    return QStringLiteral("SELECT * FROM MG44_PARMAGLIST ") +
           QStringLiteral(" WHERE MG44_DITTA_CG18 = ") + company + sideCondition +
           QStringLiteral(" AND MG44_FLGCREAZVELOCE = 1");
}

bool isEmptySet(host::Recordset& rs) {
    return rs.BOF() || rs.IsEOF();
}

bool isZero(const rt::Variant& value) {
    return rt::CDec(NzDec(value)).isZero();
}

rt::Variant valueOf(host::Recordset& rs, const char* name) {
    return rs.Fields(QString::fromLatin1(name)).Value();
}

} // namespace

bool FRMMG_PREZZOLAMPO::SetupGrids() {
    Procedure p(*this, QStringLiteral("SetupGrids"));
    bool result = false;
    std::shared_ptr<host::Recordset> all;

    // 1-4: both sides must have lists that take part in quick creation.
    p([&] { all = objectOf(Gcon_Connect).Execute(parameterQuery(Gstr_Ditta, {})); });
    // A query that failed, its error ignored, gave no parameters to set up with.
    if (!all)
        return result;
    const auto refuse = [&](const QString& text) {
        p([&] { warn(*this, text); });
        p([&] { objectOf(all).Close(); });
        p.leave();
    };
    bool refused = false;
    p([&] { refused = isEmptySet(objectOf(all)); });
    if (refused) {
        refuse(NoParametersMessage);
        return result;
    }
    p([&] { objectOf(all).setFilter(QStringLiteral("MG44_FLGVENACQ = 0")); });
    p([&] { refused = !(objectOf(all).RecordCount() > 0); });
    if (refused) {
        refuse(NoSalesMessage);
        return result;
    }
    p([&] { objectOf(all).setFilter(host::adFilterNone); });
    p([&] { objectOf(all).setFilter(QStringLiteral("MG44_FLGVENACQ = 1")); });
    p([&] { refused = !(objectOf(all).RecordCount() > 0); });
    if (refused) {
        refuse(NoPurchaseMessage);
        return result;
    }
    p([&] { result = true; });

    // 5-7: each side's parameter set, its required dates and its columns.
    const auto setUpSide = [&](std::shared_ptr<host::Recordset>& parameters,
                               const QString& sideCondition, const QString& emptyMessage,
                               bool& startRequired, bool& endRequired, host::KRX_QGRID* grid,
                               bool purchase) {
        p([&] {
            parameters = objectOf(Gcon_Connect).Execute(parameterQuery(Gstr_Ditta, sideCondition));
        });
        if (!parameters) {
            result = false;
            return;
        }
        bool empty = false;
        p([&] { empty = isEmptySet(objectOf(parameters)); });
        if (empty) {
            p([&] { warn(*this, emptyMessage); });
            p([&] { result = false; });
            return;
        }
        const auto requiredWhenTyped = [&](const char* indicator, bool& required) {
            p([&] { objectOf(parameters).setFilter(QString::fromLatin1(indicator) + " = 0"); });
            p([&] {
                if (!objectOf(parameters).IsEOF())
                    required = objectOf(parameters).RecordCount() >= 1;
            });
            p([&] { objectOf(parameters).setFilter(host::adFilterNone); });
        };
        requiredWhenTyped("MG44_INDPROPDATAINI", startRequired);
        requiredWhenTyped("MG44_INDPROPDATAFINE", endRequired);
        applyColumnRules(p, parameters, grid, purchase);
    };
    setUpSide(Rst_ParametriACQ, QStringLiteral(" AND MG44_FLGVENACQ = 1"), NoPurchaseMessage,
              AcqStartDateRequired, AcqEndDateRequired, GRD_LISACQ, true);
    setUpSide(Rst_ParametriVEN, QStringLiteral(" AND MG44_FLGVENACQ = 0"), NoSalesMessage,
              VenStartDateRequired, VenEndDateRequired, GRD_LISVEN, false);

    // 8.
    p([&] { SetupDateValidità(); });
    return result;
}

// A column stays visible on a side when at least one list of the side asks for it.
void FRMMG_PREZZOLAMPO::applyColumnRules(Procedure& p,
                                         const std::shared_ptr<host::Recordset>& parameters,
                                         host::KRX_QGRID* grid, bool purchase) {
    const auto hide = [&](const char* key) {
        p([&] { objectOf(grid).setColumnVisible(QString::fromLatin1(key), false); });
    };
    std::int16_t n = 0;
    p([&] { n = IsPositive(objectOf(parameters), QStringLiteral("MG44_FLGRICHPREZZO")); });
    if (n == 0)
        hide("LI10_PREZZO");

    p([&] { n = IsPositive(objectOf(parameters), QStringLiteral("MG44_NUMSCPERC")); });
    if (n >= 0 && n < MaxDiscounts)
        for (int i = n; i < MaxDiscounts; ++i)
            hide(DiscountColumns[static_cast<size_t>(i)]);

    p([&] { n = IsPositive(objectOf(parameters), QStringLiteral("MG44_FLGRICHSCIMP")); });
    if (n == 0)
        hide("LI10_SCIMP");

    p([&] { n = IsPositive(objectOf(parameters), QStringLiteral("MG44_NUMMAGPERC")); });
    if (n == 0) {
        hide("LI10_MAG1PER");
        hide("LI10_MAG2PER");
    } else if (n == 1) {
        hide("LI10_MAG2PER");
    }

    p([&] { n = IsPositive(objectOf(parameters), QStringLiteral("MG44_FLGRICHMAGIMP")); });
    if (n == 0)
        hide("LI10_MAGIMP");

    if (purchase)
        hide("LI10_PERRICDELTA");

    hide("LI10_PROVPER");
    bool withCommission = false;
    p([&] { objectOf(parameters).setFilter(QStringLiteral("MG44_PERCPROV <> 0")); });
    p([&] { withCommission = !objectOf(parameters).IsEOF(); });
    if (withCommission)
        p([&] { objectOf(grid).setColumnVisible(QStringLiteral("LI10_PROVPER"), true); });
    // Cleared whether or not a list has a commission: the loading walks the whole set.
    p([&] { objectOf(parameters).setFilter(host::adFilterNone); });
}

std::int16_t FRMMG_PREZZOLAMPO::IsPositive(host::Recordset& parameters, const QString& field) {
    Procedure p(*this, QStringLiteral("IsPositive"));
    std::int16_t result = 0;
    const bool countField =
        field == QLatin1String("MG44_NUMSCPERC") || field == QLatin1String("MG44_NUMMAGPERC");
    if (!countField) {
        p([&] { parameters.setFilter(field + QStringLiteral("=1")); });
        p([&] {
            if (!parameters.IsEOF())
                result = 1;
        });
    } else {
        p([&] { parameters.setFilter(field + QStringLiteral(">=1")); });
        p([&] {
            if (!parameters.IsEOF())
                parameters.MoveFirst();
        });
        bool more = false;
        p([&] { more = !parameters.IsEOF(); });
        while (more && !p.left()) {
            p([&] {
                const std::int16_t value = rt::CInt(parameters.Fields(field).Value());
                if (result < value)
                    result = value;
            });
            p([&] { parameters.MoveNext(); });
            more = false;
            p([&] { more = !parameters.IsEOF(); });
        }
    }
    p([&] { parameters.setFilter(host::adFilterNone); });
    return result;
}

void FRMMG_PREZZOLAMPO::ConfigurazioneListinoSpecifico(host::Recordset& parameters,
                                                       host::Recordset& rows,
                                                       host::KRX_QGRID* /*grid*/) {
    Procedure p(*this, QStringLiteral("ConfigurazioneListinoSpecifico"));
    // 1. Only on a row of a list.
    bool onListRow = false;
    p([&] {
        onListRow = !rows.BOF() && !rows.IsEOF() && !NzStr(valueOf(rows, "LI10_NUMLIST")).isEmpty();
    });
    if (!onListRow)
        return;

    // 2. The list's parameters; the grid of the side the user works in.
    host::KRX_QGRID* grid = nullptr;
    p([&] { parameters.setFilter(host::adFilterNone); });
    p([&] {
        parameters.setFilter(QStringLiteral("MG44_NUMLIST = ") +
                             NzStr(valueOf(rows, "LI10_NUMLIST")));
    });
    p([&] { grid = CurrentSide == QLatin1String("ACQ") ? GRD_LISACQ : GRD_LISVEN; });

    const auto editable = [&](const char* key, bool on) {
        p([&] { objectOf(grid).setColumnEditable(QString::fromLatin1(key), on ? 1 : 0); });
    };
    const auto zero = [&](const char* key) {
        p([&] { rows.Fields(QString::fromLatin1(key)).setValue(rt::Variant(std::int16_t{0})); });
    };
    const auto readOnlyZero = [&](const char* key) {
        editable(key, false);
        zero(key);
    };

    // 3. Gross price.
    bool asked = false;
    p([&] { asked = !isZero(valueOf(parameters, "MG44_FLGRICHPREZZO")); });
    p([&] { CurrentListConfig.RichPrezzo = asked ? 1 : 0; });
    editable("LI10_PREZZO", asked);

    // 4. Percentage discounts.
    p([&] { CurrentListConfig.NumScPerc = rt::CInt(valueOf(parameters, "MG44_NUMSCPERC")); });
    const int discounts = CurrentListConfig.NumScPerc;
    if (discounts >= 0 && discounts <= MaxDiscounts) {
        for (int i = 0; i < MaxDiscounts; ++i) {
            const char* key = DiscountColumns[static_cast<size_t>(i)];
            if (i < discounts) {
                editable(key, true);
            } else {
                zero(key);
                editable(key, false);
            }
        }
    }

    // 5. Discount amount.
    p([&] { CurrentListConfig.RichScImp = rt::CInt(valueOf(parameters, "MG44_FLGRICHSCIMP")); });
    if (CurrentListConfig.RichScImp == 0)
        readOnlyZero("LI10_SCIMP");
    else
        editable("LI10_SCIMP", true);

    // 6. Percentage surcharges.
    p([&] { CurrentListConfig.NumMagPerc = rt::CInt(valueOf(parameters, "MG44_NUMMAGPERC")); });
    switch (CurrentListConfig.NumMagPerc) {
    case 0:
        readOnlyZero("LI10_MAG1PER");
        readOnlyZero("LI10_MAG2PER");
        break;
    case 1:
        editable("LI10_MAG1PER", true);
        readOnlyZero("LI10_MAG2PER");
        break;
    case 2:
        editable("LI10_MAG1PER", true);
        editable("LI10_MAG2PER", true);
        break;
    default:
        break;
    }

    // 7. Surcharge amount.
    p([&] { CurrentListConfig.RichMagImp = rt::CInt(valueOf(parameters, "MG44_FLGRICHMAGIMP")); });
    if (CurrentListConfig.RichMagImp == 0)
        readOnlyZero("LI10_MAGIMP");
    else
        editable("LI10_MAGIMP", true);

    // 8. Mark-up: asked on sales rows only.
    p([&] { CurrentListConfig.RichRicarico = 0; });
    if (CurrentSide.toUpper() == QLatin1String("ACQ")) {
        readOnlyZero("LI10_PERRICDELTA");
    } else {
        editable("LI10_PERRICDELTA", true);
        p([&] { CurrentListConfig.RichRicarico = 1; });
    }

    // 9. Commission.
    p([&] { asked = !isZero(valueOf(parameters, "MG44_PERCPROV")); });
    p([&] { CurrentListConfig.RichProvv = asked ? 1 : 0; });
    editable("LI10_PROVPER", asked);

    // 10-11.
    p([&] { objectOf(TXT_DESCLISTINO).setText(rt::CStr(valueOf(parameters, "MG44_DESCLIST"))); });
    p([&] { parameters.setFilter(host::adFilterNone); });
}

QString FRMMG_PREZZOLAMPO::headerOfSide(host::TxtEditDate* start, host::TxtEditDate* end) {
    return QStringList{NzStr(objectOf(TXT_CODART).text()), NzStr(objectOf(TXT_OPZIONE).text()),
                       rt::Trim(objectOf(start).text()), rt::Trim(objectOf(end).text())}
        .join(u'\x1f');
}

void FRMMG_PREZZOLAMPO::Setup() {
    Procedure p(*this, QStringLiteral("Setup"));
    p([&] { Gbol_Busy = true; });

    // 2-3: a side is loaded once the dates it requires are typed, and once per header: the
    // header's several events of one completion (the field's, the header frame's) find the
    // side loaded for the same article, option and period and leave its rows alone.
    const auto loadSide = [&](host::TxtEditDate* start, host::TxtEditDate* end, bool startRequired,
                              bool endRequired, void (FRMMG_PREZZOLAMPO::*load)(),
                              const QString& side, const std::shared_ptr<host::Recordset>& rows,
                              QString& loadedFor) {
        bool complete = false;
        QString header;
        p([&] {
            complete = (!objectOf(start).text().isEmpty() || !startRequired) &&
                       (!objectOf(end).text().isEmpty() || !endRequired);
            header = headerOfSide(start, end);
        });
        if (!complete || (rows && header == loadedFor))
            return;
        p([&] { objectOf(start).setEnabled(false); });
        p([&] { objectOf(end).setEnabled(false); });
        p([&] { (this->*load)(); });
        p([&] { UpdateRecords(side); });
        p([&] { loadedFor = rows ? header : QString(); });
    };
    loadSide(TXT_DADATA_VEN, TXT_ADATA_VEN, VenStartDateRequired, VenEndDateRequired,
             &FRMMG_PREZZOLAMPO::SetupLisVen, QStringLiteral("VEN"), Rst_RecSet_LISVEN,
             salesLoadedFor_);
    loadSide(TXT_DADATA_ACQ, TXT_ADATA_ACQ, AcqStartDateRequired, AcqEndDateRequired,
             &FRMMG_PREZZOLAMPO::SetupLisAcq, QStringLiteral("ACQ"), Rst_RecSet_LISACQ,
             purchaseLoadedFor_);

    // 4.
    p([&] { Gbol_Busy = false; });
    p([&] { SetupGridFocus(); });

    // 5. The purchase grid takes the focus when it can.
    bool purchaseEnabled = false;
    p([&] { purchaseEnabled = objectOf(GRD_LISACQ).isEnabled(); });
    if (purchaseEnabled) {
        p([&] { Gbol_Busy = true; });
        Procedure ignoring = Procedure::ignoringErrors(QStringLiteral("Setup"));
        ignoring([&] { objectOf(GRD_LISACQ).setFocus(); });
        p([&] { Gbol_Busy = false; });
    }

    // 6. The option's description is read again.
    bool withOption = false;
    p([&] { withOption = !NzStr(objectOf(TXT_OPZIONE).text()).isEmpty(); });
    if (withOption)
        p([&] { objectOf(TXT_OPZIONE).refresh(); });
}
