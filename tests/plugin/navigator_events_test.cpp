// The navigator's button 25 and the media link's event at the plug-in class: the cases where
// nothing may happen, with a frame and a media link that note what they are asked.
#include "host/controls/window_controls.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/media_link.h"
#include "host/services/navigator.h"
#include "plugin/clsmg_prezzolampo.h"
#include "runtime/conversions.h"

#include <gtest/gtest.h>

namespace {

struct NotedFrame : host::HeaderFrame {
    int status = 1;
    std::shared_ptr<host::Recordset> rows;
    QStringList* notes = nullptr;
    int Status() const override { return status; }
    std::shared_ptr<host::Recordset> Recordset() const override { return rows; }
    void Update() override { notes->append(QStringLiteral("Update")); }
};

struct NotedMediaLink : host::MediaLink {
    QStringList* notes = nullptr;
    void Open(const QString&, const QString&, const QString& connectionString,
              const rt::Variant& code, std::int32_t company, int mayCreate, int readOnly) override {
        notes->append(QStringLiteral("Open %1 %2 %3 %4 %5")
                          .arg(rt::CStr(code), connectionString)
                          .arg(company)
                          .arg(mayCreate)
                          .arg(readOnly));
    }
};

class MediaRequest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.Open(QStringLiteral("Provider=SQLite;Data Source=:memory:"));
        db.Execute("CREATE TABLE LINKED (LI10_IDMEDIA_CG99 decimal(12, 0) NULL)");
        db.Execute("INSERT INTO LINKED VALUES (7)");
        db.Execute("CREATE TABLE UNLINKED (LI10_NOTE varchar(20) NULL)");
        db.Execute("INSERT INTO UNLINKED VALUES ('a')");
        global->setConnectionString(QStringLiteral("CS"));
        global->setCompanyCode(QStringLiteral("3"));
        global->factory().logService = [this] { return log; };
        global->factory().mediaLink = [this] {
            ++linksMade;
            auto link = std::make_shared<NotedMediaLink>();
            link->notes = &notes;
            return link;
        };
        plugin->setClsGlobal(global);
        plugin->setIsActive(true);
        frame->notes = &notes;
        plugin->setActiveFrame(frame);
    }
    void TearDown() override { plugin->setActiveFrame(nullptr); }
    std::shared_ptr<host::Recordset> rows(const char* table) {
        auto rs = std::make_shared<host::Recordset>();
        rs->Open(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)), db);
        return rs;
    }
    rt::Variant storedCode() { return rows("LINKED")->Fields(0).Value(); }

    host::Connection db;
    std::shared_ptr<host::GlobalServices> global = std::make_shared<host::GlobalServices>();
    std::shared_ptr<host::ScriptedLogService> log = std::make_shared<host::ScriptedLogService>();
    std::shared_ptr<CLSMG_PREZZOLAMPO> plugin = CLSMG_PREZZOLAMPO::create();
    std::shared_ptr<NotedFrame> frame = std::make_shared<NotedFrame>();
    QStringList notes;
    int linksMade = 0;
};

TEST_F(MediaRequest, Button25OpensTheLinkOnlyInVariationAndAfterStoringANewRow) {
    const struct {
        const char* name;
        std::int32_t button;
        bool active;
        int status;
        const char* table; // the frame's recordset; nullptr: none
        QStringList notes;
        int messages;
        int linksMade;
    } table[] = {
        {"another button", 24, true, 1, "LINKED", {}, 0, 0},
        {"not active", 25, false, 1, "LINKED", {}, 0, 0},
        {"frame without recordset", 25, true, 1, nullptr, {}, 0, 0},
        {"header only", 25, true, 2, "LINKED", {}, 1, 0},
        {"insertion", 25, true, 0, "LINKED", {"Update", "Open 7 CS 3 1 0"}, 0, 1},
        {"variation", 25, true, 1, "LINKED", {"Open 7 CS 3 1 0"}, 0, 1},
        {"no media column", 25, true, 1, "UNLINKED", {"Open  CS 3 1 0"}, 0, 1},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        notes.clear();
        log->messages.clear();
        linksMade = 0;
        plugin->CHyperMedia.reset();
        plugin->setIsActive(row.active);
        frame->status = row.status;
        frame->rows = row.table ? rows(row.table) : nullptr;
        bool cancel = false;
        std::int32_t button = row.button;
        plugin->ActiveNavigator_ButtonPressed(cancel, button);
        EXPECT_FALSE(cancel);
        EXPECT_EQ(notes, row.notes);
        EXPECT_EQ(linksMade, row.linksMade);
        ASSERT_EQ(log->messages.size(), row.messages);
        if (row.messages == 1) {
            EXPECT_EQ(log->messages[0].text, QStringLiteral("Il collegamento ai dati multimediali "
                                                            "è possibile solamente in fase di "
                                                            "variazione"));
            EXPECT_EQ(log->messages[0].title, QStringLiteral("Avviso Utente"));
            EXPECT_EQ(log->messages[0].style, 64);
        }
    }
}

TEST_F(MediaRequest, AfterMediaCreateWritesTheCodeOfTheCurrentRowOnly) {
    const struct {
        const char* name;
        const char* table;
        bool closed;
        std::int32_t stored;
    } table[] = {
        {"open, with the column", "LINKED", false, 42},
        {"closed", "LINKED", true, 7},
        {"without the column", "UNLINKED", false, 7},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        db.Execute("UPDATE LINKED SET LI10_IDMEDIA_CG99 = 7");
        frame->rows = rows(row.table);
        if (row.closed)
            frame->rows->Close();
        plugin->setIsActive(false); // not read by this event
        bool cancel = false;
        rt::Variant code(std::int32_t(42));
        plugin->CHyperMedia_AfterMediaCreate(cancel, code);
        EXPECT_FALSE(cancel);
        EXPECT_EQ(rt::CLng(storedCode()), row.stored);
        EXPECT_TRUE(log->messages.isEmpty());
    }
}

} // namespace
