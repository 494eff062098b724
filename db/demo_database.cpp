#include "db/demo_database.h"

#include "db/schema.h"
#include "host/data/recordset.h"
#include "host/data/sql_literal.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <QDir>
#include <QStandardPaths>

namespace demo {

namespace {

// ---- literals of the INSERT statements (SQL Server text) ----

QString text(const QString& value) {
    return host::quotedSqlText(value);
}

QString textOrNull(const QString& value) {
    return value.isEmpty() ? QStringLiteral("NULL") : text(value);
}

QString date(const QDate& day) {
    return day.isValid() ? u'\'' + day.toString(u"yyyyMMdd") + u'\'' : QStringLiteral("NULL");
}

// A decimal number as written in the demo's tables ("" is NULL); a typo in the data is caught
// here rather than by the database.
QString number(const QString& value) {
    if (value.isEmpty())
        return QStringLiteral("NULL");
    const auto parsed = rt::Decimal::parse(value);
    if (!parsed)
        throw std::invalid_argument("demo data: not a number: " + value.toStdString());
    return parsed->toString();
}

QString number(int value) {
    return QString::number(value);
}

class Insert {
  public:
    explicit Insert(QString table) : table_(std::move(table)) {}
    Insert& set(const char* column, const QString& literal) {
        columns_ << QString::fromLatin1(column);
        values_ << literal;
        return *this;
    }
    QString sql() const {
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(table_, columns_.join(QStringLiteral(", ")), values_.join(QStringLiteral(", ")));
    }

