// Grid columns: INITGRD_LISACQ, INITGRD_LISVEN. Both grids show the sixteen columns of a
// working row in the same order; the two differ only in the numeric kinds of prices, amounts
// and discount/surcharge percentages.
#include "form/frmmg_prezzolampo.h"
#include "form/required_object.h"
#include "host/contract/cinterface.h"
#include "host/controls/krx_qgrid.h"
#include "host/services/currency_service.h"
#include "host/services/global_services.h"
#include "host/window/window_support.h"

#include <QFontMetrics>
#include <QStyle>
#include <QTableView>
#include <array>

namespace {

const QString Euro = QStringLiteral("EURO");
const QString PercentFormat = QStringLiteral("#,##0.000");
constexpr int PercentDecimals = 3;
constexpr int KeyKind = 12; // list number and every numeric column
constexpr int TextKind = 1; // the currency column
constexpr int DisplayFlags = 0;

// What a column shows: nothing special, a percentage, or a price/amount in the list's
// currency (formats and decimals from the currency service).
enum class ColumnValue { Plain, Percent, Price, Amount };
// Numeric kind group of a column (see kindsOf).
enum class KindGroup { None, PriceAmount, DiscountSurcharge, Markup, Commission };

struct ColumnDef {
    const char* key;
    const char* caption;
    int kind;
    int widthTwips;
    ColumnValue value;
    KindGroup group;
};

// The column set, in display order.
constexpr std::array<ColumnDef, 16> Columns = {{
    {"LI10_NUMLIST", "N.", KeyKind, 255, ColumnValue::Plain, KindGroup::None},
    {"VALUTA", "Valuta", TextKind, 560, ColumnValue::Plain, KindGroup::None},
    {"LI10_PREZZO", "Prezzo lordo", KeyKind, 1635, ColumnValue::Price, KindGroup::PriceAmount},
    {"LI10_SC1PER", "Sc. % 1", KeyKind, 690, ColumnValue::Percent, KindGroup::DiscountSurcharge},
    {"LI10_SC2PER", "Sc. % 2", KeyKind, 690, ColumnValue::Percent, KindGroup::DiscountSurcharge},
    {"LI10_SC3PER", "Sc. % 3", KeyKind, 690, ColumnValue::Percent, KindGroup::DiscountSurcharge},
    {"LI10_SC4PER", "Sc. % 4", KeyKind, 690, ColumnValue::Percent, KindGroup::DiscountSurcharge},
    {"LI10_SC5PER", "Sc. % 5", KeyKind, 690, ColumnValue::Percent, KindGroup::DiscountSurcharge},
    {"LI10_SC6PER", "Sc. % 6", KeyKind, 690, ColumnValue::Percent, KindGroup::DiscountSurcharge},
    {"LI10_SCIMP", "Sc. importo", KeyKind, 975, ColumnValue::Amount, KindGroup::PriceAmount},
    {"LI10_MAG1PER", "Mg.%1 ", KeyKind, 690, ColumnValue::Percent, KindGroup::DiscountSurcharge},
    {"LI10_MAG2PER", "Mg.%2", KeyKind, 690, ColumnValue::Percent, KindGroup::DiscountSurcharge},
    {"LI10_MAGIMP", "Mg. importo", KeyKind, 975, ColumnValue::Amount, KindGroup::PriceAmount},
    {"LI10_PERRICDELTA", "% Ricar.", KeyKind, 714, ColumnValue::Percent, KindGroup::Markup},
    {"PREZZO_NETTO", "Prezzo netto", KeyKind, 1635, ColumnValue::Price, KindGroup::PriceAmount},
    {"LI10_PROVPER", "% Prov.", KeyKind, 725, ColumnValue::Percent, KindGroup::Commission},
}};

// The order in which the numeric kinds are set: columns 3 to 14, then 16, then 15.
constexpr std::array<const char*, 14> NumericKindOrder = {
    "LI10_PREZZO", "LI10_SC1PER",      "LI10_SC2PER",  "LI10_SC3PER",  "LI10_SC4PER",
    "LI10_SC5PER", "LI10_SC6PER",      "LI10_SCIMP",   "LI10_MAG1PER", "LI10_MAG2PER",
    "LI10_MAGIMP", "LI10_PERRICDELTA", "LI10_PROVPER", "PREZZO_NETTO"};

// Every numeric value of a working row, the commission amount included although it has no
// column (the grid ignores a key it does not show).
constexpr std::array<const char*, 15> NumericSettingOrder = {
    "LI10_PREZZO", "LI10_SC1PER",      "LI10_SC2PER",  "LI10_SC3PER",  "LI10_SC4PER",
    "LI10_SC5PER", "LI10_SC6PER",      "LI10_SCIMP",   "LI10_MAG1PER", "LI10_MAG2PER",
    "LI10_MAGIMP", "LI10_PERRICDELTA", "LI10_PROVPER", "LI10_PROVIMP", "PREZZO_NETTO"};

// The entry columns: the ones a user can type into.
constexpr std::array<const char*, 13> EntryColumns = {
    "LI10_PREZZO", "LI10_SC1PER",      "LI10_SC2PER", "LI10_SC3PER",  "LI10_SC4PER",
    "LI10_SC5PER", "LI10_SC6PER",      "LI10_SCIMP",  "LI10_MAG1PER", "LI10_MAG2PER",
    "LI10_MAGIMP", "LI10_PERRICDELTA", "LI10_PROVPER"};

// First numeric-kind codes of one grid; the second code is 2 for prices and amounts, 6 for
// percentages.
struct SideKinds {
    int priceAmount;
    int discountSurcharge;
};
constexpr SideKinds SalesKinds{3, 7};
constexpr SideKinds PurchaseKinds{5, 9};
constexpr int MarkupKind = 12;
constexpr int CommissionKind = 13;
constexpr int PriceSecondKind = 2;
constexpr int PercentSecondKind = 6;

const ColumnDef& columnDef(const char* key) {
    for (const ColumnDef& c : Columns)
        if (qstrcmp(c.key, key) == 0)
            return c;
    throw rt::Error(rt::ErrSubscriptOutOfRange, QString::fromLatin1(key));
}

std::pair<int, int> kindsOf(KindGroup group, const SideKinds& side) {
    switch (group) {
    case KindGroup::PriceAmount:
        return {side.priceAmount, PriceSecondKind};
    case KindGroup::DiscountSurcharge:
        return {side.discountSurcharge, PercentSecondKind};
    case KindGroup::Markup:
        return {MarkupKind, PercentSecondKind};
    case KindGroup::Commission:
        return {CommissionKind, PercentSecondKind};
    case KindGroup::None:
        break;
    }
    return {0, 0};
}

// The narrowest font stretch the grids take to fit their currency column.
constexpr int NarrowestStretch = 75;
constexpr int StretchStep = 5;

// The widths were chosen for the desktop's dialog font: a wider font is narrowed until the
// currency column shows "EURO" whole, with the cell's text margins and its grid line.
void fitFontToCurrencyColumn(host::KRX_QGRID& grid) {
    QTableView* view = grid.view();
    const int textMargin =
        view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int room = host::twipsToPixels(columnDef("VALUTA").widthTwips) - 2 * textMargin - 1;
    QFont font = grid.font();
    for (int stretch = 100; stretch >= NarrowestStretch; stretch -= StretchStep) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(Euro) <= room)
            break;
    }
    grid.setFont(font);
}

