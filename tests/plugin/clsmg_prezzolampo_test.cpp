// The plug-in class CLSMG_PREZZOLAMPO as the host sees it through Cinterface: the conversions
// of its stored properties, CloseForm without a window, TransferData, the trace lines and the
// instance's lifetime.
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
struct TraceCapture {
    TraceCapture() {
        host::setDebugOutputSink([this](const QString& line) { lines.append(line.split(u'|')); });
    }
    ~TraceCapture() { host::setDebugOutputSink({}); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;
    QList<QStringList> lines; // split into their fields
};

struct Property {
    std::function<void(Plugin&, const rt::Variant&)> write;
    std::function<rt::Variant(const Plugin&)> read;
};

const std::map<std::string, Property>& properties() {
    static const std::map<std::string, Property> map = {
        {"Top", {&Plugin::setTop, &Plugin::Top}},
        {"Left", {&Plugin::setLeft, &Plugin::Left}},
        {"WindowState",
         {[](Plugin& p, const rt::Variant& v) { p.setWindowState(v.asLong()); },
          [](const Plugin& p) { return rt::Variant(p.WindowState()); }}},
        {"ProgramMode",
         {[](Plugin& p, const rt::Variant& v) { p.setProgramMode(v.asLong()); },
          [](const Plugin& p) { return rt::Variant(p.ProgramMode()); }}},
        {"CodiceArticolo", {&Plugin::setCodiceArticolo, &Plugin::CodiceArticolo}},
        {"Caption", {&Plugin::setCaption, &Plugin::Caption}},
    };
    return map;
}

// A property written twice: the second value is converted or refused (then the first stays).
TEST(PluginClass, StoredPropertiesConvertOrKeepTheirValue) {
    using L = std::int32_t;
    const struct {
        const char* member;
        rt::Variant first, second, expected;
    } table[] = {
        {"Top", L{0}, "120", L{120}},
        {"Top", "120", "abc", L{120}},
        {"Top", L{7}, rt::Variant(), L{0}},
        {"Top", L{7}, 2.5, L{2}},          // halves to even
        {"Top", L{7}, "3000000000", L{7}}, // overflow
        {"WindowState", L{2}, L{32767}, L{32767}},
        {"WindowState", L{2}, L{32768}, L{2}},
        {"ProgramMode", L{3}, L{40000}, L{3}},
        {"CodiceArticolo", "A", "ART 01 ", "ART 01 "},
        {"CodiceArticolo", "A", rt::Variant::null(), "A"},
        {"CodiceArticolo", "A", rt::Variant(), ""},
        {"CodiceArticolo", "A", 1.5, "1,5"},
        // Caption is stored as given: the window's caption converts it later.
        {"Caption", "A", rt::Variant::null(), rt::Variant::null()},
        {"Caption", "A", L{5}, L{5}},
    };
    for (const auto& row : table) {
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

TEST(PluginClass, CloseFormBeforeAnyShowFormAnswersTrue) {
    const auto plugin = Plugin::create();
    EXPECT_EQ(plugin->CloseForm(), rt::Variant(true));
    EXPECT_EQ(plugin->CloseForm(), rt::Variant(true));
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
        rt::Variant answer = "not called";
        EXPECT_NO_THROW(answer = plugin->TransferData(data));
        EXPECT_EQ(answer, rt::Variant());
        EXPECT_EQ(received, QList<rt::Variant>{data});
    }
}

TEST(PluginClass, EachInstanceTracesItsStartAndEndUnderItsOwnIdentifier) {
    TraceCapture trace;
    for (int i = 0; i < 2; ++i) {
        auto plugin = Plugin::create();
        // ActiveDll answers the instance itself without keeping it alive.
        ASSERT_EQ(plugin->ActiveDll().get(), static_cast<host::Cinterface*>(plugin.get()));
        EXPECT_EQ(std::dynamic_pointer_cast<PluginClassInterface>(plugin->ActiveDll()).get(),
                  static_cast<PluginClassInterface*>(plugin.get()));
        const std::weak_ptr<Plugin> watch = plugin;
        plugin.reset();
        EXPECT_TRUE(watch.expired());
    }
    const QList<QStringList>& lines = trace.lines;
    ASSERT_EQ(lines.size(), 4);
    const QRegularExpression guid(QStringLiteral("^[0-9A-F]{32}$"));
    const char* phases[] = {"INI", "TER", "INI", "TER"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(lines[i].join(u'|').toStdString());
        EXPECT_EQ(lines[i], (QStringList{"QVMA:", lines[i].value(1), phases[i], "RIDE_PREZZOLAMPO",
                                         "CLSMG_PREZZOLAMPO"}));
        EXPECT_TRUE(guid.match(lines[i].value(1)).hasMatch());
    }
    EXPECT_EQ(lines[0][1], lines[1][1]);
    EXPECT_EQ(lines[2][1], lines[3][1]);
    EXPECT_NE(lines[0][1], lines[2][1]);
}

// Host objects that note when they go.
template <typename Base> struct Noted : Base {
    Noted(QStringList& n, const char* what) : notes(n), name(what) {}
    ~Noted() override { notes.append(QLatin1String(name)); }
    QStringList& notes;
    const char* name;
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
    plugin->setClsVoceMenu(std::make_shared<Noted<host::MenuEntry>>(notes, "ClsVoceMenu"));
    plugin->setClsGlobal(std::make_shared<Noted<host::GlobalServices>>(notes, "ClsGlobal"));
    plugin->setActiveNavigator(std::make_shared<Noted<host::Navigator>>(notes, "ActiveNavigator"));
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