  private:
    QString table_;
    QStringList columns_;
    QStringList values_;
};

QStringList vatInserts() {
    QStringList sql;
    for (const DemoVatCode& v : demoVatCodes()) {
        sql << Insert(QStringLiteral("CG28_TABCODIVA"))
                   .set("CG28_CODICE", text(v.code))
                   .set("CG28_DESCRIZIONE", text(v.description))
                   .set("CG28_PERCIVA", number(v.rate))
                   .sql();
    }
    return sql;
}

QStringList bracketInserts() {
    QStringList sql;
    for (const DemoBracketRange& b : demoBrackets()) {
        sql << Insert(QStringLiteral("MG02_SCAGLARR"))
                   .set("MG02_CODICE", number(b.bracket))
                   .set("MG02_PREZZODA", number(b.from))
                   .set("MG02_DESCRIZIONE", text(b.description))
                   .set("MG02_ARROT", number(b.step))
                   .set("MG02_FINALE", number(b.ending))
                   .sql();
    }
    return sql;
}

QStringList mediaInserts() {
    QStringList sql;
    for (const DemoMedia& m : demoMedia()) {
        sql << Insert(QStringLiteral("CG99_MEDIA"))
                   .set("CG99_IDMEDIA", number(m.id))
                   .set("CG99_DESCRIZIONE", text(m.description))
                   .set("CG99_PERCORSO", text(m.path))
                   .sql();
    }
    return sql;
}

QString descriptionInsert(const DemoArticle& a, const QString& option, const QString& desc) {
    return Insert(QStringLiteral("MG87_DESCART"))
        .set("MG87_DITTA_CG18", number(a.company))
        .set("MG87_CODART_MG66", text(a.code))
        .set("MG87_OPZIONE_MG5E", text(option))
        .set("MG87_DESCART", text(desc))
        .sql();
}

QStringList articleInserts() {
    QStringList sql;
    for (const DemoArticle& a : demoArticles()) {
        sql << Insert(QStringLiteral("MG66_ANAGRART"))
                   .set("MG66_DITTA_CG18", number(a.company))
                   .set("MG66_CODART", text(a.code))
                   .set("MG66_ALIVA_CG28", textOrNull(a.vatCode))
                   .set("MG66_SCAGL_MG02", a.bracket ? number(a.bracket) : u"NULL"_qs)
                   .set("MG66_FLGARRPRZ", number(a.roundPrices ? 1 : 0))
                   .set("MG66_FLGOPZIONI", number(a.options.isEmpty() ? 0 : 1))
                   .sql();
        sql << descriptionInsert(a, QString(), a.description);
        for (const DemoOption& o : a.options) {
            sql << Insert(QStringLiteral("MG5E_OPZIONI"))
                       .set("MG5E_DITTA_CG18", number(a.company))
                       .set("MG5E_CODART_MG66", text(a.code))
                       .set("MG5E_OPZIONE", text(o.code))
                       .set("MG5E_DESCRIZIONE", text(o.description))
                       .sql();
            sql << descriptionInsert(a, o.code, o.description);
        }
    }
    return sql;
}

QStringList listInserts(const QDate& today) {
    QStringList sql;
    for (const DemoList& l : demoLists(today)) {
        sql << Insert(QStringLiteral("MG44_PARMAGLIST"))
                   .set("MG44_DITTA_CG18", number(l.company))
                   .set("MG44_FLGVENACQ", number(l.side))
                   .set("MG44_NUMLIST", number(l.number))
                   .set("MG44_DESCLIST", text(l.description))
                   .set("MG44_FLGCREAZVELOCE", number(l.quickCreation ? 1 : 0))
                   .set("MG44_FLGRICHPREZZO", number(l.askPrice))
                   .set("MG44_NUMSCPERC", number(l.discounts))
                   .set("MG44_FLGRICHSCIMP", number(l.askDiscountAmount))
                   .set("MG44_NUMMAGPERC", number(l.surcharges))
                   .set("MG44_FLGRICHMAGIMP", number(l.askSurchargeAmount))
                   .set("MG44_PERCPROV", number(l.commission))
                   .set("MG44_INDPROPDATAINI", number(l.startIndicator))
                   .set("MG44_PROPDATAINI", date(l.fixedStart))
                   .set("MG44_INDPROPDATAFINE", number(l.endIndicator))
                   .set("MG44_PROPDATAFINE", date(l.fixedEnd))
                   .set("MG44_VALUTA_CG08", text(l.currency))
                   .set("MG44_NUMLISTACQRIC", number(l.baseList))
                   .set("MG44_RICDEFAULT", number(l.defaultMarkup))
                   .set("MG44_INDMODRICZERO", number(l.zeroMarkupMode))
                   .set("MG44_FLGIVACOMPR", number(l.vatIncluded))
                   .set("MG44_INDARRPREZZO", number(l.roundingMode))
                   .set("MG44_SCAGL_MG02", number(l.bracket))
                   .sql();
    }
    return sql;
}

QString priceRowInsert(const DemoPriceRow& r) {
    static const char* discountColumns[6] = {"LI10_SC1PER", "LI10_SC2PER", "LI10_SC3PER",
                                             "LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER"};
    Insert insert(QStringLiteral("LI10_LISTARTIC"));
    insert.set("LI10_DITTA_CG18", number(r.company))
        .set("LI10_FLGUSODECOR", number(0))
        .set("LI10_FLGVENDACQ", number(r.side))
        .set("LI10_INDTIPOLIS", number(0))
        .set("LI10_CODART_MG66", text(r.article))
        .set("LI10_OPZIONE_MG5E", text(r.option))
        .set("LI10_DEPOS_MG58", text(QString()))
        .set("LI10_NUMLIST", number(r.list))
        .set("LI10_DATAINIZIOVAL", date(r.start))
        .set("LI10_DATAFINEVAL", date(r.end))
        .set("LI10_FLGLIST", number(1))
        .set("LI10_PREZZO", number(r.price));
    for (int i = 0; i < 6; ++i)
        insert.set(discountColumns[i], number(r.discounts[i]));
    const bool commission = !r.commission.isEmpty() && !rt::Decimal::parse(r.commission)->isZero();
    insert.set("LI10_SCIMP", number(r.discountAmount))
        .set("LI10_MAG1PER", number(r.surcharge1))
        .set("LI10_MAG2PER", number(r.surcharge2))
        .set("LI10_MAGIMP", number(r.surchargeAmount))
        .set("LI10_PERRICDELTA", number(r.markup))
        .set("LI10_INDRICALPR", number(0))
        .set("LI10_INDARROT", number(r.rounded))
        .set("LI10_SCAGL_MG02", number(r.bracket))
        .set("LI10_FLGPROVV", number(commission ? 1 : 0))
        .set("LI10_PROVPER", number(r.commission))
        .set("LI10_PROVIMP", number(0))
        .set("LI10_PROVVSC_PA10", u"NULL"_qs)
        .set("LI10_DATACREAZ", date(r.created))
        .set("LI10_DATAULTAGG", date(r.lastUpdate))
        .set("LI10_FLGVARIATO", number(0))
        .set("LI10_INDTIPOVAR", number(0))
        .set("LI10_DATASTLIS", u"NULL"_qs)
        .set("LI10_NUMPAGST", number(0))
        .set("LI10_BVMBASE", number(0))
        .set("LI10_BVMVAR", number(0))
        .set("LI10_BVMMOLT", number(0))
        .set("LI10_FLGPERSON", number(0))
        .set("LI10_LIBEROVAL", number(0))
        .set("LI10_IDMEDIA_CG99", number(r.media))
        .set("LI10_INDUM", number(1))
        .set("LI10_NOTE", textOrNull(r.note))
        .set("LI10_LASTCHANGE", date(r.lastUpdate));
    return insert.sql();
}

QStringList demoInserts(const QDate& today) {
    QStringList sql =
        vatInserts() + bracketInserts() + mediaInserts() + articleInserts() + listInserts(today);
    for (const DemoPriceRow& r : demoPriceRows(today))
        sql << priceRowInsert(r);
    return sql;
}

void executeAll(host::Connection& connection, const QStringList& statements) {
    for (const QString& statement : statements)
        connection.Execute(statement);
}

} // namespace

void dropDemoTables(host::Connection& connection) {
    for (const QString& table : schemaTableNames())
        connection.Execute(QStringLiteral("DROP TABLE IF EXISTS ") + table);
}

void createDemoDatabase(host::Connection& connection, const QDate& today) {
    dropDemoTables(connection);
    executeAll(connection, schemaStatements());
    // One transaction: a file database otherwise syncs after every row.
    connection.Execute(QStringLiteral("BEGIN TRANSACTION"));
    try {
        executeAll(connection, demoInserts(today));
    } catch (...) {
        connection.Execute(QStringLiteral("ROLLBACK TRANSACTION"));
        throw;
    }
    connection.Execute(QStringLiteral("COMMIT TRANSACTION"));
}

bool hasDemoDatabase(host::Connection& connection) {
    try {
        auto rs = connection.Execute(
            QStringLiteral("SELECT COUNT(*) AS N FROM MG44_PARMAGLIST WHERE MG44_DITTA_CG18 = 1"));
        return rt::CLng(rs->Fields(0).Value()) > 0;
    } catch (const rt::Error&) {
        return false;
    }
}

// ---- summary ----

namespace {

QString fieldText(host::Recordset& rs, const char* name) {
    const rt::Variant v = rs.Fields(QString::fromLatin1(name)).Value();
    if (v.isNull() || v.isEmpty())
        return {};
    return rt::CStr(v).trimmed();
}

int count(host::Connection& connection, const QString& sql) {
    auto rs = connection.Execute(sql);
    return rt::CLng(rs->Fields(0).Value());
}

QString articlesLine(host::Connection& connection, const QString& company) {
    const int articles =
        count(connection,
              u"SELECT COUNT(*) AS N FROM MG66_ANAGRART WHERE MG66_DITTA_CG18 = "_qs + company);
    auto rs =
        connection.Execute(u"SELECT MG66_CODART FROM MG66_ANAGRART WHERE MG66_DITTA_CG18 = "_qs +
                           company + u" ORDER BY MG66_CODART"_qs);
    QStringList codes;
    for (; !rs->IsEOF() && codes.size() < 5; rs->MoveNext())
        codes << fieldText(*rs, "MG66_CODART");
    QString line = QStringLiteral("  Articoli: %1").arg(articles);
    if (!codes.isEmpty())
        line += QStringLiteral(" (%1%2)").arg(codes.join(QStringLiteral(", ")),
                                              articles > codes.size() ? u", ..."_qs : QString());
    const int withOptions =
        count(connection, u"SELECT COUNT(*) AS N FROM MG66_ANAGRART WHERE MG66_FLGOPZIONI = 1 AND "
                          "MG66_DITTA_CG18 = "_qs +
                              company);
    return line + QStringLiteral("\n  Articoli con varianti: %1\n").arg(withOptions);
}

QString listsBlock(host::Connection& connection, const QString& company, int side) {
    auto rs = connection.Execute(u"SELECT * FROM MG44_PARMAGLIST WHERE MG44_DITTA_CG18 = "_qs +
                                 company + u" AND MG44_FLGVENACQ = "_qs + QString::number(side) +
                                 u" ORDER BY MG44_NUMLIST"_qs);
    QStringList lines;
    for (; !rs->IsEOF(); rs->MoveNext()) {
        QString line = QStringLiteral("    %1  %2  %3")
                           .arg(fieldText(*rs, "MG44_NUMLIST"), 3)
                           .arg(fieldText(*rs, "MG44_DESCLIST"), -40)
                           .arg(fieldText(*rs, "MG44_VALUTA_CG08"));
        if (fieldText(*rs, "MG44_FLGCREAZVELOCE") != u"1")
            line += QStringLiteral("  (esclusa dalla creazione veloce)");
        lines << line;
    }
    const QString title = side == PurchaseSide ? QStringLiteral("Listini di acquisto")
                                               : QStringLiteral("Listini di vendita");
    QString block = QStringLiteral("  %1: %2\n").arg(title).arg(lines.size());
    for (const QString& line : lines)
        block += line + u'\n';
    return block;
}

QString storedRowsLine(host::Connection& connection, const QString& company) {
    const QString where = u" FROM LI10_LISTARTIC WHERE LI10_DITTA_CG18 = "_qs + company;
    const int all = count(connection, u"SELECT COUNT(*) AS N"_qs + where);
    const int purchase =
        count(connection, u"SELECT COUNT(*) AS N"_qs + where + u" AND LI10_FLGVENDACQ = 1"_qs);
    return QStringLiteral("  Righe di listino memorizzate: %1 (%2 di acquisto, %3 di vendita)\n")
        .arg(all)
        .arg(purchase)
        .arg(all - purchase);
}

} // namespace

QString demoSummary(host::Connection& connection) {
    QStringList companies;
    auto rs = connection.Execute(QStringLiteral(
        "SELECT DISTINCT MG44_DITTA_CG18 FROM MG44_PARMAGLIST ORDER BY MG44_DITTA_CG18"));
    for (; !rs->IsEOF(); rs->MoveNext())
        companies << fieldText(*rs, "MG44_DITTA_CG18");
    QString summary;
    for (const QString& company : companies) {
        summary += QStringLiteral("Ditta %1\n").arg(company);
        summary += articlesLine(connection, company);
        summary += listsBlock(connection, company, PurchaseSide);
        summary += listsBlock(connection, company, SalesSide);
        summary += storedRowsLine(connection, company);
    }
    return summary;
}

QString defaultDemoDatabasePath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QStringLiteral("demo.sqlite"));
}

QString demoConnectionString(const QString& sqliteFile) {
    return QStringLiteral("Provider=SQLite;Data Source=") + sqliteFile;
}

} // namespace demo
