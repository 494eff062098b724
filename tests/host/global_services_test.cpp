// Global services' object factory and the article look-up's query on a database.
#include "host/data/recordset.h"
#include "host/services/article_lookup.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "runtime/conversions.h"
#include "tests/host/host_test_helpers.h"

#include <gtest/gtest.h>

namespace {

// The window tests load through the standard factory but for these two objects, their own.
TEST(HostObjectFactory, StandardLogsToTheGivenFileAndMakesAConnectionPerWindow) {
    const host::HostObjectFactory f = host::HostObjectFactory::standard(u"/tmp/x.log"_qs);
    auto log = std::dynamic_pointer_cast<host::DialogLogService>(f.logService());
    ASSERT_TRUE(log);
    EXPECT_EQ(log->logFilePath(), u"/tmp/x.log"_qs);
    EXPECT_NE(f.connection(), f.connection());
}

// Company 1's articles with and without an own description and with an option's one; company
// 2's article and description must not show.
TEST(ArticleLookup, ListsTheCompanysArticlesWithTheirOwnDescriptionAndRefusesOddCodes) {
    auto connection = memoryConnection({
        u"CREATE TABLE MG66_ANAGRART (MG66_DITTA_CG18 decimal(5,0), MG66_CODART char(25))"_qs,
        QStringLiteral("CREATE TABLE MG87_DESCART (MG87_DITTA_CG18 decimal(5,0), MG87_CODART_MG66 "
                       "char(25), MG87_OPZIONE_MG5E char(20), MG87_DESCART varchar(72))"),
        QStringLiteral("INSERT INTO MG66_ANAGRART VALUES (1, 'VITE-M6'), (1, 'COLLA'), "
                       "(1, 'SMALTO'), (2, 'ALTRA-DITTA')"),
        QStringLiteral("INSERT INTO MG87_DESCART VALUES (1, 'VITE-M6', '', 'Vite M6'), "
                       "(1, 'SMALTO', '', 'Smalto all''acqua'), (1, 'SMALTO', 'ROSSO', "
                       "'Smalto rosso'), (2, 'VITE-M6', '', 'Altra ditta')"),
    });
    host::ArticleLookupProvider lookup;
    lookup.prepare(QStringLiteral(" 1 "));
    QStringList rows;
    for (auto rs = connection->Execute(lookup.query()); !rs->IsEOF(); rs->MoveNext())
        rows << rt::Trim(rs->Fields(lookup.keyColumn().asString()).Value().asString()) + u'=' +
                    rs->Fields(lookup.descriptionColumn().asString()).Value().debugText();
    EXPECT_EQ(rows, (QStringList{"COLLA=Null", "SMALTO=String(\"Smalto all'acqua\")",
                                 "VITE-M6=String(\"Vite M6\")"}));

    for (const char* code : {"", "1 OR 1=1", "-1", "1.5"}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(errorNumberOf([&] { lookup.prepare(QString::fromLatin1(code)); }),
                  rt::ErrTypeMismatch);
    }
    EXPECT_TRUE(
        lookup.query().endsWith(QStringLiteral("WHERE MG66_DITTA_CG18 = 1 ORDER BY MG66_CODART")))
        << "a refused code keeps the query of the last company";
}

} // namespace
