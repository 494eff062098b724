// The demo database, made on SQLite and on PostgreSQL, holds what the price-list window needs:
// parameters covering every setting, articles with options, VAT codes, rounding brackets and
// stored price-list rows that read back with their exact values.
#include "db/demo_database.h"
#include "host/data/recordset.h"
#include "runtime/conversions.h"
#include "tests/support/pg_server.h"

#include <QMap>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// A leap-year February: the month's proposal ends on the 29th.
const QDate Today(2024, 2, 10);

QString textOf(const rt::Variant& v) {
    if (v.isNull() || v.isEmpty())
        return u"NULL"_qs;
    return rt::CStr(v).trimmed();
}

// One demo database per backend serves every read-only test; making one takes a while.
QString sharedDemoDatabase(const QString& backend) {
    static QMap<QString, QString> made;
    if (!made.contains(backend)) {
        const QString connectionString = testsupport::testConnectionString(backend);
        if (!connectionString.isEmpty()) {
            host::Connection connection;
            connection.Open(connectionString);
            demo::createDemoDatabase(connection, Today);
        }
        made.insert(backend, connectionString);
    }
    return made.value(backend);
}

class DemoDatabase : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        const QString backend = QString::fromLatin1(GetParam());
        const QString shared = sharedDemoDatabase(backend);
        if (shared.isEmpty()) {
            if (testsupport::postgresRequired())
                FAIL() << "PostgreSQL non disponibile";
            GTEST_SKIP() << "PostgreSQL non disponibile: "
                         << testsupport::postgresUnavailableReason().toStdString();
        }
        connection.Open(shared);
    }

    std::shared_ptr<host::Recordset> query(const QString& sql) { return connection.Execute(sql); }

    int count(const QString& sql) { return rt::CLng(query(sql)->Fields(0).Value()); }

    QList<rt::Variant> firstColumn(const QString& sql) {
        QList<rt::Variant> values;
        for (auto rs = query(sql); !rs->IsEOF(); rs->MoveNext())
            values << rs->Fields(0).Value();
        return values;
    }

    QSet<QString> distinctTexts(const QString& sql) {
        QSet<QString> texts;
        for (const rt::Variant& v : firstColumn(sql))
            texts << textOf(v);
        return texts;
    }

    host::Connection connection;
};

TEST_P(DemoDatabase, QuickCreationListsCoverEverySetting) {
    struct Case {
        const char* field;
        const char* where; // besides company 1 and quick creation
        QSet<QString> values;
    };
    const QSet<QString> indicators = {u"0"_qs, u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs};
    const Case cases[] = {
        {"MG44_INDPROPDATAINI", "", indicators},
        {"MG44_INDPROPDATAFINE", "", indicators},
        {"MG44_INDMODRICZERO", "AND MG44_FLGVENACQ = 0", {u"0"_qs, u"1"_qs, u"2"_qs, u"3"_qs}},
        {"MG44_INDARRPREZZO", "AND MG44_FLGVENACQ = 0", {u"0"_qs, u"1"_qs, u"2"_qs}},
        {"MG44_RICDEFAULT", "AND MG44_FLGVENACQ = 0", {u"0"_qs, u"25"_qs, u"40"_qs}},
        {"MG44_FLGIVACOMPR", "AND MG44_FLGVENACQ = 0", {u"0"_qs, u"1"_qs}},
        {"MG44_FLGIVACOMPR", "AND MG44_FLGVENACQ = 1", {u"0"_qs, u"1"_qs}},
        {"MG44_PERCPROV", "AND MG44_FLGVENACQ = 0", {u"NULL"_qs, u"0"_qs, u"5"_qs}},
        {"MG44_NUMSCPERC", "", {u"0"_qs, u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs, u"6"_qs}},
        {"MG44_NUMMAGPERC", "", {u"0"_qs, u"1"_qs, u"2"_qs}},
        {"MG44_FLGRICHPREZZO", "", {u"0"_qs, u"1"_qs}},
        {"MG44_FLGRICHSCIMP", "", {u"0"_qs, u"1"_qs}},
        {"MG44_FLGRICHMAGIMP", "", {u"0"_qs, u"1"_qs}},
        {"MG44_VALUTA_CG08", "", {u"EURO"_qs}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.where);
        const QString sql = QStringLiteral("SELECT DISTINCT %1 FROM MG44_PARMAGLIST WHERE "
                                           "MG44_DITTA_CG18 = 1 AND MG44_FLGCREAZVELOCE = 1 %2")
                                .arg(QString::fromLatin1(c.field), QString::fromLatin1(c.where));
        EXPECT_EQ(distinctTexts(sql), c.values);
    }
}