host::KRX_QGRID& gridOf(host::KRX_QGRID* grid) {
    return objectOf(grid);
}

std::shared_ptr<host::GlobalServices> globalOf(const FRMMG_PREZZOLAMPO& form) {
    if (!form.ActiveInterface)
        throw rt::Error::objectNotSet();
    return form.ActiveInterface->ClsGlobal();
}

// The host's currency service, asked afresh at each use.
host::CurrencyService& currencyOf(const FRMMG_PREZZOLAMPO& form) {
    const std::shared_ptr<host::GlobalServices> global = globalOf(form);
    if (!global || !global->currency())
        throw rt::Error::objectNotSet();
    return *global->currency();
}

// The format widened to show at least `decimals` decimals ("#,##0.00" with 3: "#,##0.000").
QString showingDecimals(QString format, int decimals) {
    qsizetype point = format.indexOf(u'.');
    if (point < 0 && decimals > 0) {
        point = format.size();
        format += u'.';
    }
    const qsizetype shown = format.size() - point - 1;
    if (shown < decimals)
        format += QString(decimals - shown, u'0');
    return format;
}

QString displayFormat(const FRMMG_PREZZOLAMPO& form, ColumnValue value) {
    switch (value) {
    case ColumnValue::Price:
        return currencyOf(form).priceFormat(Euro);
    case ColumnValue::Amount:
        // An amount is typed with the price's decimals: it shows every one of them, so the
        // screen never shows 1,24 for a stored 1,235.
        return showingDecimals(currencyOf(form).amountFormat(Euro),
                               currencyOf(form).priceDecimals(Euro));
    case ColumnValue::Percent:
        return PercentFormat;
    case ColumnValue::Plain:
        break;
    }
    return {};
}

