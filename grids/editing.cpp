// Grid editing and keyboard navigation: the events of both grids, which store every edited value
// in the side's working row and save it, and the Enter walk, which visits exactly the columns
// that each row's list asks for, purchase rows first, then the sales rows.
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/recordset.h"
#include "host/window/window_support.h"
#include "runtime/conversions.h"
#include "storage/form_utilities.h"

#include <algorithm>
#include <array>

namespace {

const QString Prezzo = QStringLiteral("LI10_PREZZO");
const QString ScImp = QStringLiteral("LI10_SCIMP");
const QString Mag1Per = QStringLiteral("LI10_MAG1PER");
const QString Mag2Per = QStringLiteral("LI10_MAG2PER");
const QString MagImp = QStringLiteral("LI10_MAGIMP");
const QString PerRicDelta = QStringLiteral("LI10_PERRICDELTA");
const QString ProvPer = QStringLiteral("LI10_PROVPER");
const QString ProvImp = QStringLiteral("LI10_PROVIMP");
const std::array<QString, 6> Discounts = {
    QStringLiteral("LI10_SC1PER"), QStringLiteral("LI10_SC2PER"), QStringLiteral("LI10_SC3PER"),
    QStringLiteral("LI10_SC4PER"), QStringLiteral("LI10_SC5PER"), QStringLiteral("LI10_SC6PER")};

// The entry columns in navigation order, with the commission amount the window stores too.
const std::array<QString, 14> EntryColumns = {
    Prezzo, Discounts[0], Discounts[1], Discounts[2], Discounts[3], Discounts[4], Discounts[5],
    ScImp,  Mag1Per,      Mag2Per,      MagImp,       PerRicDelta,  ProvPer,      ProvImp};

bool isEntryColumn(const QString& key) {
    return std::find(EntryColumns.begin(), EntryColumns.end(), key) != EntryColumns.end();
}

// 1..6 for LI10_SC1PER..LI10_SC6PER, 0 for any other key.
int discountNumber(const QString& key) {
    const auto at = std::find(Discounts.begin(), Discounts.end(), key);
    return at == Discounts.end() ? 0 : int(at - Discounts.begin()) + 1;
}

bool isAsked(const QString& key, const ListConfig& c) {
    if (const int k = discountNumber(key))
        return k < 6 ? c.NumScPerc >= k : c.NumScPerc == 6;
    if (key == Prezzo)
        return c.RichPrezzo == 1;
    if (key == ScImp)
        return c.RichScImp > 0;
    if (key == Mag1Per)
        return c.NumMagPerc > 0;
    if (key == Mag2Per)
        return c.NumMagPerc > 1;
    if (key == MagImp)
        return c.RichMagImp > 0;
    if (key == PerRicDelta)
        return c.RichRicarico > 0;
    if (key == ProvPer)
        return c.RichProvv > 0;
    return false;
}

// The groups the focus passes on to when a column is not asked, in order, by entry column.
enum Group {
    PriceGroup,
    DiscountGroup,
    DiscountAmountGroup,
    SurchargeGroup,
    SurchargeAmountGroup,
    MarkupGroup,
    CommissionGroup,
    NoGroup
};

Group groupOf(const QString& key) {
    if (key == Prezzo)
        return PriceGroup;
    if (discountNumber(key))
        return DiscountGroup;
    if (key == ScImp)
        return DiscountAmountGroup;
    if (key == Mag1Per || key == Mag2Per)
        return SurchargeGroup;
    if (key == MagImp)
        return SurchargeAmountGroup;
    if (key == PerRicDelta)
        return MarkupGroup;
    if (key == ProvPer)
        return CommissionGroup;
    return NoGroup;
}

// The entry column of the first asked group after the key's own; "" when none is asked.
QString firstAskedGroupAfter(const QString& key, const ListConfig& c) {
    const std::array<std::pair<Group, QString>, 6> groups = {{{DiscountGroup, Discounts[0]},
                                                              {DiscountAmountGroup, ScImp},
                                                              {SurchargeGroup, Mag1Per},
                                                              {SurchargeAmountGroup, MagImp},
                                                              {MarkupGroup, PerRicDelta},
                                                              {CommissionGroup, ProvPer}}};
    const Group own = groupOf(key);
    for (const auto& [group, entry] : groups)
        if (group > own && isAsked(entry, c))
            return entry;
    return {};
}

// The column Enter goes to from the key's, before the row's list is asked; "" for none.
QString successorOf(const QString& key, bool sales) {
    if (const int k = discountNumber(key))
        return k < 6 ? Discounts[size_t(k)] : ScImp;
    if (key == Prezzo)
        return Discounts[0];
    if (key == ScImp)
        return Mag1Per;
    if (key == Mag1Per)
        return Mag2Per;
    if (key == Mag2Per)
        return MagImp;
    if (key == MagImp)
        return sales ? PerRicDelta : ProvPer;
    if (key == PerRicDelta)
        return ProvPer;
    return {};
}

bool isPurchase(const QString& side) {
    return side.toUpper() == QLatin1String("ACQ");
}

// One grid with what belongs to its side.
struct GridSide {
    QString side;
    QString control;
    host::KRX_QGRID* grid;
    std::shared_ptr<host::Recordset>& rows;
    std::shared_ptr<host::Recordset>& parameters;
    bool sales;
};

GridSide purchaseGrid(FRMMG_PREZZOLAMPO& w) {
    return {QStringLiteral("ACQ"), QStringLiteral("GRD_LISACQ"), w.GRD_LISACQ,
            w.Rst_RecSet_LISACQ,   w.Rst_ParametriACQ,           false};
}

GridSide salesGrid(FRMMG_PREZZOLAMPO& w) {
    return {QStringLiteral("VEN"), QStringLiteral("GRD_LISVEN"), w.GRD_LISVEN,
            w.Rst_RecSet_LISVEN,   w.Rst_ParametriVEN,           true};
}

bool standsOnRow(const std::shared_ptr<host::Recordset>& rs) {
    return rs && !rs->BOF() && !rs->IsEOF();
}

void configureRow(FRMMG_PREZZOLAMPO& w, const GridSide& g) {
    w.ConfigurazioneListinoSpecifico(objectOf(g.parameters), objectOf(g.rows), g.grid);
}

void gridEntered(FRMMG_PREZZOLAMPO& w, const GridSide& g) {
    Procedure p(w, g.control + QStringLiteral("_Entered"));
    p([&] { w.CurrentSide = g.side; });
    if (w.Gbol_Busy)
        return;
    bool onRow = false;
    p([&] { onRow = standsOnRow(g.rows); });
    if (onRow)
        p([&] { configureRow(w, g); });
}

void gridKeyDown(FRMMG_PREZZOLAMPO& w, const GridSide& g, int& keyCode, int shift) {
    Procedure p(w, g.control + QStringLiteral("_KeyDown"));
    p([&] { w.CurrentSide = g.side; });
    if (shift != 0 || keyCode != 13)
        return; // left to the grid
    p([&] { host::DoEventsKeepingInput(); });
    p([&] { keyCode = 0; });
    p([&] { w.SpostaColAdestra(); });
}

void gridOnEditing(FRMMG_PREZZOLAMPO& w, const GridSide& g, const host::GridRow& row) {
    if (w.Gbol_Busy)
        return;
    Procedure p(w, g.control + QStringLiteral("_OnEditing"));
    bool onRow = false;
    p([&] { onRow = standsOnRow(g.rows); });
    if (!onRow)
        return;
    if (g.sales)
        p([&] { w.MarkupBeforeEdit = rt::CDbl(NzDec(g.rows->Fields(PerRicDelta).Value())); });
    p([&] { w.ValueBeforeEdit = row.value(objectOf(g.grid).currentColumnKey()); });
    if (w.CurrentSide != g.side)
        p([&] { configureRow(w, g); });
}

void gridOnEdited(FRMMG_PREZZOLAMPO& w, const GridSide& g, const host::GridRow& row) {
    if (w.Gbol_Busy)
        return;
    Procedure p(w, g.control + QStringLiteral("_OnEdited"));
    p([&] { w.CurrentSide = g.side; });
    QString key;
    p([&] { key = NzStr(objectOf(g.grid).currentColumnKey()); });
    if (!isEntryColumn(key))
        return;
    const auto typed = [&] { return rt::CDec(NzDec(row.value(key))); };
    p([&] {
        if (typed() != rt::CDec(NzDec(w.ValueBeforeEdit)))
            w.RowsModified = true;
    });
    // A cleared cell stores 0; the working table's column types are the only bounds.
    p([&] { objectOf(g.rows).Fields(key).setValue(NzDec(row.value(key))); });
    if (!g.sales) {
        p([&] { w.UpdateRecord(objectOf(g.rows)); });
        p([&] { w.RicalcolaSeUltimaColonna(); });
        return;
    }
    bool markupChanged = false;
    if (key == PerRicDelta)
        p([&] { markupChanged = rt::CDbl(typed()) != w.MarkupBeforeEdit; });
    if (markupChanged) {
        p([&] { w.RowsInserted = false; }); // a mark-up typed as 0 stays 0
        p([&] { w.RicalcolaPrezzi(rt::Variant(true)); });
        p([&] { w.RowsModified = true; });
    }
    p([&] { w.UpdateRecord(objectOf(g.rows)); });
}

void gridRowChanged(FRMMG_PREZZOLAMPO& w, const GridSide& g) {
    if (w.Gbol_Busy)
        return;
    Procedure p(w, g.control + QStringLiteral("_RowChanged"));
    bool onRow = false;
    p([&] { onRow = standsOnRow(g.rows); });
    if (onRow)
        p([&] { configureRow(w, g); });
}

// Steps of the focus changes the walk makes itself: no grid event answers them.
template <class Step> void withBusy(FRMMG_PREZZOLAMPO& w, Procedure& p, Step step) {
    p([&] { w.Gbol_Busy = true; });
    step();
    p([&] { w.Gbol_Busy = false; });
}

} // namespace

