// The plug-in class CLSMG_PREZZOLAMPO as the host sees it through Cinterface.
#include "plugin/clsmg_prezzolampo.h"

#include "host/controls/window_controls.h"
#include "host/data/recordset.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/media_link.h"
#include "host/services/navigator.h"
#include "host/window/window_support.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"
#include "tests/host/host_test_helpers.h"

#include <QMetaMethod>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Plugin = CLSMG_PREZZOLAMPO;

struct Property {
    const char* name;
    std::function<void(Plugin&, const rt::Variant&)> write;
    std::function<rt::Variant(const Plugin&)> read;
};

// A property written twice: the second value is converted or refused (then the first stays).
TEST(PluginClass, StoredPropertiesConvertOrKeepTheirValue) {
    using L = std::int32_t;
    const Property top{"Top", &Plugin::setTop, &Plugin::Top},
        code{"CodiceArticolo", &Plugin::setCodiceArticolo, &Plugin::CodiceArticolo},
        caption{"Caption", &Plugin::setCaption, &Plugin::Caption},
        state{"WindowState", [](Plugin&p, const rt::Variant&v) { p.setWindowState(v.asLong()); },
              [](const Plugin&p) { return rt::Variant(p.WindowState()); }},
        mode{"ProgramMode", [](Plugin&p, const rt::Variant&v) { p.setProgramMode(v.asLong()); },
             [](const Plugin&p) { return rt::Variant(p.ProgramMode()); }};
    const struct {
        const Property& property;
        rt::Variant first, second, expected;
    } table[] = {
        {top, "120", "abc", L{120}},
        {top, L{7}, rt::Variant(), L{0}},
        {top, L{7}, 2.5, L{2}},          // halves to even
        {top, L{7}, "3000000000", L{7}}, // overflow
        {state, L{2}, L{32767}, L{32767}},
        {state, L{2}, L{32768}, L{2}},
        {mode, L{3}, L{40000}, L{3}},
        {code, "A", "ART 01 ", "ART 01 "},
        {code, "A", rt::Variant::null(), "A"},
        {code, "A", rt::Variant(), ""},
        {code, "A", 1.5, "1,5"},
        // Caption is stored as given: the window's caption converts it later.
        {caption, "A", rt::Variant::null(), rt::Variant::null()},
        {caption, "A", L{5}, L{5}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message()
                     << row.property.name << " " << row.first.debugText().toStdString() << " then "
                     << row.second.debugText().toStdString());
        const auto plugin = Plugin::create();
        row.property.write(*plugin, row.first);
        row.property.write(*plugin, row.second);
        EXPECT_EQ(row.property.read(*plugin), row.expected);
    }
}

TEST(PluginClass, TransferDataRaisesDataTransferBeforeReturningAndIgnoresItsFailure) {
    const auto plugin = Plugin::create();
    QList<rt::Variant> received;
    QObject::connect(plugin.get(), &Plugin::DataTransfer, [&received](const rt::Variant& data) {
        received.append(data);
        if (data == rt::Variant("fail"))
            throw rt::Error::typeMismatch();
    });
    for (const rt::Variant& data : {rt::Variant("ART001"), rt::Variant(), rt::Variant::null(),
                                    rt::Variant(std::int32_t{42}), rt::Variant("fail")}) {
        SCOPED_TRACE(data.debugText().toStdString());
        received.clear();
        EXPECT_EQ(plugin->TransferData(data), rt::Variant());
        EXPECT_EQ(received, QList<rt::Variant>{data});
    }
}

// Host objects that note when they go.
template <typename Base> struct Noted : Base {
    Noted(QStringList& n, const char* what) : notes(n), name(what) {}
    ~Noted() override { notes.append(QLatin1String(name)); }
    QStringList& notes;
    const char* name;
};

// A navigator that tells whether its button event has a receiver.
struct ObservedNavigator : host::Navigator {
    bool buttonEventConnected() const {
        return isSignalConnected(QMetaMethod::fromSignal(&host::Navigator::ButtonPressed));
    }
};

