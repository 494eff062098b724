// Connection and Recordset on each backend, with the window's own SQL Server statements.
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "runtime/errors.h"
#include "storage/statements.h"
#include "storage/working_columns.h"
#include "tests/runtime/test_helpers.h"
#include "tests/support/pg_server.h"

#include <gtest/gtest.h>

namespace {

using host::Connection;
using host::Recordset;

class Backend : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        PREZZOLAMPO_CONNECTION_OR_SKIP(connectionString, QString::fromLatin1(GetParam()));
        connectionString_ = connectionString;
        db = std::make_shared<Connection>();
        db->Open(connectionString);
    }

    std::shared_ptr<Recordset> open(const QString& sql) {
        auto rs = std::make_shared<Recordset>();
        rs->Open(sql, *db);
        return rs;
    }

    void createWorkingTable(const QString& table) {
        db->Execute(storage::dropWorkingTableSql(table));
        db->Execute(storage::createWorkingTableSql(table));
    }

    // The loader's working row of a list without a stored row (CR LF shape, '' and NULL
    // values, blanks around numbers), then priced as given.
    void insertWorkingRow(const QString& table, const QString& article, int list,
                          const QString& price) {
        db->Execute(storage::insertNewWorkingRowSql(
            table,
            {u"1"_qs, dec("0"), article, QString(), rt::Decimal(list), rt::Variant(u"EUR"_qs),
             u"01/03/2024"_qs, QString(), rt::Variant::null(), QDate(2024, 2, 15)}));
        db->Execute(u"UPDATE "_qs + table + u" SET LI10_PREZZO = "_qs + price +
                    u" WHERE LI10_PREZZO = 0"_qs);
    }

    QString connectionString_;
    std::shared_ptr<Connection> db;
};

TEST_P(Backend, WorkingTableKeepsTheColumnsTypesAndTheLoadersValues) {
    createWorkingTable("##LISVEN_01");
    createWorkingTable("##LISVEN_01"); // a repeated name is dropped first
    insertWorkingRow("##LISVEN_01", "ART'1", 5, "0");
    auto rs = open("SELECT * FROM ##LISVEN_01");
    ASSERT_EQ(rs->RecordCount(), 1);
    ASSERT_EQ(rs->FieldCount(), 48);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(rs->Fields(i).Name().toStdString(), storage::workingColumns[i].name);
    // clang-format off
    const struct {
        const char* name;
        int type, precision, scale, size;
    } types[] = {
        {"LI10_DITTA_CG18", host::adNumeric, 5, 0, -1},
        {"LI10_CODART_MG66", host::adChar, -1, -1, 25},
        {"LI10_DATAFINEVAL", host::adDBTimeStamp, -1, -1, -1},
        {"LI10_PREZZO", host::adNumeric, 17, 6, -1},
        {"LI10_BVMMOLT", host::adNumeric, 10, 4, -1}, {"LI10_NOTE", host::adVarChar, -1, -1, 40},
        {"li10_flgdaconf", host::adSmallInt, -1, -1, -1}};
    const auto date = [](int y, int m, int d) {
        return rt::Variant(QDateTime(QDate(y, m, d), QTime(0, 0)));
    };
    const std::pair<const char*, rt::Variant> values[] = {
        {"LI10_DATAINIZIOVAL", date(2024, 3, 1)}, {"LI10_DATAFINEVAL", date(1900, 1, 1)},
        {"LI10_DATACREAZ", date(2024, 2, 15)}, {"LI10_DATASTLIS", rt::Variant::null()},
        {"LI10_NOTE", rt::Variant::null()}, {"LI10_PROVVSC_PA10", rt::Variant::null()},
        {"LI10_LASTCHANGE", rt::Variant::null()},
        {"LI10_CODART_MG66", QString("ART'1").leftJustified(25)},
        {"LI10_DEPOS_MG58", QString("  ")}, {"VALUTA", QString("EUR ")},
        {"LI10_NUMLIST", rt::Decimal(5)},
        {"LI10_INDUM", rt::Decimal(1)}, {"LI10_FLGDACONF", rt::Variant(std::int16_t(0))},
        {"LI10_PREZZO", rt::Decimal(0)}};
    // clang-format on
    for (const auto& e : types) {
        SCOPED_TRACE(e.name);
        host::Field f = rs->Fields(QString::fromLatin1(e.name));
        EXPECT_EQ(f.Type(), e.type);
        EXPECT_EQ(e.precision < 0 ? -1 : f.Precision(), e.precision);
        EXPECT_EQ(e.scale < 0 ? -1 : f.NumericScale(), e.scale);
        EXPECT_EQ(e.size < 0 ? -1 : f.DefinedSize(), e.size);
    }
    for (const auto& [column, expected] : values)
        EXPECT_EQ(rs->Fields(QString::fromLatin1(column)).Value(), expected) << column;
}