// Builds one grid's columns, each statement a step of the caller's procedure.
void buildPriceGrid(FRMMG_PREZZOLAMPO& form, Procedure& p, host::KRX_QGRID* grid,
                    const SideKinds& kinds) {
    std::shared_ptr<host::GridDataProvider> provider;
    p([&] { provider = std::make_shared<host::GridDataProvider>(); });
    p([&] { provider->init(globalOf(form), nullptr, QStringLiteral("LI10_NUMLIST"), 0); });
    p([&] { gridOf(grid).setAutoLayout(true); });
    p([&] { gridOf(grid).setDataProvider(provider); });

    for (const ColumnDef& c : Columns) {
        p([&] {
            const QString key = QString::fromLatin1(c.key);
            const QString caption = QString::fromUtf8(c.caption);
            if (c.value == ColumnValue::Plain)
                gridOf(grid).addColumn(key, caption, c.kind, c.widthTwips, true);
            else
                gridOf(grid).addColumn(key, caption, c.kind, c.widthTwips, true, DisplayFlags,
                                       displayFormat(form, c.value));
        });
    }
    p([&] { gridOf(grid).endColumns(); });
    p([&] { gridOf(grid).setAutoLayout(true); });

    for (const char* key : NumericKindOrder) {
        p([&] {
            const auto [first, second] = kindsOf(columnDef(key).group, kinds);
            gridOf(grid).setNumericKind(QString::fromLatin1(key), first, second, Euro);
        });
    }
    for (const char* key : NumericSettingOrder)
        p([&] { gridOf(grid).setNumericSetting(QString::fromLatin1(key), 1); });
    for (const char* key : EntryColumns)
        p([&] { gridOf(grid).setColumnEditable(QString::fromLatin1(key), 1); });
    for (const char* key : EntryColumns) {
        p([&] {
            const ColumnValue value = columnDef(key).value;
            const int decimals = value == ColumnValue::Percent
                                     ? PercentDecimals
                                     : currencyOf(form).priceDecimals(Euro);
            gridOf(grid).setColumnDecimals(QString::fromLatin1(key), decimals);
        });
    }
    p([&] { gridOf(grid).endLayout(); });
    p([&] { fitFontToCurrencyColumn(gridOf(grid)); });
}

} // namespace

void FRMMG_PREZZOLAMPO::INITGRD_LISACQ() {
    Procedure p(*this, QStringLiteral("INITGRD_LISACQ"));
    buildPriceGrid(*this, p, GRD_LISACQ, PurchaseKinds);
}

void FRMMG_PREZZOLAMPO::INITGRD_LISVEN() {
    Procedure p(*this, QStringLiteral("INITGRD_LISVEN"));
    buildPriceGrid(*this, p, GRD_LISVEN, SalesKinds);
}