// ---- Grid events ----

void FRMMG_PREZZOLAMPO::GRD_LISACQ_Entered() {
    gridEntered(*this, purchaseGrid(*this));
}
void FRMMG_PREZZOLAMPO::GRD_LISACQ_KeyDown(int& KeyCode, int Shift) {
    gridKeyDown(*this, purchaseGrid(*this), KeyCode, Shift);
}
void FRMMG_PREZZOLAMPO::GRD_LISACQ_OnEditing(const host::GridRow& row) {
    gridOnEditing(*this, purchaseGrid(*this), row);
}
void FRMMG_PREZZOLAMPO::GRD_LISACQ_OnEdited(const host::GridRow& row) {
    gridOnEdited(*this, purchaseGrid(*this), row);
}
void FRMMG_PREZZOLAMPO::GRD_LISACQ_RowChanged() {
    gridRowChanged(*this, purchaseGrid(*this));
}
void FRMMG_PREZZOLAMPO::GRD_LISVEN_Entered() {
    gridEntered(*this, salesGrid(*this));
}
void FRMMG_PREZZOLAMPO::GRD_LISVEN_KeyDown(int& KeyCode, int Shift) {
    gridKeyDown(*this, salesGrid(*this), KeyCode, Shift);
}
void FRMMG_PREZZOLAMPO::GRD_LISVEN_OnEditing(const host::GridRow& row) {
    gridOnEditing(*this, salesGrid(*this), row);
}
void FRMMG_PREZZOLAMPO::GRD_LISVEN_OnEdited(const host::GridRow& row) {
    gridOnEdited(*this, salesGrid(*this), row);
}
void FRMMG_PREZZOLAMPO::GRD_LISVEN_RowChanged() {
    gridRowChanged(*this, salesGrid(*this));
}

