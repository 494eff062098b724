// The demo database holds what the price-list window needs, with data that fit together.
#include "db/demo_database.h"
#include "host/data/recordset.h"
#include "runtime/conversions.h"

#include <gtest/gtest.h>

namespace {

QString textOf(const rt::Variant& v) {
    return v.isNull() || v.isEmpty() ? u"NULL"_qs : rt::CStr(v).trimmed();
}

// The data are made by the same statements on every backend (the PostgreSQL window tests make
// them there too), so one in-memory SQLite database serves the questions below.
TEST(DemoDatabase, CoversEverySettingWithDataThatFitTogether) {
    host::Connection connection;
    connection.Open(u"Provider=SQLite;Data Source=:memory:"_qs);
    // A leap-year February: the month's proposal ends on the 29th.
    demo::createDemoDatabase(connection, QDate(2024, 2, 10));
    const auto query = [&](const QString& sql) { return connection.Execute(sql); };

    // The quick-creation lists of company 1 take every value of each setting.
    const struct {
        // where: besides company 1 and quick creation; values: distinct, in order, blank-separated
        const char *field, *where, *values;
    } cases[] = {
        {"MG44_INDPROPDATAINI", "", "0 1 2 3 4"},
        {"MG44_INDPROPDATAFINE", "", "0 1 2 3 4"},
        {"MG44_INDMODRICZERO", "AND MG44_FLGVENACQ = 0", "0 1 2 3"},
        {"MG44_INDARRPREZZO", "AND MG44_FLGVENACQ = 0", "0 1 2"},
        {"MG44_RICDEFAULT", "AND MG44_FLGVENACQ = 0", "0 25 40"},
        {"MG44_FLGIVACOMPR", "AND MG44_FLGVENACQ = 0", "0 1"},
        {"MG44_FLGIVACOMPR", "AND MG44_FLGVENACQ = 1", "0 1"},
        {"MG44_PERCPROV", "AND MG44_FLGVENACQ = 0", "NULL 0 5"},
        {"MG44_NUMSCPERC", "", "0 1 2 3 4 5 6"},
        {"MG44_NUMMAGPERC", "", "0 1 2"},
        {"MG44_FLGRICHPREZZO", "", "0 1"},
        {"MG44_FLGRICHSCIMP", "", "0 1"},
        {"MG44_FLGRICHMAGIMP", "", "0 1"},
        {"MG44_VALUTA_CG08", "", "EURO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.where);
        QStringList seen;
        for (auto rs = query(QStringLiteral("SELECT DISTINCT %1 FROM MG44_PARMAGLIST WHERE "
                                            "MG44_DITTA_CG18 = 1 AND MG44_FLGCREAZVELOCE = 1 %2 "
                                            "ORDER BY 1")
                                 .arg(QString::fromLatin1(c.field), QString::fromLatin1(c.where)));
             !rs->IsEOF(); rs->MoveNext())
            seen << textOf(rs->Fields(0).Value());
        EXPECT_EQ(seen, QString::fromLatin1(c.values).split(u' '));
    }

    // Company 1 has the articles, options and brackets the documentation promises; what the
    // window could trip on counts 0.
    const auto count = [&](const QString& sql) { return rt::CLng(query(sql)->Fields(0).Value()); };
    const QString articles =
        u"SELECT COUNT(*) AS N FROM MG66_ANAGRART WHERE MG66_DITTA_CG18 = 1 "_qs;
    const QString options = u"(SELECT COUNT(*) FROM MG5E_OPZIONI WHERE MG5E_DITTA_CG18 = 1 AND "
                            "MG5E_CODART_MG66 = MG66_CODART)"_qs;
    const QString descriptions = u"(SELECT COUNT(*) FROM MG87_DESCART WHERE MG87_DITTA_CG18 = 1 "
                                 "AND MG87_CODART_MG66 = MG66_CODART AND MG87_OPZIONE_MG5E "_qs;
    EXPECT_GE(count(articles), 30);
    EXPECT_GE(count(articles + u"AND MG66_FLGOPZIONI = 1"_qs), 3);
    EXPECT_GE(count(u"SELECT COUNT(DISTINCT MG02_CODICE) AS N FROM MG02_SCAGLARR"_qs), 3);
    for (const QString& sql : {
             // not exactly one own description; option descriptions not one per option
             articles + u"AND "_qs + descriptions + u"= '') <> 1"_qs,
             articles + u"AND "_qs + descriptions + u"<> '') <> "_qs + options,
             // options against the flag; articles without a VAT code
             articles + u"AND ((MG66_FLGOPZIONI = 1 AND "_qs + options +
                 u" NOT BETWEEN 2 AND 4) OR (MG66_FLGOPZIONI = 0 AND "_qs + options + u" <> 0))"_qs,
             articles + u"AND MG66_ALIVA_CG28 NOT IN (SELECT CG28_CODICE FROM CG28_TABCODIVA)"_qs,
             // article, list and row brackets without a range from 0
             u"SELECT COUNT(*) AS N FROM (SELECT MG66_SCAGL_MG02 AS B FROM MG66_ANAGRART UNION ALL "
             "SELECT MG44_SCAGL_MG02 FROM MG44_PARMAGLIST UNION ALL SELECT LI10_SCAGL_MG02 FROM "
             "LI10_LISTARTIC) X WHERE B NOT IN (SELECT MG02_CODICE FROM MG02_SCAGLARR WHERE "
             "MG02_PREZZODA = 0)"_qs,
             // ranges without a step, or with an ending not within it (cast: SQLite holds these
             // decimals as text)
             u"SELECT COUNT(*) AS N FROM (SELECT CAST(MG02_ARROT AS float) AS S, CAST(MG02_FINALE "
             "AS float) AS E FROM MG02_SCAGLARR) X WHERE S <= 0 OR E <= 0 OR E >= S"_qs,
         })
        EXPECT_EQ(count(sql), 0) << sql.toStdString();
}

} // namespace