// The last two rows are identical until the recordset writes one of them: it names each row by
// its identity. Update writes only the current row, UpdateBatch every changed row.
TEST_P(Backend, RowsWrittenByStatementsAndRecordsetReadBackExactly) {
    const char* numbers[] = {"12345678901.123456",  "0.000001", "-0.5", "99999999999.999999",
                             "-12345678901.000001", "7",        "7"};
    const int last = int(std::size(numbers)) - 1;
    const QString note = u"l'ultima ''nota'' "_qs;
    createWorkingTable("##LISVEN_02");
    for (int i = 0; i <= last; ++i)
        insertWorkingRow("##LISVEN_02", "O'Brien", std::min(i, last - 1) + 1, numbers[i]);
    auto rs = open("SELECT * FROM ##LISVEN_02 ORDER BY LI10_NUMLIST");
    ASSERT_EQ(rs->RecordCount(), last + 1);
    for (int i = 0; i < last; ++i, rs->MoveNext()) {
        SCOPED_TRACE(numbers[i]);
        EXPECT_EQ(rs->Fields("LI10_PREZZO").Value(), rt::Variant(dec(numbers[i])));
        rs->Fields("LI10_PREZZO").setValue(-dec(numbers[i]));
        rs->Fields("LI10_NOTE").setValue(note);
        rs->Update();
        if (i == last - 1) { // the same row twice: its identity follows it
            rs->Fields("LI10_SC1PER").setValue(u"12,5"_qs); // assigned as the run time converts
            rs->Fields("LI10_DATASTLIS").setValue(QDate(2024, 12, 31));
            rs->Update();
        }
    }
    rs->Fields("LI10_NOTE").setValue(u"ultima"_qs);
    rs->MoveFirst();
    rs->Fields("PREZZO_NETTO").setValue(dec("9.000001"));
    rs->UpdateBatch();

    auto again = open("SELECT * FROM ##LISVEN_02 ORDER BY LI10_NUMLIST, LI10_PREZZO");
    const auto valueAt = [&](int row, const char* column) {
        again->setAbsolutePosition(row + 1);
        return again->Fields(QString::fromLatin1(column)).Value();
    };
    for (int i = 0; i < last; ++i) {
        SCOPED_TRACE(numbers[i]);
        EXPECT_EQ(valueAt(i, "LI10_PREZZO"), rt::Variant(-dec(numbers[i])));
        EXPECT_EQ(valueAt(i, "LI10_NOTE"), rt::Variant(note));
    }
    const struct {
        int row;
        const char* column;
        rt::Variant value;
    } expected[] = {
        {0, "PREZZO_NETTO", dec("9.000001")},
        {last - 1, "LI10_SC1PER", dec("12.5")},
        {last - 1, "LI10_DATASTLIS", rt::Variant(QDateTime(QDate(2024, 12, 31), QTime(0, 0)))},
        {last, "LI10_DATASTLIS", rt::Variant::null()},
        {last, "LI10_PREZZO", dec("7")},
        {last, "LI10_NOTE", u"ultima"_qs},
    };
    for (const auto& e : expected)
        EXPECT_EQ(valueAt(e.row, e.column), e.value) << e.row << " " << e.column;
}