// Each question counts rows of company 1's demo data; what the window could trip on counts 0.
TEST_P(DemoDatabase, ArticlesOptionsVatCodesAndBracketsFitTogether) {
    const QString articles =
        u"SELECT COUNT(*) AS N FROM MG66_ANAGRART WHERE MG66_DITTA_CG18 = 1 "_qs;
    const QString options = u"(SELECT COUNT(*) FROM MG5E_OPZIONI WHERE MG5E_DITTA_CG18 = 1 AND "
                            "MG5E_CODART_MG66 = MG66_CODART)"_qs;
    const QString descriptions = u"(SELECT COUNT(*) FROM MG87_DESCART WHERE MG87_DITTA_CG18 = 1 "
                                 "AND MG87_CODART_MG66 = MG66_CODART AND MG87_OPZIONE_MG5E "_qs;
    const QString noRange = u" NOT IN (SELECT MG02_CODICE FROM MG02_SCAGLARR WHERE "
                            "MG02_PREZZODA = 0)"_qs;
    const struct {
        const char* what;
        QString sql;
        int least, most;
    } cases[] = {
        {"articles", articles, 30, 1000},
        {"articles with options", articles + u"AND MG66_FLGOPZIONI = 1"_qs, 3, 1000},
        {"without exactly one own description",
         articles + u"AND "_qs + descriptions + u"= '') <> 1"_qs, 0, 0},
        {"option descriptions not one per option",
         articles + u"AND "_qs + descriptions + u"<> '') <> "_qs + options, 0, 0},
        {"options against the flag",
         articles + u"AND ((MG66_FLGOPZIONI = 1 AND "_qs + options +
             u" NOT BETWEEN 2 AND 4) OR (MG66_FLGOPZIONI = 0 AND "_qs + options + u" <> 0))"_qs,
         0, 0},
        {"without a VAT code",
         articles + u"AND MG66_ALIVA_CG28 NOT IN (SELECT CG28_CODICE FROM CG28_TABCODIVA)"_qs, 0,
         0},
        {"brackets", u"SELECT COUNT(DISTINCT MG02_CODICE) AS N FROM MG02_SCAGLARR"_qs, 3, 1000},
        {"article brackets without a range from 0",
         u"SELECT COUNT(*) AS N FROM MG66_ANAGRART WHERE MG66_SCAGL_MG02"_qs + noRange, 0, 0},
        {"list brackets without a range from 0",
         u"SELECT COUNT(*) AS N FROM MG44_PARMAGLIST WHERE MG44_SCAGL_MG02"_qs + noRange, 0, 0},
        {"row brackets without a range from 0",
         u"SELECT COUNT(*) AS N FROM LI10_LISTARTIC WHERE LI10_SCAGL_MG02"_qs + noRange, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int n = count(c.sql);
        EXPECT_GE(n, c.least);
        EXPECT_LE(n, c.most);
    }
    // Compared here, not in SQL: SQLite holds these decimals as text.
    for (auto rs = query(u"SELECT * FROM MG02_SCAGLARR"_qs); !rs->IsEOF(); rs->MoveNext()) {
        const rt::Decimal step = rt::CDec(rs->Fields(u"MG02_ARROT"_qs).Value());
        const rt::Variant ending = rs->Fields(u"MG02_FINALE"_qs).Value();
        EXPECT_GT(step, rt::Decimal(0));
        if (!ending.isNull()) {
            EXPECT_GT(rt::CDec(ending), rt::Decimal(0));
            EXPECT_LT(rt::CDec(ending), step);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, DemoDatabase, ::testing::Values("SQLite", "PostgreSQL"));

} // namespace