// ---- Focus and the Enter walk ----

void FRMMG_PREZZOLAMPO::SetupGridFocus() {
    Procedure p(*this, QStringLiteral("SetupGridFocus"));
    host::KRX_QGRID* grid = nullptr;
    p([&] { grid = isPurchase(CurrentSide) ? GRD_LISACQ : GRD_LISVEN; });
    p([&] { CheckColumnsVisibility(grid); });
}

void FRMMG_PREZZOLAMPO::CheckColumnsVisibility(host::KRX_QGRID* grid) {
    Procedure p(*this, QStringLiteral("CheckColumnsVisibility"));
    const GridSide g = isPurchase(CurrentSide) ? purchaseGrid(*this) : salesGrid(*this);
    // A side that is not loaded has no row to configure.
    if (g.rows)
        p([&] { ConfigurazioneListinoSpecifico(objectOf(g.parameters), *g.rows, grid); });
    QString first;
    p([&] {
        for (const QString& key : EntryColumns) {
            const host::GridColumn* column = objectOf(grid).column(key);
            if (column && column->visible) {
                first = key;
                break;
            }
        }
    });
    if (!first.isEmpty())
        p([&] { SetColumnFocus(grid, first); });
}

void FRMMG_PREZZOLAMPO::SetColumnFocus(host::KRX_QGRID* grid, const QString& key) {
    Procedure p(*this, QStringLiteral("SetColumnFocus"));
    bool enabled = false;
    p([&] { enabled = objectOf(grid).isEnabled(); });
    if (enabled) {
        Procedure ignoring = Procedure::ignoringErrors(QStringLiteral("SetColumnFocus"));
        ignoring([&] { objectOf(grid).setFocus(); });
    }
    bool asked = false;
    QString nextGroup;
    p([&] {
        asked = isAsked(key, CurrentListConfig);
        if (!asked)
            nextGroup = firstAskedGroupAfter(key, CurrentListConfig);
    });
    if (!nextGroup.isEmpty()) {
        p([&] { SetColumnFocus(grid, nextGroup); });
        return;
    }
    if (asked) {
        std::int16_t position = 0;
        p([&] { position = GetFocusIndex(key); });
        p([&] { objectOf(grid).setFocusedVisibleColumn(position); });
        p([&] { objectOf(grid).setColumnEditable(key, 1); });
    }
    // Nothing asked from the key on: the focus stays, and a read-only column stays read-only.
    p([&] { objectOf(grid).editCurrentCell(); });
}

