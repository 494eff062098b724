// The plug-in class CLSMG_PREZZOLAMPO as the host sees it through Cinterface: initial values,
// the conversions of its stored properties, CloseForm without a window, TransferData, the
// trace lines and the instance's lifetime.
#include "plugin/clsmg_prezzolampo.h"

#include "host/services/global_services.h"
#include "host/services/navigator.h"
#include "host/window/window_support.h"
#include "runtime/errors.h"
#include "tests/runtime/test_helpers.h"

#include <QMetaMethod>
#include <QRegularExpression>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

using Plugin = CLSMG_PREZZOLAMPO;

// Captures the debug-output channel for the life of the object.
class TraceCapture {
  public:
    TraceCapture() {
        host::setDebugOutputSink([this](const QString& line) { lines.append(line); });
    }
    ~TraceCapture() { host::setDebugOutputSink({}); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // The class's own trace lines, split into their fields.
    QList<QStringList> classLines() const {
        QList<QStringList> found;
        for (const QString& line : lines) {
            if (line.endsWith(QLatin1String("|CLSMG_PREZZOLAMPO")))
                found.append(line.split(u'|'));
        }
        return found;
    }

    QStringList lines;
};

// One property of the contract, read as a Variant.
struct Reading {
    const char* member;
    std::function<rt::Variant(const Plugin&)> read;
    rt::Variant expected;
};

TEST(PluginClass, NewInstanceHoldsTheInitialValues) {
    const std::vector<Reading> table = {
        {"Caption", [](const Plugin& p) { return p.Caption(); }, rt::Variant()},
        {"Filtro", [](const Plugin& p) { return p.Filtro(); }, rt::Variant()},
        {"MenuModulo", [](const Plugin& p) { return p.MenuModulo(); }, rt::Variant()},
        {"MenuPadre", [](const Plugin& p) { return p.MenuPadre(); }, rt::Variant()},
        {"MenuProg", [](const Plugin& p) { return p.MenuProg(); }, rt::Variant()},
        {"Top", [](const Plugin& p) { return p.Top(); }, rt::Variant(std::int32_t{0})},
        {"Left", [](const Plugin& p) { return p.Left(); }, rt::Variant(std::int32_t{0})},
        {"CodiceArticolo", [](const Plugin& p) { return p.CodiceArticolo(); }, rt::Variant("")},
        {"WindowState", [](const Plugin& p) { return rt::Variant(p.WindowState()); },
         rt::Variant(std::int32_t{0})},
        {"ProgramMode", [](const Plugin& p) { return rt::Variant(p.ProgramMode()); },
         rt::Variant(std::int32_t{0})},
        {"hwndParent", [](const Plugin& p) { return rt::Variant(p.hwndParent()); },
         rt::Variant(std::int32_t{0})},
        {"CanInsert", [](const Plugin& p) { return rt::Variant(p.CanInsert()); }, false},
        {"CanDelete", [](const Plugin& p) { return rt::Variant(p.CanDelete()); }, false},
        {"CanUpdate", [](const Plugin& p) { return rt::Variant(p.CanUpdate()); }, false},
        {"CanQbe", [](const Plugin& p) { return rt::Variant(p.CanQbe()); }, false},
        {"WindowModal", [](const Plugin& p) { return rt::Variant(p.WindowModal()); }, false},
        {"IsActive", [](const Plugin& p) { return rt::Variant(p.IsActive()); }, false},
        {"IsCalled", [](const Plugin& p) { return rt::Variant(p.IsCalled()); }, false},
        {"no ClsGlobal", [](const Plugin& p) { return rt::Variant(!p.ClsGlobal()); }, true},
        {"no ActiveFrame", [](const Plugin& p) { return rt::Variant(!p.ActiveFrame()); }, true},
        {"no ActiveNavigator", [](const Plugin& p) { return rt::Variant(!p.ActiveNavigator()); },
         true},
        {"no StatusBar", [](const Plugin& p) { return rt::Variant(p.StatusBar() == nullptr); },
         true},
        {"no Connection", [](const Plugin& p) { return rt::Variant(!p.connection()); }, true},
        {"no ClsVoceMenu", [](const Plugin& p) { return rt::Variant(!p.ClsVoceMenu()); }, true},
        {"no Cwindow", [](const Plugin& p) { return rt::Variant(!p.Cwindow()); }, true},
        {"no window", [](const Plugin& p) { return rt::Variant(p.FrmPrezzoLampo() == nullptr); },
         true},
    };
    const auto plugin = Plugin::create();
    for (const Reading& row : table) {
        SCOPED_TRACE(row.member);
        EXPECT_EQ(row.read(*plugin), row.expected);
    }
}

TEST(PluginClass, ActiveDllIsTheInstanceItself) {
    const auto plugin = Plugin::create();
    const std::shared_ptr<host::Cinterface> dll = plugin->ActiveDll();
    EXPECT_EQ(dll.get(), static_cast<host::Cinterface*>(plugin.get()));
    // Seen through the class's default interface it is still the same object.
    EXPECT_EQ(std::dynamic_pointer_cast<PluginClassInterface>(dll).get(),
              static_cast<PluginClassInterface*>(plugin.get()));
}

// A property written twice: the second value is converted or refused (then the first stays).
struct Assignment {
    const char* member;
    rt::Variant first;
    rt::Variant second;
    rt::Variant expected;
};

struct Property {
    std::function<void(Plugin&, const rt::Variant&)> write;
    std::function<rt::Variant(const Plugin&)> read;
};

const std::map<std::string, Property>& properties() {
    // The 32-bit properties take a 32-bit integer; the Variant carries it in the table.
    static const std::map<std::string, Property> map = {
        {"Top",
         {[](Plugin& p, const rt::Variant& v) { p.setTop(v); },
          [](const Plugin& p) { return p.Top(); }}},
        {"Left",
         {[](Plugin& p, const rt::Variant& v) { p.setLeft(v); },
          [](const Plugin& p) { return p.Left(); }}},
        {"WindowState",
         {[](Plugin& p, const rt::Variant& v) { p.setWindowState(v.asLong()); },
          [](const Plugin& p) { return rt::Variant(p.WindowState()); }}},
        {"ProgramMode",
         {[](Plugin& p, const rt::Variant& v) { p.setProgramMode(v.asLong()); },
          [](const Plugin& p) { return rt::Variant(p.ProgramMode()); }}},
        {"CodiceArticolo",
         {[](Plugin& p, const rt::Variant& v) { p.setCodiceArticolo(v); },
          [](const Plugin& p) { return p.CodiceArticolo(); }}},
        {"Caption",
         {[](Plugin& p, const rt::Variant& v) { p.setCaption(v); },
          [](const Plugin& p) { return p.Caption(); }}},
    };
    return map;
}

TEST(PluginClass, StoredPropertiesConvertOrKeepTheirValue) {
    using L = std::int32_t;
    const std::vector<Assignment> table = {
        {"Top", L{0}, "120", L{120}},
        {"Top", "120", "abc", L{120}},
        {"Top", L{7}, rt::Variant::null(), L{7}},
        {"Top", L{7}, rt::Variant(), L{0}},
        {"Top", L{7}, 2.5, L{2}}, // halves to even
        {"Top", L{7}, 3.5, L{4}},
        {"Top", L{7}, "3000000000", L{7}}, // overflow
        {"Left", L{0}, " -15 ", L{-15}},
        {"Left", L{30}, "dieci", L{30}},
        {"WindowState", L{0}, L{2}, L{2}},
        {"WindowState", L{2}, L{32767}, L{32767}},
        {"WindowState", L{2}, L{32768}, L{2}},
        {"WindowState", L{2}, L{-32768}, L{-32768}},
        {"WindowState", L{1}, L{-32769}, L{1}},
        {"ProgramMode", L{3}, L{40000}, L{3}},
        {"ProgramMode", L{3}, L{-4}, L{-4}},
        {"CodiceArticolo", "A", "ART 01 ", "ART 01 "},
        {"CodiceArticolo", "A", rt::Variant::null(), "A"},
        {"CodiceArticolo", "A", rt::Variant(), ""},
        {"CodiceArticolo", "A", std::int16_t{12}, "12"},
        {"CodiceArticolo", "A", 1.5, "1,5"},
        {"CodiceArticolo", "A", true, "Vero"},
        // Caption is stored as given: the window's caption converts it later.
        {"Caption", "A", rt::Variant::null(), rt::Variant::null()},
        {"Caption", "A", L{5}, L{5}},
    };
    for (const Assignment& row : table) {
        SCOPED_TRACE(::testing::Message()
                     << row.member << " " << row.first.debugText().toStdString() << " then "
                     << row.second.debugText().toStdString());
        const Property& property = properties().at(row.member);
        const auto plugin = Plugin::create();
        property.write(*plugin, row.first);
        property.write(*plugin, row.second);
        EXPECT_EQ(property.read(*plugin), row.expected);
    }
}

TEST(PluginClass, VariantPropertiesKeepTheirOwnValues) {
    const auto plugin = Plugin::create();
    plugin->setMenuModulo("MG");
    plugin->setMenuPadre(std::int16_t{4});
    plugin->setMenuProg(rt::Variant::null());
    plugin->setFiltro("LI10_NUMLIST = 1");
    plugin->setCaption("Listini");
    EXPECT_EQ(plugin->MenuModulo(), rt::Variant("MG"));
    EXPECT_EQ(plugin->MenuPadre(), rt::Variant(std::int16_t{4}));
    EXPECT_EQ(plugin->MenuProg(), rt::Variant::null());
    EXPECT_EQ(plugin->Filtro(), rt::Variant("LI10_NUMLIST = 1"));
    EXPECT_EQ(plugin->Caption(), rt::Variant("Listini"));
}

TEST(PluginClass, CloseFormBeforeAnyShowFormAnswersTrue) {
    const auto plugin = Plugin::create();
    EXPECT_EQ(plugin->CloseForm(), rt::Variant(true));
    // Asking again changes nothing.
    EXPECT_EQ(plugin->CloseForm(), rt::Variant(true));
}

TEST(PluginClass, TransferDataRaisesDataTransferBeforeReturning) {
    const std::vector<rt::Variant> table = {"ART001", rt::Variant(), rt::Variant::null(),
                                            rt::Variant(std::int32_t{42})};
    const auto plugin = Plugin::create();
    QList<rt::Variant> received;
    QObject::connect(plugin.get(), &Plugin::DataTransfer,
                     [&received](const rt::Variant& data) { received.append(data); });
    for (const rt::Variant& data : table) {
        SCOPED_TRACE(data.debugText().toStdString());
        received.clear();
        EXPECT_EQ(plugin->TransferData(data), rt::Variant());
        ASSERT_EQ(received.size(), 1);
        EXPECT_EQ(received.first(), data);
    }
}

TEST(PluginClass, TransferDataIgnoresAFailingReceiver) {
    const auto plugin = Plugin::create();
    QObject::connect(plugin.get(), &Plugin::DataTransfer,
                     [](const rt::Variant&) { throw rt::Error::typeMismatch(); });
    rt::Variant answer = "not called";
    EXPECT_NO_THROW(answer = plugin->TransferData("X"));
    EXPECT_EQ(answer, rt::Variant());
}

TEST(PluginClass, TraceLinesOfOneInstanceShareTheirIdentifier) {
    TraceCapture trace;
    Plugin::create().reset();
    Plugin::create().reset();
    const QList<QStringList> lines = trace.classLines();
    ASSERT_EQ(lines.size(), 4);
    const QRegularExpression guid(QStringLiteral("^[0-9A-F]{32}$"));
    const char* phases[] = {"INI", "TER", "INI", "TER"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(lines[i].join(u'|').toStdString());
        ASSERT_EQ(lines[i].size(), 5);
        EXPECT_EQ(lines[i][0], "QVMA:");
        EXPECT_TRUE(guid.match(lines[i][1]).hasMatch());
        EXPECT_EQ(lines[i][2], phases[i]);
        EXPECT_EQ(lines[i][3], "RIDE_PREZZOLAMPO");
    }
    EXPECT_EQ(lines[0][1], lines[1][1]);
    EXPECT_EQ(lines[2][1], lines[3][1]);
    EXPECT_NE(lines[0][1], lines[2][1]);
}

TEST(PluginClass, ReleasingTheLastReferenceEndsTheInstance) {
    TraceCapture trace;
    auto plugin = Plugin::create();
    // ActiveDll answers the instance without keeping it alive.
    ASSERT_TRUE(plugin->ActiveDll());
    std::weak_ptr<Plugin> watch = plugin;
    plugin.reset();
    EXPECT_TRUE(watch.expired());
    ASSERT_EQ(trace.classLines().size(), 2);
    EXPECT_EQ(trace.classLines()[1][2], "TER");
}

TEST(PluginClass, ActiveDllHoldsAnotherObjectUntilReleased) {
    TraceCapture trace;
    const auto plugin = Plugin::create();
    auto other = Plugin::create();
    const std::weak_ptr<Plugin> watchOther = other;
    plugin->setActiveDll(other);
    other.reset();
    ASSERT_FALSE(watchOther.expired());
    EXPECT_EQ(plugin->ActiveDll(), watchOther.lock());

    plugin->setActiveDll(plugin);
    EXPECT_TRUE(watchOther.expired());
    EXPECT_EQ(plugin->ActiveDll().get(), static_cast<host::Cinterface*>(plugin.get()));

    plugin->setActiveDll(nullptr);
    EXPECT_FALSE(plugin->ActiveDll());
}

// Host objects that note when they go.
struct NotedMenuEntry : host::MenuEntry {
    explicit NotedMenuEntry(QStringList& n) : notes(n) {}
    ~NotedMenuEntry() override { notes.append(QStringLiteral("ClsVoceMenu")); }
    QStringList& notes;
};
struct NotedGlobalServices : host::GlobalServices {
    explicit NotedGlobalServices(QStringList& n) : notes(n) {}
    ~NotedGlobalServices() override { notes.append(QStringLiteral("ClsGlobal")); }
    QStringList& notes;
};
struct NotedNavigator : host::Navigator {
    explicit NotedNavigator(QStringList& n) : notes(n) {}
    ~NotedNavigator() override { notes.append(QStringLiteral("ActiveNavigator")); }
    QStringList& notes;
};

TEST(PluginClass, EndWritesTheTraceThenReleasesTheHostObjectsInOrder) {
    QStringList notes;
    host::setDebugOutputSink([&notes](const QString& line) {
        const QStringList fields = line.split(u'|');
        if (fields.value(2) == QLatin1String("TER"))
            notes.append(QStringLiteral("TER ") + fields.value(1));
    });
    auto plugin = Plugin::create();
    auto dll = Plugin::create();
    const QString pluginId = plugin->GetInstanceId().asString();
    const QString dllId = dll->GetInstanceId().asString();
    plugin->setActiveDll(dll);
    dll.reset();
    plugin->setClsVoceMenu(std::make_shared<NotedMenuEntry>(notes));
    plugin->setClsGlobal(std::make_shared<NotedGlobalServices>(notes));
    plugin->setActiveNavigator(std::make_shared<NotedNavigator>(notes));
    plugin.reset();
    host::setDebugOutputSink({});

    const QStringList expected = {"TER " + pluginId, "ClsVoceMenu", "ClsGlobal", "ActiveNavigator",
                                  "TER " + dllId};
    EXPECT_EQ(notes, expected);
}

// A navigator that tells whether its button event has a receiver.
struct ObservedNavigator : host::Navigator {
    bool buttonEventConnected() const {
        return isSignalConnected(QMetaMethod::fromSignal(&host::Navigator::ButtonPressed));
    }
};

TEST(PluginClass, NavigatorEventsReachTheInstanceOnlyWhileItIsSet) {
    const auto plugin = Plugin::create();
    const auto first = std::make_shared<ObservedNavigator>();
    const auto second = std::make_shared<ObservedNavigator>();
    plugin->setActiveNavigator(first);
    EXPECT_TRUE(first->buttonEventConnected());
    plugin->setActiveNavigator(second);
    EXPECT_FALSE(first->buttonEventConnected());
    EXPECT_TRUE(second->buttonEventConnected());
    plugin->setActiveNavigator(nullptr);
    EXPECT_FALSE(second->buttonEventConnected());
}

} // namespace