TEST_P(Backend, MovesBookmarksAndFiltersAsTheProgramWritesThem) {
    db->Execute("CREATE TABLE MG44_PARMAGLIST ([MG44_DITTA_CG18] [decimal](5, 0) NOT NULL, "
                "[MG44_NUMLIST] [decimal](3, 0) NOT NULL, [MG44_FLGVENACQ] [decimal](1, 0) NULL, "
                "[MG44_NUMSCPERC] [decimal](2, 0) NULL, [MG44_PERCPROV] [decimal](6, 3) NULL, "
                "[MG44_FLGRICHPREZZO] [decimal](1, 0) NULL, [MG44_DESCLIST] [varchar](40) NULL,)");
    for (const char* row : {"1, 1, 0, 0, 2.5, 1, 'Listino A'", "1, 2, 0, 3, NULL, 0, 'Listino B'",
                            "1, 3, 1, 1, 0, 1, 'Listino C'", "1, 4, 1, 6, 0.000, 1, 'O''Brien'",
                            "1, 5, 0, NULL, -1.25, NULL, NULL"})
        db->Execute(u"INSERT INTO MG44_PARMAGLIST VALUES (%1)"_qs.arg(QLatin1String(row)));
    auto rs = open("SELECT * FROM MG44_PARMAGLIST  WHERE MG44_DITTA_CG18 = 1");
    rs->MoveLast();
    EXPECT_EQ(rs->AbsolutePosition(), 5);
    rs->MoveNext();
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->AbsolutePosition(), -3);
    try {
        rs->MoveNext();
        ADD_FAILURE() << "MoveNext past EOF must fail";
    } catch (const rt::Error& e) {
        EXPECT_EQ(e.number(), 3021);
        EXPECT_TRUE(e.description().startsWith("BOF o EOF è True"));
    }
    EXPECT_THROW(rs->Fields("MG44_NUMLIST").Value(), rt::Error);
    rs->MoveFirst();
    rs->MovePrevious();
    EXPECT_TRUE(rs->BOF());
    EXPECT_THROW(rs->MovePrevious(), rt::Error);

    rs->setAbsolutePosition(4);
    const rt::Variant bookmark = rs->Bookmark();
    rs->setFilter("MG44_FLGVENACQ = 1"); // lists 3 and 4
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    rs->setBookmark(bookmark);
    EXPECT_EQ(rs->Fields("MG44_NUMLIST").Value(), rt::Variant(rt::Decimal(4)));
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    rs->setFilter("MG44_FLGVENACQ = 0");
    EXPECT_THROW(rs->setBookmark(bookmark), rt::Error) << "the bookmarked row is filtered out";
    rs->setFilter(host::adFilterNone);
    rs->setBookmark(bookmark);
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    EXPECT_THROW(rs->setAbsolutePosition(6), rt::Error);
    EXPECT_THROW(rs->Fields("NO_SUCH_FIELD"), rt::Error);

    // clang-format off
    const struct {
        const char* filter;
        QList<int> lists;
    } cases[] = {
        {"MG44_FLGVENACQ = 0", {1, 2, 5}}, {"MG44_NUMSCPERC>=1", {2, 3, 4}},
        {"MG44_PERCPROV <> 0", {1, 5}}, {"MG44_PERCPROV < 0", {5}},
        {"MG44_DESCLIST = 'listino b'", {2}},
        {"MG44_DESCLIST = 'O''Brien'", {4}}, {"MG44_DESCLIST LIKE 'Listino*'", {1, 2, 3}},
        {"MG44_FLGVENACQ = 0 AND MG44_NUMSCPERC>=1", {2}},
        {"(MG44_NUMLIST = 1 OR MG44_NUMLIST = 5) AND MG44_PERCPROV > 0", {1}},
        {"", {1, 2, 3, 4, 5}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        rs->MoveLast();
        rs->setFilter(QString::fromLatin1(c.filter));
        EXPECT_EQ(rs->RecordCount(), c.lists.size());
        EXPECT_EQ(rs->AbsolutePosition(), 1) << "the cursor goes to the first visible row";
        QList<int> lists;
        for (; !rs->IsEOF(); rs->MoveNext())
            lists << int(rs->Fields("MG44_NUMLIST").Value().asDecimal().toInt64());
        EXPECT_EQ(lists, c.lists);
    }
    EXPECT_THROW(rs->setFilter("NO_SUCH_FIELD = 1"), rt::Error);
}

