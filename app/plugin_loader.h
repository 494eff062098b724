#pragma once
// Finds the plug-in libraries of the host's plug-in folder and creates their classes by name.
// The class names come from each library's metadata, read without loading the library; a
// library is loaded only to create one of its classes, and stays loaded for the program's life.

#include "host/contract/cinterface.h"

#include <QList>
#include <QPluginLoader>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class PluginLoader {
  public:
    struct Library {
        QString file;
        QStringList classes;
    };

    explicit PluginLoader(QString folder);

    const QString& folder() const { return folder_; }
    // The plug-in libraries of the folder that offer the host's plug-in factory.
    QList<Library> libraries() const;
    // Creates the named class (case does not matter, as with component names). Nullptr when
    // no library offers it or it cannot be loaded; errorText() says why, in Italian.
    std::shared_ptr<host::Cinterface> create(const QString& className);
    QString errorText() const { return error_; }

  private:
    QString folder_;
    QString error_;
    std::vector<std::unique_ptr<QPluginLoader>> loaded_;
};