std::int16_t FRMMG_PREZZOLAMPO::GetFocusIndex(const QString& key) {
    Procedure p(*this, QStringLiteral("GetFocusIndex"));
    std::int16_t result = 0;
    p([&] {
        const host::KRX_QGRID& grid = objectOf(isPurchase(CurrentSide) ? GRD_LISACQ : GRD_LISVEN);
        std::int16_t visibleBefore = 0;
        for (int i = 0; i < grid.columnCount(); ++i) {
            const host::GridColumn& column = grid.column(i);
            if (!column.visible)
                continue;
            if (column.key == key) {
                result = visibleBefore;
                return;
            }
            ++visibleBefore;
        }
    });
    return result;
}

bool FRMMG_PREZZOLAMPO::UltimaColonna() {
    Procedure p(*this, QStringLiteral("UltimaColonna"));
    bool result = false;
    p([&] {
        const QString key =
            NzStr(objectOf(isPurchase(CurrentSide) ? GRD_LISACQ : GRD_LISVEN).currentColumnKey());
        const ListConfig& c = CurrentListConfig;
        const bool nothingAfterMagImp = c.RichProvv == 0 && c.RichRicarico == 0;
        const bool nothingAfterMag2 = nothingAfterMagImp && c.RichMagImp == 0;
        const bool nothingAfterScImp = nothingAfterMag2 && c.NumMagPerc == 0;
        const bool nothingAfterSc6 = nothingAfterScImp && c.RichScImp == 0;
        if (const int k = discountNumber(key))
            result = nothingAfterSc6 && (k == 6 || c.NumScPerc <= k);
        else if (key == ProvPer)
            result = true;
        else if (key == PerRicDelta)
            result = c.RichProvv == 0;
        else if (key == MagImp)
            result = nothingAfterMagImp;
        else if (key == Mag2Per)
            result = nothingAfterMag2;
        else if (key == Mag1Per)
            result = nothingAfterMag2 && c.NumMagPerc == 1;
        else if (key == ScImp)
            result = nothingAfterScImp;
        else if (key == Prezzo)
            result = nothingAfterSc6 && c.NumScPerc == 0;
    });
    return result;
}

