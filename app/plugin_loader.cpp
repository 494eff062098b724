#include "app/plugin_loader.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibrary>

namespace {

// The class names in a library's metadata, when it offers the host's plug-in factory.
QStringList classesOf(const QJsonObject& metaData) {
    if (metaData.value(QStringLiteral("IID")).toString() !=
        QLatin1String(PREZZOLAMPO_PLUGIN_FACTORY_IID))
        return {};
    QStringList names;
    const QJsonArray classes = metaData.value(QStringLiteral("MetaData"))
                                   .toObject()
                                   .value(QStringLiteral("classes"))
                                   .toArray();
    for (const QJsonValue& name : classes)
        names.append(name.toString());
    return names;
}

} // namespace

PluginLoader::PluginLoader(QString folder) : folder_(std::move(folder)) {}

QList<PluginLoader::Library> PluginLoader::libraries() const {
    QList<Library> found;
    const QDir dir(folder_);
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& name : files) {
        const QString path = dir.absoluteFilePath(name);
        if (!QLibrary::isLibrary(path))
            continue;
        const QStringList classes = classesOf(QPluginLoader(path).metaData());
        if (!classes.isEmpty())
            found.append({path, classes});
    }
    return found;
}

std::shared_ptr<host::Cinterface> PluginLoader::create(const QString& className) {
    error_.clear();
    for (const Library& library : libraries()) {
        if (!library.classes.contains(className, Qt::CaseInsensitive))
            continue;
        auto loader = std::make_unique<QPluginLoader>(library.file);
        auto* factory = qobject_cast<host::PluginFactory*>(loader->instance());
        if (!factory) {
            error_ = QStringLiteral("Impossibile caricare la libreria %1: %2")
                         .arg(library.file, loader->errorString());
            return nullptr;
        }
        loaded_.push_back(std::move(loader));
        std::shared_ptr<host::Cinterface> instance = factory->create(className);
        if (!instance)
            error_ = QStringLiteral("La libreria %1 non ha creato la classe %2")
                         .arg(library.file, className);
        return instance;
    }
    error_ = QStringLiteral("Classe %1 non trovata nella cartella dei plug-in %2")
                 .arg(className, QDir::toNativeSeparators(folder_));
    return nullptr;
}
