// The demo's price-list parameters and stored price-list rows. Together the lists of company 1
// use every date proposal, zero-mark-up mode, rounding mode and VAT setting that the window
// knows, so that a tester meets each of them on one database.
#include "db/demo_database.h"

#include <array>
#include <stdexcept>

namespace demo {

namespace {

QDate quarterStart(const QDate& today) {
    return QDate(today.year(), (today.month() - 1) / 3 * 3 + 1, 1);
}

QDate quarterEnd(const QDate& today) {
    return quarterStart(today).addMonths(3).addDays(-1);
}

DemoList purchaseList(int number, const char* description) {
    DemoList l;
    l.side = PurchaseSide;
    l.number = number;
    l.description = QString::fromUtf8(description);
    return l;
}

DemoList salesList(int number, const char* description) {
    DemoList l;
    l.side = SalesSide;
    l.number = number;
    l.description = QString::fromUtf8(description);
    return l;
}

} // namespace

QList<DemoList> demoLists(const QDate& today) {
    QList<DemoList> lists;

    DemoList p1 = purchaseList(1, "Fornitore principale - Ferramenta Nord");
    p1.discounts = 3;
    p1.askDiscountAmount = 1;
    p1.startIndicator = 2;
    p1.endIndicator = 2;
    lists << p1;

    DemoList p2 = purchaseList(2, "Fornitore alternativo - Brico Import");
    p2.discounts = 2;
    p2.surcharges = 1;
    p2.askSurchargeAmount = 1;
    p2.commission = QStringLiteral("0");
    p2.startIndicator = 1;
    p2.endIndicator = 1;
    lists << p2;

    // Dates typed in the header: the purchase dates become required.
    DemoList p3 = purchaseList(3, "Acquisti al dettaglio (IVA inclusa)");
    p3.vatIncluded = 1;
    lists << p3;

    DemoList v1 = salesList(1, "Listino al pubblico (IVA inclusa)");
    v1.startIndicator = 2;
    v1.endIndicator = 2;
    v1.baseList = QStringLiteral("1");
    v1.defaultMarkup = QStringLiteral("40");
    v1.zeroMarkupMode = 2;
    v1.vatIncluded = 1;
    v1.roundingMode = 1;
    lists << v1;

    DemoList v2 = salesList(2, "Listino rivenditori");
    v2.discounts = 6;
    v2.askDiscountAmount = 1;
    v2.surcharges = 2;
    v2.askSurchargeAmount = 1;
    v2.commission = QStringLiteral("5");
    v2.startIndicator = 1;
    v2.endIndicator = 1;
    v2.baseList = QStringLiteral("1");
    v2.defaultMarkup = QStringLiteral("25");
    v2.zeroMarkupMode = 1;
    v2.roundingMode = 2;
    v2.bracket = QStringLiteral("1");
    lists << v2;

    DemoList v3 = salesList(3, "Listino ingrosso");
    v3.askPrice = 0;
    v3.discounts = 4;
    v3.surcharges = 1;
    v3.commission = QStringLiteral("0");
    v3.startIndicator = 3;
    v3.endIndicator = 3;
    v3.baseList = QStringLiteral("2");
    v3.zeroMarkupMode = 3;
    lists << v3;

    DemoList v4 = salesList(4, "Promozione del trimestre");
    v4.discounts = 1;
    v4.askSurchargeAmount = 1;
    v4.startIndicator = 4;
    v4.fixedStart = quarterStart(today);
    v4.endIndicator = 4;
    v4.fixedEnd = quarterEnd(today);
    v4.baseList = QStringLiteral("3");
    v4.vatIncluded = 1;
    v4.roundingMode = 2;
    v4.bracket = QStringLiteral("3");
    lists << v4;

    DemoList v5 = salesList(5, "Vendita online");
    v5.discounts = 5;
    v5.commission = QStringLiteral("0");
    v5.startIndicator = 2;
    v5.endIndicator = 3;
    v5.vatIncluded = 1;
    v5.roundingMode = 1;
    lists << v5;

    // Kept for its stored rows only: it takes no part in quick creation.
    DemoList v9 = salesList(9, "Listino storico (non gestito)");
    v9.quickCreation = false;
    v9.startIndicator = 2;
    v9.endIndicator = 2;
    v9.baseList = QStringLiteral("1");
    v9.vatIncluded = 1;
    lists << v9;

    DemoList shop = salesList(1, "Listino negozio");
    shop.company = SalesOnlyCompany;
    shop.discounts = 1;
    shop.startIndicator = 2;
    shop.endIndicator = 2;
    shop.vatIncluded = 1;
    shop.roundingMode = 1;
    lists << shop;

    DemoList groups = salesList(2, "Listino gruppi e scuole");
    groups.company = SalesOnlyCompany;
    groups.discounts = 2;
    groups.commission = QStringLiteral("5");
    groups.startIndicator = 1;
    groups.endIndicator = 1;
    groups.vatIncluded = 1;
    groups.roundingMode = 2;
    groups.bracket = QStringLiteral("10");
    lists << groups;

    // Company 2 buys too, but none of its purchase lists takes part in quick creation.
    DemoList supplier = purchaseList(1, "Fornitore (non in creazione veloce)");
    supplier.company = SalesOnlyCompany;
    supplier.quickCreation = false;
    supplier.startIndicator = 2;
    supplier.endIndicator = 2;
    lists << supplier;

    return lists;
}

QDate proposedStart(const DemoList& list, const QDate& today) {
    switch (list.startIndicator) {
    case 1:
        return QDate(today.year(), today.month(), 1);
    case 3:
        return today;
    case 4:
        return list.fixedStart;
    default: // 0 (typed: the demo types the current year) and 2
        return QDate(today.year(), 1, 1);
    }
}

QDate proposedEnd(const DemoList& list, const QDate& today) {
    switch (list.endIndicator) {
    case 1:
        return QDate(today.year(), today.month(), 1).addMonths(1).addDays(-1);
    case 3:
        return QDate(2099, 12, 31);
    case 4:
        return list.fixedEnd;
    default:
        return QDate(today.year(), 12, 31);
    }
}

namespace {

enum class Period { Proposed, LastYear, PreviousMonth };

// A stored row as written below; absent numbers are 0, an absent bracket, option or note is
// blank.
struct RowPlan {
    int company = DemoCompany;
    int side = SalesSide;
    int list = 0;
    const char* article = "";
    const char* option = "";
    Period period = Period::Proposed;
    const char* price = "0";
    std::array<const char*, 6> discounts{};
    const char* discountAmount = nullptr;
    const char* surcharge1 = nullptr;
    const char* surcharge2 = nullptr;
    const char* surchargeAmount = nullptr;
    const char* markup = nullptr;
    const char* bracket = nullptr; // rounded by this bracket
    const char* commission = nullptr;
    int createdDaysAgo = 30;
    int media = 0;
    const char* note = nullptr;
};

constexpr int P = PurchaseSide;
constexpr int S = SalesSide;

// clang-format off
const RowPlan rowSpecs[] = {
    // Screws: both suppliers, the public and the resellers' list; last year's prices too.
    {.side = P, .list = 1, .article = "VITI-INOX-4X40", .price = "6.8", .discounts = {"10", "5"},
     .createdDaysAgo = 40},
    {.side = P, .list = 2, .article = "VITI-INOX-4X40", .price = "7.1", .discounts = {"8"},
     .surcharge1 = "2", .createdDaysAgo = 10},
    {.side = S, .list = 1, .article = "VITI-INOX-4X40", .price = "12.9", .markup = "40",
     .bracket = "1", .createdDaysAgo = 40},
    {.side = S, .list = 2, .article = "VITI-INOX-4X40", .price = "9.45", .discounts = {"5"},
     .markup = "25", .bracket = "1", .commission = "5", .createdDaysAgo = 10},
    {.side = P, .list = 1, .article = "VITI-INOX-4X40", .period = Period::LastYear, .price = "6.5",
     .discounts = {"10", "5"}, .createdDaysAgo = 400},
    {.side = S, .list = 1, .article = "VITI-INOX-4X40", .period = Period::LastYear, .price = "12.5",
     .markup = "40", .bracket = "1", .createdDaysAgo = 400},
    {.side = P, .list = 2, .article = "VITI-INOX-4X40", .period = Period::PreviousMonth,
     .price = "7.2", .discounts = {"8"}, .createdDaysAgo = 45},
    {.side = S, .list = 9, .article = "VITI-INOX-4X40", .price = "11.5", .createdDaysAgo = 90,
     .note = "Listino non più gestito"},

    // Drill: every sales list of company 1 but the online shop.
    {.side = P, .list = 1, .article = "TRAP-BATT-18V", .price = "89", .discounts = {"15", "3", "2"},
     .discountAmount = "1.5", .createdDaysAgo = 60, .media = 1,
     .note = "Prezzo concordato con l'agente"},
    {.side = S, .list = 1, .article = "TRAP-BATT-18V", .price = "159", .markup = "40",
     .bracket = "3", .createdDaysAgo = 60, .media = 1},
    {.side = S, .list = 2, .article = "TRAP-BATT-18V", .price = "118.9", .discounts = {"3", "2"},
     .surcharge1 = "1.5", .markup = "25", .bracket = "1", .commission = "5", .createdDaysAgo = 12},
    {.side = S, .list = 3, .article = "TRAP-BATT-18V", .price = "97.523456", .discounts = {"2"},
     .createdDaysAgo = 0},
    {.side = S, .list = 4, .article = "TRAP-BATT-18V", .price = "149", .bracket = "3",
     .createdDaysAgo = 5, .note = "Prezzo promozionale del trimestre"},
    {.side = P, .list = 1, .article = "TRAP-BATT-18V", .period = Period::LastYear, .price = "85",
     .discounts = {"15", "3"}, .createdDaysAgo = 420},
    {.side = S, .list = 1, .article = "TRAP-BATT-18V", .period = Period::LastYear, .price = "149",
     .markup = "40", .bracket = "3", .createdDaysAgo = 420},

    // Enamel paint: rows per option.
    {.side = P, .list = 1, .article = "SMALTO-ACQUA-075", .option = "BIANCO", .price = "5.4",
     .discounts = {"10"}, .createdDaysAgo = 30},
    {.side = P, .list = 1, .article = "SMALTO-ACQUA-075", .option = "ROSSO", .price = "5.9",
     .discounts = {"10"}, .createdDaysAgo = 30},
    {.side = S, .list = 1, .article = "SMALTO-ACQUA-075", .option = "BIANCO", .price = "10.9",
     .markup = "40", .bracket = "2", .createdDaysAgo = 30, .media = 2},
    {.side = S, .list = 1, .article = "SMALTO-ACQUA-075", .option = "ROSSO", .price = "11.9",
     .markup = "40", .bracket = "2", .createdDaysAgo = 30},
    {.side = S, .list = 4, .article = "SMALTO-ACQUA-075", .option = "BIANCO", .price = "9.99",
     .bracket = "3", .createdDaysAgo = 5},

    // Olive oil: bought from the supplier and at retail (VAT included).
    {.side = P, .list = 1, .article = "OLIO-EVO-1L", .price = "6.2", .createdDaysAgo = 20},
    {.side = P, .list = 3, .article = "OLIO-EVO-1L", .price = "6.45", .createdDaysAgo = 20},
    {.side = S, .list = 1, .article = "OLIO-EVO-1L", .price = "9.99", .markup = "40",
     .bracket = "3", .createdDaysAgo = 20},
    {.side = S, .list = 5, .article = "OLIO-EVO-1L", .price = "8.99", .bracket = "3",
     .createdDaysAgo = 20},

    {.side = P, .list = 2, .article = "PELLET-15KG", .price = "3.95", .discounts = {"4", "2"},
     .createdDaysAgo = 15},
    {.side = S, .list = 2, .article = "PELLET-15KG", .price = "5.2", .discounts = {"3"},
     .markup = "25", .bracket = "1", .commission = "5", .createdDaysAgo = 15},

    {.side = P, .list = 1, .article = "LAMP-LED-E27", .option = "2700K", .price = "1.85",
     .discounts = {"10", "5", "3"}, .createdDaysAgo = 25},
    {.side = S, .list = 1, .article = "LAMP-LED-E27", .option = "2700K", .price = "3.9",
     .markup = "40", .bracket = "1", .createdDaysAgo = 25},

    {.side = P, .list = 1, .article = "GUANTI-NITRILE", .option = "TG-L", .price = "2.3",
     .discounts = {"5"}, .createdDaysAgo = 35},
    {.side = S, .list = 1, .article = "GUANTI-NITRILE", .option = "TG-L", .price = "4.9",
     .markup = "40", .bracket = "1", .createdDaysAgo = 35},

    // Honey bought at retail from a farmer; its public price is not rounded.
    {.side = P, .list = 3, .article = "MIELE-MILLEF", .price = "4.2", .createdDaysAgo = 25},
    {.side = S, .list = 1, .article = "MIELE-MILLEF", .price = "7.5", .markup = "40",
     .createdDaysAgo = 25},

    {.company = SalesOnlyCompany, .side = S, .list = 1, .article = "BORRACCIA-075", .price = "14.9",
     .bracket = "1", .createdDaysAgo = 50},
    {.company = SalesOnlyCompany, .side = S, .list = 2, .article = "BORRACCIA-075", .price = "12.5",
     .discounts = {"10"}, .bracket = "10", .commission = "5", .createdDaysAgo = 8},
};
// clang-format on

QString textOr(const char* text, const char* fallback) {
    return QString::fromUtf8(text ? text : fallback);
}

const DemoList& listOf(const QList<DemoList>& lists, const RowPlan& plan) {
    for (const DemoList& l : lists) {
        if (l.company == plan.company && l.side == plan.side && l.number == plan.list)
            return l;
    }
    throw std::logic_error("demo row of an unknown list");
}

void setPeriod(DemoPriceRow& row, const DemoList& list, Period period, const QDate& today) {
    row.start = proposedStart(list, today);
    row.end = proposedEnd(list, today);
    if (period == Period::LastYear) {
        row.start = row.start.addYears(-1);
        row.end = row.end.addYears(-1);
    } else if (period == Period::PreviousMonth) {
        row.start = row.start.addMonths(-1);
        row.end = row.start.addMonths(1).addDays(-1);
    }
}

DemoPriceRow priceRow(const RowPlan& plan, const QList<DemoList>& lists, const QDate& today) {
    DemoPriceRow row;
    row.company = plan.company;
    row.side = plan.side;
    row.list = plan.list;
    row.article = QString::fromUtf8(plan.article);
    row.option = QString::fromUtf8(plan.option);
    setPeriod(row, listOf(lists, plan), plan.period, today);
    row.price = QString::fromUtf8(plan.price);
    for (int i = 0; i < 6; ++i)
        row.discounts[i] = textOr(plan.discounts[static_cast<size_t>(i)], "0");
    row.discountAmount = textOr(plan.discountAmount, "0");
    row.surcharge1 = textOr(plan.surcharge1, "0");
    row.surcharge2 = textOr(plan.surcharge2, "0");
    row.surchargeAmount = textOr(plan.surchargeAmount, "0");
    row.markup = textOr(plan.markup, "0");
    row.rounded = plan.bracket ? 1 : 0;
    row.bracket = textOr(plan.bracket, "");
    row.commission = textOr(plan.commission, "0");
    row.created = today.addDays(-plan.createdDaysAgo);
    row.lastUpdate = today.addDays(-plan.createdDaysAgo / 2);
    row.media = plan.media;
    row.note = textOr(plan.note, "");
    return row;
}

} // namespace

QList<DemoPriceRow> demoPriceRows(const QDate& today) {
    const QList<DemoList> lists = demoLists(today);
    QList<DemoPriceRow> rows;
    for (const RowPlan& plan : rowSpecs)
        rows << priceRow(plan, lists, today);
    return rows;
}

} // namespace demo