void FRMMG_PREZZOLAMPO::SpostaColAdestra() {
    Procedure p(*this, QStringLiteral("SpostaColAdestra"));
    bool last = false;
    p([&] { last = UltimaColonna(); });
    if (last) {
        p([&] { host::DoEventsKeepingInput(); });
        p([&] { RigaSuccessiva(CurrentSide); });
        p([&] { host::DoEventsKeepingInput(); });
        return;
    }
    host::KRX_QGRID* grid = nullptr;
    QString next;
    p([&] {
        grid = isPurchase(CurrentSide) ? GRD_LISACQ : GRD_LISVEN;
        next = successorOf(NzStr(objectOf(grid).currentColumnKey()),
                           CurrentSide == QLatin1String("VEN"));
    });
    if (!next.isEmpty())
        p([&] { SetColumnFocus(grid, next); });
}

void FRMMG_PREZZOLAMPO::RigaSuccessiva(QString& side) {
    Procedure p(*this, QStringLiteral("RigaSuccessiva"));
    p([&] { host::DoEventsKeepingInput(); });
    QString upper;
    p([&] { upper = side.toUpper(); });
    if (upper == QLatin1String("ACQ")) {
        bool rows = false;
        bool lastRow = false;
        p([&] {
            rows = Rst_RecSet_LISACQ && Rst_RecSet_LISACQ->RecordCount() > 0;
            if (rows)
                lastRow = !(rt::CDec(NzDec(Rst_RecSet_LISACQ->AbsolutePosition())) <
                            rt::CDec(NzDec(Rst_RecSet_LISACQ->RecordCount())));
        });
        if (!rows)
            return;
        if (!lastRow) {
            withBusy(*this, p, [&] {
                Procedure ignoring = Procedure::ignoringErrors(QStringLiteral("RigaSuccessiva"));
                ignoring([&] { objectOf(GRD_LISACQ).setFocus(); });
            });
            p([&] { objectOf(GRD_LISACQ).moveToNextRow(); }); // "{DOWN}": RowChanged configures
            p([&] { SetColumnFocus(GRD_LISACQ, Prezzo); });
            return;
        }
        p([&] { side = QStringLiteral("VEN"); });
        withBusy(*this, p, [&] { p([&] { objectOf(GRD_LISVEN).setFocus(); }); });
        p([&] { objectOf(Rst_RecSet_LISVEN).MoveFirst(); });
        // The first sales row is configured as a row change would, even when the sales grid
        // already stood on it.
        p([&] { GRD_LISVEN_RowChanged(); });
        p([&] { SetColumnFocus(GRD_LISVEN, Prezzo); });
    } else if (upper == QLatin1String("VEN")) {
        bool nextRow = false;
        p([&] {
            nextRow = standsOnRow(Rst_RecSet_LISVEN) && Rst_RecSet_LISVEN->RecordCount() > 0 &&
                      Rst_RecSet_LISVEN->AbsolutePosition() < Rst_RecSet_LISVEN->RecordCount();
        });
        if (!nextRow)
            return; // the last sales row: the walk ends here
        withBusy(*this, p, [&] { p([&] { objectOf(GRD_LISVEN).setFocus(); }); });
        p([&] { objectOf(GRD_LISVEN).moveToNextRow(); });
        p([&] { SetColumnFocus(GRD_LISVEN, Prezzo); });
    }
}

void FRMMG_PREZZOLAMPO::RicalcolaSeUltimaColonna() {
    Procedure p(*this, QStringLiteral("RicalcolaSeUltimaColonna"));
    bool recalculate = false;
    p([&] { recalculate = CurrentSide == QLatin1String("ACQ") && UltimaColonna(); });
    if (!recalculate)
        return;
    rt::Variant bookmark;
    p([&] { bookmark = objectOf(Rst_RecSet_LISACQ).Bookmark(); });
    p([&] { RicalcolaPrezzi(); });
    p([&] { objectOf(Rst_RecSet_LISACQ).setBookmark(bookmark); });
}
