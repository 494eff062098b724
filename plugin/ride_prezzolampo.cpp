// RIDE_PREZZOLAMPO: the plug-in library as the host finds it. Its metadata names the classes
// it can create (read by the host without loading the library); its factory creates them by
// name. The constructor does nothing: the work starts when the host creates a class.
#include "host/contract/cinterface.h"
#include "plugin/clsmg_prezzolampo.h"

#include <QObject>
#include <QStringList>

class RidePrezzolampoPlugin : public QObject, public host::PluginFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PREZZOLAMPO_PLUGIN_FACTORY_IID FILE "ride_prezzolampo.json")
    Q_INTERFACES(host::PluginFactory)

  public:
    QStringList classNames() const override {
        return {QString::fromLatin1(CLSMG_PREZZOLAMPO::ClassName)};
    }

    std::shared_ptr<host::Cinterface> create(const QString& className) override {
        if (className.compare(QLatin1String(CLSMG_PREZZOLAMPO::ClassName), Qt::CaseInsensitive) !=
            0)
            return nullptr;
        return CLSMG_PREZZOLAMPO::create();
    }
};

#include "ride_prezzolampo.moc"
