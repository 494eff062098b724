#include "storage/statements.h"

#include "host/data/sql_literal.h"
#include "host/services/number_formatter.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"
#include "storage/form_utilities.h"
#include "storage/working_columns.h"

#include <QStringList>

namespace storage {

namespace {

QString nameOf(const WorkingColumn& column) {
    return QString::fromLatin1(column.name.data(), qsizetype(column.name.size()));
}

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString dateLiteral(const rt::Variant& value) {
    return u'\'' + DataSql(value) + u'\'';
}

} // namespace

QString rawText(const rt::Variant& value) {
    if (value.isNull() || value.isEmpty())
        return {};
    return rt::CStr(value);
}

// ---- Working tables ----

QString dropWorkingTableSql(const QString& table) {
    return u"IF NOT OBJECT_ID('tempdb.."_qs + table + u"') IS NULL DROP TABLE "_qs + table;
}

QString createWorkingTableSql(const QString& table) {
    QString sql = u"CREATE TABLE "_qs + table + u"    ("_qs;
    for (const WorkingColumn& column : workingColumns)
        sql += u"     ["_qs + nameOf(column) + u"] "_qs + latin1(column.declaredType) + u' ' +
               latin1(column.options) + u',';
    return sql + u" )"_qs;
}

QString selectWorkingTableSql(const QString& table) {
    return u"SELECT * FROM "_qs + table;
}

QString workingTableOfSelect(const QString& select) {
    const QString head = selectWorkingTableSql(QString());
    const QString table = select.startsWith(head) ? select.mid(head.size()) : QString();
    return table.startsWith(u"##"_qs) ? table : QString();
}

// ---- Look-ups ----

QString getListinoSql(const QString& company, std::int16_t side, const QString& article,
                      const QString& option, const rt::Variant& listNumber, const QString& firstDay,
                      const QString& lastDay) {
    return u"SELECT * FROM LI10_LISTARTIC WHERE "_qs + u" LI10_DITTA_CG18 = "_qs + company +
           u" AND LI10_FLGUSODECOR = 0"_qs + u" AND LI10_FLGVENDACQ ="_qs + QString::number(side) +
           u" AND LI10_INDTIPOLIS = 0"_qs + u" AND LI10_CODART_MG66 = '"_qs +
           host::escapeSqlText(article) + u"'"_qs + u" AND LI10_OPZIONE_MG5E = '"_qs +
           host::escapeSqlText(option) + u"'"_qs + u" AND LI10_DEPOS_MG58 = ''"_qs +
           u" AND LI10_NUMLIST = "_qs + rawText(listNumber) + u" AND LI10_DATAINIZIOVAL = '"_qs +
           DataSql(firstDay) + u"'"_qs + u" AND LI10_DATAFINEVAL = '"_qs + DataSql(lastDay) +
           u"'"_qs;
}

QString esisteListinoSql(const QString& company, std::int16_t side, const QString& article,
                         const QString& option, std::int16_t listNumber, const QString& firstDay,
                         const QString& lastDay) {
    QString sql = u"SELECT * FROM LI10_LISTARTIC WHERE"_qs + u" LI10_DITTA_CG18 = "_qs + company;
    sql += u" AND LI10_FLGVENDACQ ="_qs + QString::number(side);
    sql += u" AND LI10_INDTIPOLIS = 0"_qs + u" AND LI10_FLGUSODECOR = 0"_qs;
    sql += u" AND LI10_CODART_MG66 = '"_qs + host::escapeSqlText(article) + u"'"_qs +
           u" AND LI10_OPZIONE_MG5E = '"_qs + host::escapeSqlText(option) + u"'"_qs +
           u" AND LI10_DEPOS_MG58 = ''"_qs;
    if (listNumber != 0)
        sql += u" AND LI10_NUMLIST = "_qs + QString::number(listNumber);
    // An empty day is compared with the empty literal, as the saver writes it: the look-up
    // asks for exactly the row that a save of the same working row would write.
    sql += u" AND LI10_DATAINIZIOVAL = '"_qs + DataSql(firstDay) + u"'"_qs;
    sql += u" AND LI10_DATAFINEVAL = '"_qs + DataSql(lastDay) + u"'"_qs;
    return sql;
}

// ---- One read for a whole load ----

QString storedListsOfLoadSql(const QString& company, std::int16_t side, const QString& article,
                             const QString& option, const QList<ListPeriod>& lists) {
    // esisteListinoSql without its list and period, which follow per list.
    QString sql = esisteListinoSql(company, side, article, option, 0, QString(), QString());
    sql.truncate(sql.indexOf(u" AND LI10_DATAINIZIOVAL = "_qs));
    QStringList brackets;
    for (const ListPeriod& list : lists)
        brackets << u"(LI10_NUMLIST = "_qs + QString::number(list.listNumber) +
                        u" AND LI10_DATAINIZIOVAL = '"_qs + DataSql(list.firstDay) +
                        u"' AND LI10_DATAFINEVAL = '"_qs + DataSql(list.lastDay) + u"')"_qs;
    return sql + u" AND ("_qs + brackets.join(u" OR "_qs) + u')';
}

// ---- Working rows ----

namespace {

// The 46 columns of the working-row INSERT, in the order the statement names them.
const char* const workingInsertColumns[] = {
    "LI10_DITTA_CG18",  "LI10_FLGUSODECOR",   "LI10_FLGVENDACQ",   "LI10_INDTIPOLIS",
    "LI10_CODART_MG66", "LI10_OPZIONE_MG5E",  "LI10_DEPOS_MG58",   "LI10_NUMLIST",
    "VALUTA",           "LI10_DATAINIZIOVAL", "LI10_DATAFINEVAL",  "LI10_FLGLIST",
    "LI10_PREZZO",      "LI10_SC1PER",        "LI10_SC2PER",       "LI10_SC3PER",
    "LI10_SC4PER",      "LI10_SC5PER",        "LI10_SC6PER",       "LI10_SCIMP",
    "LI10_MAG1PER",     "LI10_MAG2PER",       "LI10_MAGIMP",       "LI10_PERRICDELTA",
    "LI10_INDRICALPR",  "LI10_INDARROT",      "LI10_SCAGL_MG02",   "LI10_FLGPROVV",
    "LI10_PROVPER",     "LI10_PROVIMP",       "LI10_PROVVSC_PA10", "LI10_DATACREAZ",
    "LI10_DATAULTAGG",  "LI10_FLGVARIATO",    "LI10_INDTIPOVAR",   "LI10_DATASTLIS",
    "LI10_NUMPAGST",    "LI10_BVMBASE",       "LI10_BVMVAR",       "LI10_BVMMOLT",
    "LI10_FLGPERSON",   "LI10_LIBEROVAL",     "LI10_IDMEDIA_CG99", "LI10_INDUM",
    "LI10_NOTE",        "PREZZO_NETTO",
};

QString workingInsertHead(const QString& table) {
    QString sql = u"INSERT INTO "_qs + table + QLatin1String(CrLf) + u'(' + QLatin1String(CrLf);
    const int last = int(std::size(workingInsertColumns)) - 1;
    for (int i = 0; i < last; ++i)
        sql += QLatin1String(workingInsertColumns[i]) + u',';
    sql += QLatin1String(workingInsertColumns[last]) + QLatin1String(CrLf);
    return sql + u')' + QLatin1String(CrLf) + u" VALUES "_qs + QLatin1String(CrLf) + u'(' +
           QLatin1String(CrLf);
}

// Value texts followed by their separators.
QString number(const QString& text) {
    return text + u", "_qs;
}
QString text(const QString& value) {
    return u'\'' + host::escapeSqlText(value) + u"', "_qs;
}
QString date(const rt::Variant& value) {
    return u'\'' + DataSql(value) + u"', "_qs;
}

} // namespace

QString insertNewWorkingRowSql(const QString& table, const NewWorkingRow& row) {
    const QString zero = u" 0 , "_qs;
    const bool withCommission = !NzStr(row.commission).isEmpty();
    QString v;
    v += number(row.company);
    v += number(u"0"_qs);
    v += number(rawText(row.side));
    v += number(u"0"_qs);
    v += text(NzStr(row.article));
    v += text(NzStr(row.option));
    v += u"' ', "_qs;
    v += number(rawText(row.listNumber));
    v += text(rawText(row.currency));
    v += date(row.firstDay);
    v += date(row.lastDay);
    v += number(u"1"_qs);
    for (int i = 13; i <= 27; ++i) // LI10_PREZZO ... LI10_SCAGL_MG02
        v += number(u"0"_qs);
    v += withCommission ? u" 1 , "_qs : zero;
    v += withCommission ? number(SqlStr(row.commission)) : zero;
    v += zero; // LI10_PROVIMP
    v += u" NULL, "_qs;
    v += date(row.today);
    v += date(row.today);
    v += zero + zero; // LI10_FLGVARIATO, LI10_INDTIPOVAR
    v += u" NULL , "_qs;
    for (int i = 37; i <= 43; ++i) // LI10_NUMPAGST ... LI10_IDMEDIA_CG99
        v += zero;
    v += u" 1 , "_qs;
    v += u" NULL , "_qs;
    v += u" 0 "_qs + QLatin1String(CrLf);
    return workingInsertHead(table) + v + u") "_qs;
}

QString mergedWorkingInsertSql(const QString& table, const QStringList& inserts) {
    const QString head = workingInsertHead(table);
    // The head ends with the first row's opening bracket: each row is that bracket and the rest.
    const qsizetype rowStart = head.size() - 1 - qsizetype(std::size(CrLf) - 1);
    QStringList rows;
    for (const QString& insert : inserts) {
        if (!insert.startsWith(head))
            return {};
        rows << insert.mid(rowStart);
    }
    return rows.isEmpty() ? QString() : head.left(rowStart) + rows.join(u", "_qs);
}

QString insertStoredWorkingRowSql(const QString& table, const StoredWorkingRow& row) {
    const auto r = [&](const char* column) { return row.stored(QLatin1String(column)); };
    QString v;
    for (const char* column :
         {"LI10_DITTA_CG18", "LI10_FLGUSODECOR", "LI10_FLGVENDACQ", "LI10_INDTIPOLIS"})
        v += number(rawText(r(column)));
    for (const char* column : {"LI10_CODART_MG66", "LI10_OPZIONE_MG5E", "LI10_DEPOS_MG58"})
        v += text(rawText(r(column)));
    v += number(rawText(r("LI10_NUMLIST")));
    v += text(rawText(row.currency));
    v += date(r("LI10_DATAINIZIOVAL"));
    v += date(r("LI10_DATAFINEVAL"));
    v += number(rawText(r("LI10_FLGLIST")));
    for (const char* column :
         {"LI10_PREZZO", "LI10_SC1PER", "LI10_SC2PER", "LI10_SC3PER", "LI10_SC4PER", "LI10_SC5PER",
          "LI10_SC6PER", "LI10_SCIMP", "LI10_MAG1PER", "LI10_MAG2PER", "LI10_MAGIMP",
          "LI10_PERRICDELTA", "LI10_INDRICALPR", "LI10_INDARROT"})
        v += number(SqlNum(r(column)));
    v += number(SqlStr(r("LI10_SCAGL_MG02")));
    for (const char* column : {"LI10_FLGPROVV", "LI10_PROVPER", "LI10_PROVIMP"})
        v += number(SqlNum(r(column)));
    const rt::Variant pa10 = r("LI10_PROVVSC_PA10");
    v += NzStr(pa10).isEmpty() ? u"NULL, "_qs : text(SqlStr(pa10));
    v += date(r("LI10_DATACREAZ"));
    v += date(row.today);
    v += number(SqlNum(r("LI10_FLGVARIATO")));
    v += number(SqlNum(r("LI10_INDTIPOVAR")));
    v += date(r("LI10_DATASTLIS"));
    for (const char* column :
         {"LI10_NUMPAGST", "LI10_BVMBASE", "LI10_BVMVAR", "LI10_BVMMOLT", "LI10_FLGPERSON",
          "LI10_LIBEROVAL", "LI10_IDMEDIA_CG99", "LI10_INDUM"})
        v += number(SqlNum(r(column)));
    const rt::Variant note = r("LI10_NOTE");
    v += NzStr(note).isEmpty() ? u"NULL, "_qs : text(rawText(note));
    v += SqlStr(row.netPrice) + QLatin1String(CrLf);
    return workingInsertHead(table) + v + u')' + QLatin1String(CrLf);
}

// ---- Saving ----

namespace {

enum class Statement { Update, Insert };

bool isBlankText(const QString& text) {
    return rt::Trim(text).isEmpty();
}

// A column's value in the SET list (after the column's name) or in the VALUES list.
QString savedValue(Statement statement, const WorkingColumn& column, const rt::Variant& value,
                   const DecimalText& decimalDB) {
    const std::string_view name = column.name;
    const bool update = statement == Statement::Update;
    const QString equals = update ? u" = "_qs : QString();
    const QString q = column.kind == ColumnKind::Text ? u"'"_qs : QString();
    const auto textOf = [&](const QString& t) { return q.isEmpty() ? t : host::escapeSqlText(t); };

    if (!update && (name == "LI10_FLGLIST" || name == "LI10_INDUM"))
        return u"1"_qs;
    if (name.starts_with("LI10_SC") || name.starts_with("LI10_MA")) {
        if (name == "LI10_SCAGL_MG02")
            return equals + rawText(NzDec(value));
        if (name == "LI10_MAGIMP" || name == "LI10_SCIMP")
            return equals + decimalDB(value);
        return equals + FmtNum3(value);
    }
    if (name == "LI10_CODART_MG66") {
        if (isBlankText(NzStr(value)))
            return update ? u" =''"_qs : u"''"_qs;
        return equals + q + textOf(NzStr(value)) + q;
    }
    if (name == "LI10_OPZIONE_MG5E" || name == "LI10_DEPOS_MG58") {
        if (isBlankText(NzStr(value)))
            return update ? u" =''"_qs : u"''"_qs;
        return equals + q + textOf(SqlStr(value)) + q;
    }
    if (!update && (name == "LI10_PROVVSC_PA10" || name == "LI10_NOTE"))
        return u" NULL "_qs;
    if (column.kind == ColumnKind::Date)
        return equals + dateLiteral(SqlStr(value));
    if (update && value.isNull())
        return u" = NULL "_qs;
    return equals + q + textOf(SqlStr(value)) + q;
}

const rt::Variant& valueAt(const SavedRow& row, std::string_view column) {
    return row.at(qsizetype(workingColumnIndex(column)));
}

// A key text of the WHERE clause. char values come back padded to their size; SQL Server
// and PostgreSQL ignore trailing blanks when they compare char values, SQLite does not, so
// the blanks are left out.
QString keyText(const SavedRow& row, std::string_view column) {
    return host::escapeSqlText(rt::RTrim(rawText(valueAt(row, column))));
}

void requireSavedColumns(const SavedRow& row) {
    if (row.size() < qsizetype(SavedColumnCount))
        throw rt::Error(rt::ErrInternal, u"Riga di lavoro incompleta"_qs);
}

} // namespace

QString updateListinoSql(const SavedRow& row, const DecimalText& decimalDB) {
    requireSavedColumns(row);
    QStringList items;
    for (std::size_t i = FirstUpdatedColumn; i < SavedColumnCount; ++i) {
        const WorkingColumn& column = workingColumns[i];
        if (isWorkingOnlyColumn(column.name))
            continue;
        items << nameOf(column) +
                     savedValue(Statement::Update, column, row.at(qsizetype(i)), decimalDB);
    }
    return u" UPDATE LI10_LISTARTIC SET "_qs + items.join(u", "_qs) + u" WHERE "_qs +
           u" LI10_DITTA_CG18 = "_qs + rawText(valueAt(row, "LI10_DITTA_CG18")) +
           u" AND LI10_FLGUSODECOR = "_qs + rawText(valueAt(row, "LI10_FLGUSODECOR")) +
           u" AND LI10_FLGVENDACQ = "_qs + rawText(valueAt(row, "LI10_FLGVENDACQ")) +
           u" AND LI10_INDTIPOLIS = "_qs + rawText(valueAt(row, "LI10_INDTIPOLIS")) +
           u" AND LI10_CODART_MG66 ='"_qs + keyText(row, "LI10_CODART_MG66") + u"'"_qs +
           u" AND LI10_OPZIONE_MG5E ='"_qs + keyText(row, "LI10_OPZIONE_MG5E") + u"'"_qs +
           u" AND LI10_DEPOS_MG58 = '"_qs + keyText(row, "LI10_DEPOS_MG58") + u"'"_qs +
           u" AND LI10_NUMLIST = "_qs + rawText(valueAt(row, "LI10_NUMLIST")) +
           u" AND LI10_DATAINIZIOVAL = '"_qs + DataSql(valueAt(row, "LI10_DATAINIZIOVAL")) +
           u"'"_qs + u" AND LI10_DATAFINEVAL = '"_qs + DataSql(valueAt(row, "LI10_DATAFINEVAL")) +
           u"'"_qs;
}

QString insertListinoSql(const SavedRow& row, const DecimalText& decimalDB) {
    requireSavedColumns(row);
    QStringList names;
    QStringList values;
    for (std::size_t i = 0; i < SavedColumnCount; ++i) {
        const WorkingColumn& column = workingColumns[i];
        if (isWorkingOnlyColumn(column.name))
            continue;
        names << nameOf(column);
        values << savedValue(Statement::Insert, column, row.at(qsizetype(i)), decimalDB);
    }
    return u" INSERT INTO LI10_LISTARTIC "_qs + u" ("_qs + names.join(u", "_qs) + u" )"_qs +
           u" VALUES "_qs + u" ("_qs + values.join(u", "_qs) + u" )"_qs;
}

QString decimalDbText(host::NumberFormatter& formatter, const rt::Variant& expression) {
    const rt::Variant x = NzDec(expression);
    formatter.setNumber(x);
    if (formatter.checkValue() == 0)
        return formatter.text();
    return rt::CStr(x).replace(u',', u'.');
}

} // namespace storage
