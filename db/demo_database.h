#pragma once
// The demo company database: the schema, a company 1 with articles, VAT codes, rounding
// brackets, purchase and sales price lists for quick creation and stored price-list rows, and
// a company 2 that has only sales lists. Everything is written through Connection::Execute in
// SQL Server text, so the same code fills SQLite, PostgreSQL and SQL Server.

#include "host/data/connection.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace demo {

inline constexpr int DemoCompany = 1;
// A company whose only quick-creation lists are sales lists.
inline constexpr int SalesOnlyCompany = 2;

// Side codes of MG44_FLGVENACQ and LI10_FLGVENDACQ.
inline constexpr int SalesSide = 0;
inline constexpr int PurchaseSide = 1;

struct DemoOption {
    QString code;
    QString description;
};

struct DemoArticle {
    int company = DemoCompany;
    QString code;
    QString description;
    QString vatCode;          // CG28_CODICE
    int bracket = 0;          // MG02_CODICE, 0 = none
    bool roundPrices = false; // MG66_FLGARRPRZ
    QList<DemoOption> options;
};

// One row of MG44_PARMAGLIST. Numbers that may be NULL are texts, "" meaning NULL.
struct DemoList {
    int company = DemoCompany;
    int side = SalesSide;
    int number = 0;
    QString description;
    bool quickCreation = true;
    int askPrice = 1;
    int discounts = 0; // MG44_NUMSCPERC
    int askDiscountAmount = 0;
    int surcharges = 0; // MG44_NUMMAGPERC
    int askSurchargeAmount = 0;
    QString commission;     // MG44_PERCPROV, "" = NULL
    int startIndicator = 0; // MG44_INDPROPDATAINI
    QDate fixedStart;       // MG44_PROPDATAINI
    int endIndicator = 0;   // MG44_INDPROPDATAFINE
    QDate fixedEnd;         // MG44_PROPDATAFINE
    QString currency = QStringLiteral("EURO");
    QString baseList; // MG44_NUMLISTACQRIC, "" = NULL
    QString defaultMarkup = QStringLiteral("0");
    int zeroMarkupMode = 0;
    int vatIncluded = 0;
    int roundingMode = 0;
    QString bracket; // MG44_SCAGL_MG02, "" = NULL
};

// One stored row of LI10_LISTARTIC. Decimal values are texts ("" = NULL).
struct DemoPriceRow {
    int company = DemoCompany;
    int side = SalesSide;
    int list = 0;
    QString article;
    QString option;
    QDate start;
    QDate end;
    QString price;
    QString discounts[6];
    QString discountAmount;
    QString surcharge1;
    QString surcharge2;
    QString surchargeAmount;
    QString markup;
    int rounded = 0;    // LI10_INDARROT
    QString bracket;    // LI10_SCAGL_MG02
    QString commission; // LI10_PROVPER
    QDate created;
    QDate lastUpdate;
    int media = 0; // LI10_IDMEDIA_CG99
    QString note;  // LI10_NOTE, "" = NULL
};

struct DemoVatCode {
    QString code;
    QString description;
    QString rate;
};

// One price range of a rounding bracket.
struct DemoBracketRange {
    int bracket = 0;
    QString description;
    QString from;
    QString step;
    QString ending; // "" = none
};

struct DemoMedia {
    int id = 0;
    QString description;
    QString path;
};

// The demo's contents. The dates depend on the day the database is made.
QList<DemoArticle> demoArticles();
QList<DemoVatCode> demoVatCodes();
QList<DemoBracketRange> demoBrackets();
QList<DemoMedia> demoMedia();
QList<DemoList> demoLists(const QDate& today);
QList<DemoPriceRow> demoPriceRows(const QDate& today);

// The validity period that a list's indicators propose on the given day, for indicators
// 1 to 4; indicator 0 (typed by the user) gives the current year, as the demo types it.
QDate proposedStart(const DemoList& list, const QDate& today);
QDate proposedEnd(const DemoList& list, const QDate& today);

// Drops the demo tables that exist, creates the schema and fills it. Throws rt::Error when
// the database refuses a statement.
void createDemoDatabase(host::Connection& connection, const QDate& today);
// Drops the tables of the schema that exist.
void dropDemoTables(host::Connection& connection);
// True when the database holds the price-list parameters of the demo company.
bool hasDemoDatabase(host::Connection& connection);

// What the database holds, in Italian: articles, lists per side, stored rows.
QString demoSummary(host::Connection& connection);

// The SQLite file of the demo, in the application's data folder.
QString defaultDemoDatabasePath();
QString demoConnectionString(const QString& sqliteFile);

} // namespace demo