// A price-list table made in SQL Server text, read as the look-ups read it: a second connection
// learns the date columns of tables it did not create (the empty end date still reads as a
// date), a warehouse saved as one blank is found by = '' (texts compare ignoring trailing
// blanks, as on SQL Server), and a decimal of a joined table reads as a number (10.5, never 105).
TEST_P(Backend, PriceListRowsAreFoundAsTheLookUpsAskForThem) {
    db->Execute("CREATE TABLE [dbo].[LI10_LISTARTIC] ([LI10_DITTA_CG18] [decimal](5, 0) NOT NULL, "
                "[LI10_FLGVENDACQ] [decimal](1, 0) NOT NULL, [LI10_CODART_MG66] [char](25) NOT "
                "NULL, [LI10_DEPOS_MG58] [char](2) NOT NULL, [LI10_NUMLIST] [decimal](3, 0) NOT "
                "NULL, [LI10_DATAINIZIOVAL] [datetime] NOT NULL, [LI10_DATAFINEVAL] [datetime])");
    db->Execute("CREATE TABLE [RATES] ([R_LIST] [decimal](3, 0), [R_RATE] [decimal](5, 2))");
    db->Execute("INSERT INTO RATES (R_LIST, R_RATE) VALUES (5, 10.5)");
    for (const char* values :
         {"'A''1', ' ', 5, '20240301', ''", "'B', '', 5, '20240301', '20241231'"})
        db->Execute(u" INSERT INTO LI10_LISTARTIC  (LI10_DITTA_CG18, LI10_FLGVENDACQ, "
                    "LI10_CODART_MG66, LI10_DEPOS_MG58, LI10_NUMLIST, LI10_DATAINIZIOVAL, "
                    "LI10_DATAFINEVAL ) VALUES  (1, 0, "_qs +
                    QLatin1String(values) + u")"_qs);
    Connection other;
    other.Open(connectionString_);
    for (Connection* connection : {db.get(), &other}) {
        SCOPED_TRACE(connection == &other ? "second connection" : "connection that made it");
        auto rs = connection->Execute(
            "SELECT * FROM LI10_LISTARTIC WHERE  LI10_DITTA_CG18 = 1 AND LI10_FLGVENDACQ =0 AND "
            "LI10_CODART_MG66 = 'A''1' AND LI10_DEPOS_MG58 = '' AND LI10_NUMLIST = 5 AND "
            "LI10_DATAINIZIOVAL = '20240301' AND LI10_DATAFINEVAL = ''");
        EXPECT_EQ(rs->RecordCount(), 1);
    }
    auto rs = db->Execute("SELECT R_RATE FROM LI10_LISTARTIC INNER JOIN RATES ON LI10_NUMLIST = "
                          "R_LIST WHERE LI10_CODART_MG66 ='B'");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields("R_RATE").Value(), rt::Variant(dec("10.5")));
}

TEST_P(Backend, ErrorsTraceAndStates) {
    EXPECT_EQ(errorNumberOf([&] { db->Execute("SELECT * FROM NO_SUCH_TABLE"); }), rt::ErrDatabase);
    ASSERT_EQ(db->Errors().size(), 1);
    EXPECT_TRUE(db->Errors().front().description.contains("no_such_table", Qt::CaseInsensitive));
    db->clearTrace();
    createWorkingTable("##LISVEN_04");
    EXPECT_TRUE(db->Errors().isEmpty());
    ASSERT_EQ(db->trace().size(), 2);
    EXPECT_EQ(db->trace()[0], storage::dropWorkingTableSql("##LISVEN_04"));
    EXPECT_EQ(db->translatedTrace()[0], "DROP TABLE IF EXISTS tmp_LISVEN_04");

    // A working table ends with the connection that created it.
    db->Close();
    EXPECT_THROW(db->Execute("SELECT * FROM ##LISVEN_04"), rt::Error);
    db->Open(connectionString_);
    EXPECT_THROW(db->Execute("SELECT * FROM ##LISVEN_04"), rt::Error);
}

// PostgreSQL_ODBC: the same server through the ODBC driver, as a SQL Server is reached.
INSTANTIATE_TEST_SUITE_P(Backends, Backend,
                         ::testing::Values("SQLite", "PostgreSQL", "PostgreSQL_ODBC"),
                         [](const auto& param) { return std::string(param.param); });

} // namespace
