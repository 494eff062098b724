// The statements of the price-list storage, built alone: working tables, look-ups, working
// rows, and the UPDATE and INSERT that save a working row.
#include "host/services/number_formatter.h"
#include "storage/statements.h"
#include "storage/working_columns.h"
#include "tests/runtime/test_helpers.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using storage::SavedRow;

QString decimalDB(const rt::Variant& v) {
    host::NumberFormatter formatter;
    return storage::decimalDbText(formatter, v);
}

// One line, every column NULL; the columns LI10_LISTARTIC also has keep its declared type and
// default (db/schema.sqlserver.sql); VALUTA and PREZZO_NETTO are the working table's own.
TEST(WorkingTableStatements, CreateDeclaresTheColumnsAsLI10DoesOnOneLine) {
    QFile file(QStringLiteral(PREZZOLAMPO_SOURCE_DIR "/db/schema.sqlserver.sql"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    // The working table's own columns, declared as the schema would declare them.
    const QString schema = QString::fromUtf8(file.readAll()) +
                           u"[VALUTA] [char](4) NULL,[PREZZO_NETTO] [decimal](17, 6) NULL,"_qs;
    const QString create = storage::createWorkingTableSql(u"##LISVEN_T"_qs);
    ASSERT_TRUE(create.startsWith(u"CREATE TABLE ##LISVEN_T    (     ["_qs))
        << create.toStdString();
    ASSERT_TRUE(create.endsWith(u", )"_qs) && !create.contains(u'\n')) << create.toStdString();
    static const QRegularExpression item(
        u"     \\[(\\w+)\\] (\\[\\w+\\](?:\\(\\d+(?:, \\d+)?\\))?) NULL([^,]*),"_qs);
    QStringList names;
    for (const QRegularExpressionMatch& m : item.globalMatch(create)) {
        const QString name = m.captured(1);
        SCOPED_TRACE(name.toStdString());
        names << name;
        const QRegularExpression declared(u"\\["_qs + name +
                                          u"\\] (\\S+(?:, \\d+\\))?) (?:NOT )?NULL([^,\\n]*),"_qs);
        const QRegularExpressionMatch d = declared.match(schema);
        ASSERT_TRUE(d.hasMatch());
        EXPECT_EQ(m.captured(2), d.captured(1));
        EXPECT_EQ(m.captured(3), d.captured(2));
    }
    EXPECT_EQ(names.size(), 48);
}

TEST(LookupStatements, GetListinoAndEsisteListinoAskForOneListArticleOptionAndPeriod) {
    const struct {
        const char* name;
        std::int16_t side;
        QString article, option;
        std::int16_t list;
        QString first, last, getListino, esisteListino;
    } cases[] = {
        {"sales list", 0, "VITI-INOX-4X40", "", 2, "01/03/2024", "31/03/2024",
         "SELECT * FROM LI10_LISTARTIC WHERE  LI10_DITTA_CG18 = 1 AND LI10_FLGUSODECOR = 0 AND "
         "LI10_FLGVENDACQ =0 AND LI10_INDTIPOLIS = 0 AND LI10_CODART_MG66 = 'VITI-INOX-4X40' AND "
         "LI10_OPZIONE_MG5E = '' AND LI10_DEPOS_MG58 = '' AND LI10_NUMLIST = 2 AND "
         "LI10_DATAINIZIOVAL = '20240301' AND LI10_DATAFINEVAL = '20240331'",
         "SELECT * FROM LI10_LISTARTIC WHERE LI10_DITTA_CG18 = 1 AND LI10_FLGVENDACQ =0 AND "
         "LI10_INDTIPOLIS = 0 AND LI10_FLGUSODECOR = 0 AND LI10_CODART_MG66 = 'VITI-INOX-4X40' AND "
         "LI10_OPZIONE_MG5E = '' AND LI10_DEPOS_MG58 = '' AND LI10_NUMLIST = 2 AND "
         "LI10_DATAINIZIOVAL = '20240301' AND LI10_DATAFINEVAL = '20240331'"},
        {"quotes doubled, list 0 left out of the question", 1, "D'ANGELO", "L'UNO", 0, "1/1/2024",
         "",
         "SELECT * FROM LI10_LISTARTIC WHERE  LI10_DITTA_CG18 = 1 AND LI10_FLGUSODECOR = 0 AND "
         "LI10_FLGVENDACQ =1 AND LI10_INDTIPOLIS = 0 AND LI10_CODART_MG66 = 'D''ANGELO' AND "
         "LI10_OPZIONE_MG5E = 'L''UNO' AND LI10_DEPOS_MG58 = '' AND LI10_NUMLIST = 0 AND "
         "LI10_DATAINIZIOVAL = '20240101' AND LI10_DATAFINEVAL = ''",
         "SELECT * FROM LI10_LISTARTIC WHERE LI10_DITTA_CG18 = 1 AND LI10_FLGVENDACQ =1 AND "
         "LI10_INDTIPOLIS = 0 AND LI10_FLGUSODECOR = 0 AND LI10_CODART_MG66 = 'D''ANGELO' AND "
         "LI10_OPZIONE_MG5E = 'L''UNO' AND LI10_DEPOS_MG58 = '' AND "
         "LI10_DATAINIZIOVAL = '20240101' AND LI10_DATAFINEVAL = ''"},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(storage::getListinoSql(u"1"_qs, c.side, c.article, c.option, rt::Variant(c.list),
                                         c.first, c.last),
                  c.getListino);
        EXPECT_EQ(storage::esisteListinoSql(u"1"_qs, c.side, c.article, c.option, c.list, c.first,
                                            c.last),
                  c.esisteListino);
    }
}

const QString workingHead =
    u"INSERT INTO ##LISVEN_T\r\n(\r\nLI10_DITTA_CG18,LI10_FLGUSODECOR,LI10_FLGVENDACQ,"
    "LI10_INDTIPOLIS,LI10_CODART_MG66,LI10_OPZIONE_MG5E,LI10_DEPOS_MG58,LI10_NUMLIST,VALUTA,"
    "LI10_DATAINIZIOVAL,LI10_DATAFINEVAL,LI10_FLGLIST,LI10_PREZZO,LI10_SC1PER,LI10_SC2PER,"
    "LI10_SC3PER,LI10_SC4PER,LI10_SC5PER,LI10_SC6PER,LI10_SCIMP,LI10_MAG1PER,LI10_MAG2PER,"
    "LI10_MAGIMP,LI10_PERRICDELTA,LI10_INDRICALPR,LI10_INDARROT,LI10_SCAGL_MG02,LI10_FLGPROVV,"
    "LI10_PROVPER,LI10_PROVIMP,LI10_PROVVSC_PA10,LI10_DATACREAZ,LI10_DATAULTAGG,LI10_FLGVARIATO,"
    "LI10_INDTIPOVAR,LI10_DATASTLIS,LI10_NUMPAGST,LI10_BVMBASE,LI10_BVMVAR,LI10_BVMMOLT,"
    "LI10_FLGPERSON,LI10_LIBEROVAL,LI10_IDMEDIA_CG99,LI10_INDUM,LI10_NOTE,PREZZO_NETTO\r\n"
    ")\r\n VALUES \r\n(\r\n"_qs;

TEST(WorkingRowStatements, NewRowTakesTheListsDefaultsAndItsCommission) {
    const struct {
        rt::Variant commission;
        const char* flagAndPercent;
    } cases[] = {
        {rt::Variant::null(), " 0 ,  0 , "}, {dec("0"), " 1 , 0, "}, {dec("2.5"), " 1 , 2.5, "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flagAndPercent);
        const storage::NewWorkingRow row{
            u"1"_qs,          dec("0"),         u"VITI-INOX-4X40 "_qs,
            u"L'UNO"_qs,      dec("3"),         rt::Variant(u"EURO"_qs),
            u"05/03/2024"_qs, u"31/12/2099"_qs, c.commission,
            QDate(2024, 3, 5)};
        const QString expected =
            workingHead +
            u"1, 0, 0, 0, 'VITI-INOX-4X40', 'L''UNO', ' ', 3, 'EURO', '20240305', '20991231', 1, "_qs +
            u"0, "_qs.repeated(15) + QString::fromLatin1(c.flagAndPercent) +
            u" 0 ,  NULL, '20240305', '20240305',  0 ,  0 ,  NULL , "_qs + u" 0 , "_qs.repeated(7) +
            u" 1 ,  NULL ,  0 \r\n) "_qs;
        EXPECT_EQ(storage::insertNewWorkingRowSql(u"##LISVEN_T"_qs, row), expected);
    }
}

QHash<QString, rt::Variant> storedRow() {
    QHash<QString, rt::Variant> r;
    for (const auto& column : storage::workingColumns)
        r.insert(QString::fromLatin1(column.name), dec("0"));
    for (const char* null : {"VALUTA", "PREZZO_NETTO", "LI10_PROVIMP", "LI10_PROVVSC_PA10",
                             "LI10_DATASTLIS", "LI10_LASTCHANGE", "LI10_FLGDACONF"})
        r[QLatin1String(null)] = rt::Variant::null();
    // clang-format off
    const std::pair<const char*, rt::Variant> values[] = {
        {"LI10_DITTA_CG18", dec("1")}, {"LI10_CODART_MG66", u"D'ANGELO                 "_qs},
        {"LI10_OPZIONE_MG5E", u"                    "_qs}, {"LI10_DEPOS_MG58", u"  "_qs},
        {"LI10_NUMLIST", dec("2")}, {"LI10_DATAINIZIOVAL", QDate(2024, 3, 1)},
        {"LI10_DATAFINEVAL", QDate(2024, 3, 31)}, {"LI10_FLGLIST", dec("1")},
        {"LI10_PREZZO", dec("9.450000")}, {"LI10_SC1PER", dec("5.000")},
        {"LI10_PERRICDELTA", dec("25.000")}, {"LI10_INDARROT", dec("1")},
        {"LI10_SCAGL_MG02", dec("1")}, {"LI10_FLGPROVV", dec("1")}, {"LI10_PROVPER", dec("5.000")},
        {"LI10_DATACREAZ", QDate(2024, 2, 24)}, {"LI10_DATAULTAGG", QDate(2024, 2, 29)},
        {"LI10_INDUM", dec("1")}, {"LI10_NOTE", u"Prezzo dell'agente"_qs}};
    // clang-format on
    for (const auto& [column, value] : values)
        r[QLatin1String(column)] = value;
    return r;
}

TEST(WorkingRowStatements, StoredRowIsCopiedWithTodayAsLastChangeAndTheListsCurrency) {
    // Every discount, surcharge and amount its own value: a column copied into another shows.
    QHash<QString, rt::Variant> r = storedRow();
    int n = 2;
    for (const char* column :
         {"LI10_SC2PER", "LI10_SC3PER", "LI10_SC4PER", "LI10_SC5PER", "LI10_SC6PER", "LI10_SCIMP",
          "LI10_MAG1PER", "LI10_MAG2PER", "LI10_MAGIMP", "LI10_INDRICALPR"})
        r[QLatin1String(column)] = dec(QByteArray::number(n++).append(".50").constData());
    storage::StoredWorkingRow row{[&](const QString& c) { return r.value(c); },
                                  rt::Variant(u"EURO"_qs), dec("8.977500"), QDate(2024, 3, 5)};
    const QString expected =
        workingHead +
        u"1, 0, 0, 0, 'D''ANGELO                 ', '                    ', '  ', 2, 'EURO', "
        "'20240301', '20240331', 1, 9.45, 5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, 10.5, 25, "
        "11.5, 1, "
        "1, 1, 5, NULL, NULL, '20240224', '20240305', 0, 0, '', 0, 0, 0, 0, 0, 0, 0, 1, "
        "'Prezzo dell''agente', 8.9775\r\n)\r\n"_qs;
    EXPECT_EQ(storage::insertStoredWorkingRowSql(u"##LISVEN_T"_qs, row), expected);
}

SavedRow savedRow(const QHash<QString, rt::Variant>& values) {
    SavedRow row;
    for (const auto& column : storage::workingColumns)
        row.append(values.value(QString::fromLatin1(column.name), rt::Variant::null()));
    return row;
}

QHash<QString, rt::Variant> editedRow() {
    QHash<QString, rt::Variant> r = storedRow();
    r[u"LI10_CODART_MG66"_qs] = u"VITI-INOX-4X40           "_qs;
    r[u"VALUTA"_qs] = u"EURO"_qs;
    r[u"PREZZO_NETTO"_qs] = dec("10.900000");
    r[u"LI10_PREZZO"_qs] = dec("12.5");
    r[u"LI10_SC1PER"_qs] = dec("12.3456");
    r[u"LI10_SCIMP"_qs] = dec("1.5");
    r[u"LI10_DATACREAZ"_qs] = QDate(2024, 2, 1);
    r[u"LI10_DATAULTAGG"_qs] = QDate(2024, 3, 5);
    r[u"LI10_NOTE"_qs] = u"Nota dell'agente"_qs;
    r[u"LI10_FLGDACONF"_qs] = dec("7");
    return r;
}

TEST(SaveStatements, UpdateSetsFromTheFourthColumnAndKeysOnTheTenKeyValues) {
    const QString expected =
        u" UPDATE LI10_LISTARTIC SET LI10_INDTIPOLIS = 0, LI10_CODART_MG66 = 'VITI-INOX-4X40', "
        "LI10_OPZIONE_MG5E ='', LI10_DEPOS_MG58 ='', LI10_NUMLIST = 2, "
        "LI10_DATAFINEVAL = '20240331', LI10_DATAINIZIOVAL = '20240301', LI10_FLGLIST = 1, "
        "LI10_PREZZO = 12.5, LI10_SC1PER = 12.346, LI10_SC2PER = 0, LI10_SC3PER = 0, "
        "LI10_SC4PER = 0, LI10_SC5PER = 0, LI10_SC6PER = 0, LI10_SCIMP = 1.5, LI10_MAG1PER = 0, "
        "LI10_MAG2PER = 0, LI10_MAGIMP = 0, LI10_PERRICDELTA = 25, LI10_INDRICALPR = 0, "
        "LI10_INDARROT = 1, LI10_SCAGL_MG02 = 1, LI10_FLGPROVV = 1, LI10_PROVPER = 5, "
        "LI10_PROVIMP = NULL , LI10_PROVVSC_PA10 = NULL , LI10_DATACREAZ = '20240201', "
        "LI10_DATAULTAGG = '20240305', LI10_FLGVARIATO = 0, LI10_INDTIPOVAR = 0, "
        "LI10_DATASTLIS = '', LI10_NUMPAGST = 0, LI10_BVMBASE = 0, LI10_BVMVAR = 0, "
        "LI10_BVMMOLT = 0, LI10_FLGPERSON = 0, LI10_LIBEROVAL = 0, LI10_IDMEDIA_CG99 = 0, "
        "LI10_INDUM = 1, LI10_NOTE = 'Nota dell''agente', LI10_LASTCHANGE = '' WHERE  "
        "LI10_DITTA_CG18 = 1 AND LI10_FLGUSODECOR = 0 AND LI10_FLGVENDACQ = 0 AND "
        "LI10_INDTIPOLIS = 0 AND LI10_CODART_MG66 ='VITI-INOX-4X40' AND LI10_OPZIONE_MG5E ='' "
        "AND LI10_DEPOS_MG58 = '' AND LI10_NUMLIST = 2 AND LI10_DATAINIZIOVAL = '20240301' AND "
        "LI10_DATAFINEVAL = '20240331'"_qs;
    EXPECT_EQ(storage::updateListinoSql(savedRow(editedRow()), decimalDB), expected);
}

TEST(SaveStatements, InsertNamesFortyFiveColumnsAndForcesListFlagUnitNoteAndCode) {
    const QString expected =
        u" INSERT INTO LI10_LISTARTIC  (LI10_DITTA_CG18, LI10_FLGUSODECOR, LI10_FLGVENDACQ, "
        "LI10_INDTIPOLIS, LI10_CODART_MG66, LI10_OPZIONE_MG5E, LI10_DEPOS_MG58, LI10_NUMLIST, "
        "LI10_DATAFINEVAL, LI10_DATAINIZIOVAL, LI10_FLGLIST, LI10_PREZZO, LI10_SC1PER, "
        "LI10_SC2PER, LI10_SC3PER, LI10_SC4PER, LI10_SC5PER, LI10_SC6PER, LI10_SCIMP, "
        "LI10_MAG1PER, LI10_MAG2PER, LI10_MAGIMP, LI10_PERRICDELTA, LI10_INDRICALPR, "
        "LI10_INDARROT, LI10_SCAGL_MG02, LI10_FLGPROVV, LI10_PROVPER, LI10_PROVIMP, "
        "LI10_PROVVSC_PA10, LI10_DATACREAZ, LI10_DATAULTAGG, LI10_FLGVARIATO, LI10_INDTIPOVAR, "
        "LI10_DATASTLIS, LI10_NUMPAGST, LI10_BVMBASE, LI10_BVMVAR, LI10_BVMMOLT, LI10_FLGPERSON, "
        "LI10_LIBEROVAL, LI10_IDMEDIA_CG99, LI10_INDUM, LI10_NOTE, LI10_LASTCHANGE ) VALUES  "
        "(1, 0, 0, 0, 'VITI-INOX-4X40', '', '', 2, '20240331', '20240301', 1, 12.5, 12.346, 0, "
        "0, 0, 0, 0, 1.5, 0, 0, 0, 25, 0, 1, 1, 1, 5, NULL,  NULL , '20240201', "
        "'20240305', 0, 0, '', 0, 0, 0, 0, 0, 0, 0, 1,  NULL , '' )"_qs;
    QHash<QString, rt::Variant> r = editedRow();
    r[u"LI10_FLGLIST"_qs] = dec("0");
    r[u"LI10_INDUM"_qs] = rt::Variant::null();
    r[u"LI10_PROVVSC_PA10"_qs] = u"PA"_qs;
    EXPECT_EQ(storage::insertListinoSql(savedRow(r), decimalDB), expected);
}

TEST(SaveStatements, EachColumnIsWrittenByTheFirstRuleThatApplies) {
    const struct {
        const char* column;
        rt::Variant value;
        QString updateItem; // in the UPDATE's SET list
        QString insertValue;
    } cases[] = {
        // clang-format off
        {"LI10_OPZIONE_MG5E", rt::Variant::null(), "LI10_OPZIONE_MG5E =''", "''"},
        {"LI10_OPZIONE_MG5E", u"L'UNO  "_qs, "LI10_OPZIONE_MG5E = 'L''UNO'", "'L''UNO'"},
        {"LI10_CODART_MG66", u"D'ANGELO  "_qs, "LI10_CODART_MG66 = 'D''ANGELO'", "'D''ANGELO'"},
        {"LI10_MAG2PER", dec("1234.5"), "LI10_MAG2PER = 1.2345", "1.2345"}, // above 1000: divided
        {"LI10_SC3PER", rt::Variant::null(), "LI10_SC3PER = ", ""},         // no number
        {"LI10_MAGIMP", u"12,5"_qs, "LI10_MAGIMP = 12.5", "12.5"},          // through DecimalDB
        {"LI10_SCIMP", rt::Variant::null(), "LI10_SCIMP = 0", "0"},         // through DecimalDB
        {"LI10_SCAGL_MG02", rt::Variant::null(), "LI10_SCAGL_MG02 = 0", "0"}, // a whole number
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.updateItem.toStdString());
        QHash<QString, rt::Variant> r = editedRow();
        r[QLatin1String(c.column)] = c.value;
        const SavedRow row = savedRow(r);
        const QString update = storage::updateListinoSql(row, decimalDB);
        EXPECT_TRUE(update.contains(u"SET "_qs + c.updateItem + u", "_qs) ||
                    update.contains(u", "_qs + c.updateItem + u", "_qs))
            << update.toStdString();

        const QString insert = storage::insertListinoSql(row, decimalDB);
        const QStringList names =
            insert.section(u" ("_qs, 1, 1).section(u" )"_qs, 0, 0).split(u", "_qs);
        // The value list splits cleanly: no test value holds ", ".
        const QStringList items = insert.section(u"VALUES  ("_qs, 1).chopped(2).split(u", "_qs);
        ASSERT_EQ(items.size(), names.size()) << insert.toStdString();
        EXPECT_EQ(items[names.indexOf(QLatin1String(c.column))], c.insertValue);
    }
}

} // namespace