// Navigator events reach the instance only while the navigator is set; its ActiveDll goes last.
TEST(PluginClass, EachInstanceTracesItsStartAndEndThenReleasesTheHostObjectsInOrder) {
    QStringList notes; // the trace lines and the host objects' ends
    host::setDebugOutputSink([&](const QString& line) { notes.append(line); });
    auto plugin = Plugin::create();
    auto dll = Plugin::create();
    // ActiveDll answers the instance itself without keeping it alive.
    ASSERT_EQ(dll->ActiveDll().get(), static_cast<host::Cinterface*>(dll.get()));
    const QString pluginId = plugin->GetInstanceId().asString();
    const QString dllId = dll->GetInstanceId().asString();
    const std::weak_ptr<Plugin> watch = dll;
    plugin->setActiveDll(dll);
    dll.reset();
    plugin->setClsVoceMenu(std::make_shared<Noted<host::MenuEntry>>(notes, "ClsVoceMenu"));
    plugin->setClsGlobal(std::make_shared<Noted<host::GlobalServices>>(notes, "ClsGlobal"));
    const auto observed = std::make_shared<ObservedNavigator>();
    plugin->setActiveNavigator(observed);
    EXPECT_TRUE(observed->buttonEventConnected());
    plugin->setActiveNavigator(nullptr);
    EXPECT_FALSE(observed->buttonEventConnected());
    plugin->setActiveNavigator(observed);
    plugin->setActiveNavigator(std::make_shared<Noted<host::Navigator>>(notes, "ActiveNavigator"));
    EXPECT_FALSE(observed->buttonEventConnected()) << "the replaced navigator still reaches it";
    plugin.reset();
    host::setDebugOutputSink({});

    EXPECT_TRUE(watch.expired());
    EXPECT_NE(pluginId, dllId);
    const QString line = QStringLiteral("QVMA:|%1|%2|RIDE_PREZZOLAMPO|CLSMG_PREZZOLAMPO");
    EXPECT_EQ(notes, (QStringList{line.arg(pluginId, "INI"), line.arg(dllId, "INI"),
                                  line.arg(pluginId, "TER"), "ClsVoceMenu", "ClsGlobal",
                                  "ActiveNavigator", line.arg(dllId, "TER")}));
}

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
        notes->append(QString::asprintf("Open %s %s %d %d %d", qPrintable(rt::CStr(code)),
                                        qPrintable(connectionString), company, mayCreate,
                                        readOnly));
    }
};

TEST(MediaRequest, Button25AndAfterMediaCreate) {
    const auto db = memoryConnection({"CREATE TABLE LINKED (LI10_IDMEDIA_CG99 decimal(12, 0) NULL)",
                                      "INSERT INTO LINKED VALUES (7)",
                                      "CREATE TABLE UNLINKED (LI10_NOTE varchar(20) NULL)",
                                      "INSERT INTO UNLINKED VALUES ('a')"});
    const auto rows = [&](const char* table) {
        auto rs = std::make_shared<host::Recordset>();
        rs->Open(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)), *db);
        return rs;
    };
    QStringList notes; // the frame's and the links' calls, the links made, the messages shown
    const auto global = std::make_shared<host::GlobalServices>();
    const auto log = std::make_shared<host::ScriptedLogService>();
    global->setConnectionString(QStringLiteral("CS"));
    global->setCompanyCode(QStringLiteral("3"));
    global->factory().logService = [log] { return log; };
    global->factory().mediaLink = [&] {
        notes.append(QStringLiteral("new link"));
        auto link = std::make_shared<NotedMediaLink>();
        link->notes = &notes;
        return link;
    };
    const auto plugin = CLSMG_PREZZOLAMPO::create();
    plugin->setClsGlobal(global);
    const auto frame = std::make_shared<NotedFrame>();
    frame->notes = &notes;
    plugin->setActiveFrame(frame);

    const QString headerOnly =
        u"64 Avviso Utente: Il collegamento ai dati multimediali è possibile "
        "solamente in fase di variazione"_qs;
    const struct {
        const char* name;
        std::int32_t button;
        bool active;
        int status;
        const char* table; // the frame's recordset; nullptr: none
        QStringList notes;
    } table[] = {
        {"another button", 24, true, 1, "LINKED", {}},
        {"not active", 25, false, 1, "LINKED", {}},
        {"frame without recordset", 25, true, 1, nullptr, {}},
        {"header only", 25, true, 2, "LINKED", {headerOnly}},
        {"insertion", 25, true, 0, "LINKED", {"Update", "new link", "Open 7 CS 3 1 0"}},
        {"variation", 25, true, 1, "LINKED", {"new link", "Open 7 CS 3 1 0"}},
        {"no media column", 25, true, 1, "UNLINKED", {"new link", "Open  CS 3 1 0"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        notes.clear();
        log->messages.clear();
        plugin->CHyperMedia.reset(); // a new link each time
        plugin->setIsActive(row.active);
        frame->status = row.status;
        frame->rows = row.table ? rows(row.table) : nullptr;
        bool cancel = false;
        std::int32_t button = row.button;
        plugin->ActiveNavigator_ButtonPressed(cancel, button);
        EXPECT_FALSE(cancel);
        for (const auto& m : log->messages)
            notes.append(QStringLiteral("%1 %2: %3").arg(m.style).arg(m.title, m.text));
        EXPECT_EQ(notes, row.notes);
    }

    const struct {
        const char *name, *table;
        bool closed;
        std::int32_t stored;
    } afterCreate[] = {
        {"open, with the column", "LINKED", false, 42},
        {"closed", "LINKED", true, 7},
        {"without the column", "UNLINKED", false, 7},
    };
    log->messages.clear();
    for (const auto& row : afterCreate) {
        SCOPED_TRACE(row.name);
        db->Execute("UPDATE LINKED SET LI10_IDMEDIA_CG99 = 7");
        frame->rows = rows(row.table);
        if (row.closed)
            frame->rows->Close();
        plugin->setIsActive(false); // not read by this event
        bool cancel = false;
        rt::Variant code(std::int32_t(42));
        plugin->CHyperMedia_AfterMediaCreate(cancel, code);
        EXPECT_FALSE(cancel);
        EXPECT_EQ(rt::CLng(rows("LINKED")->Fields(0).Value()), row.stored);
        EXPECT_TRUE(log->messages.isEmpty());
    }
    plugin->setActiveFrame(nullptr);
}

} // namespace
