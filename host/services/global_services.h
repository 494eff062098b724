#pragma once
// Global services of the host: connection settings, the company, the current contract, the
// application object, the closing of a contract, the currency service, the company
// parameters the window reads, and the factory of the host objects a window creates.

#include "runtime/variant.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QObject;
class QWidget;

namespace host {

class Cinterface;
class Connection;
class CurrencyService;
class LogService;
class NetPriceCalculator;
class RoundingService;
class NumberFormatter;
class RecordsetSupplier;
class ArticleLookupProvider;
class MediaLink;

// How the window makes the host objects it owns. The host program fills it with the real
// ones; tests replace single entries (a scripted log service, a failing connection, ...).
struct HostObjectFactory {
    std::function<std::shared_ptr<LogService>()> logService;
    std::function<std::shared_ptr<Connection>()> connection;
    std::function<std::shared_ptr<NetPriceCalculator>()> netPriceCalculator;
    std::function<std::shared_ptr<RoundingService>()> roundingService;
    std::function<std::shared_ptr<NumberFormatter>()> numberFormatter;
    std::function<std::shared_ptr<RecordsetSupplier>()> recordsetSupplier;
    std::function<std::shared_ptr<ArticleLookupProvider>()> articleLookupProvider;
    std::function<std::shared_ptr<MediaLink>()> mediaLink;

    // Real objects everywhere; the log service writes to logFilePath with dialogs.
    static HostObjectFactory standard(const QString& logFilePath);
};

class GlobalServices : public rt::Object {
  public:
    GlobalServices();
    ~GlobalServices() override;

    // The connection-settings object's text: the connection string.
    QString connectionString() const { return connectionString_; }
    void setConnectionString(const QString& s) { connectionString_ = s; }
    // The company object's code, as text.
    QString companyCode() const { return companyCode_; }
    void setCompanyCode(const QString& s) { companyCode_ = s; }
    QString applicationTitle() const { return applicationTitle_; }
    // The session object: who works and where.
    struct Session {
        QString user;
        QString workstation;
    };
    const Session& session() const { return session_; }
    void setSession(Session s) { session_ = std::move(s); }
    void setApplicationTitle(const QString& s) { applicationTitle_ = s; }

    // The current plug-in contract (set by a window's status hand-over).
    std::shared_ptr<Cinterface> currentContract() const { return currentContract_; }
    void setCurrentContract(std::shared_ptr<Cinterface> c) { currentContract_ = std::move(c); }
    // The application object handed over by an active window.
    QObject* application() const { return application_; }
    void setApplication(QObject* app) { application_ = app; }
    // A window tells the host that its contract is closing.
    void closing(const std::shared_ptr<Cinterface>& contract);
    // Clears the contract references held for a window (current and last closed).
    void clearContractReferences();
    const QList<std::shared_ptr<Cinterface>>& closedContracts() const { return closed_; }

    std::shared_ptr<CurrencyService> currency() const { return currency_; }
    // Company parameter: 0 = mark-up added on cost, other = margin on the selling price. A
    // Variant as the host keeps its parameters (it may be Null where nobody set it).
    rt::Variant markupMethod() const { return markupMethod_; }
    void setMarkupMethod(const rt::Variant& m) { markupMethod_ = m; }

    // Where the host shows a plug-in window (its window area); unset: a top-level window.
    std::function<void(QWidget* window)> presentWindow;

    HostObjectFactory& factory() { return factory_; }
    const HostObjectFactory& factory() const { return factory_; }

  private:
    QString connectionString_;
    QString companyCode_;
    QString applicationTitle_ = QStringLiteral("prezzolampo");
    Session session_;
    std::shared_ptr<Cinterface> currentContract_;
    QList<std::shared_ptr<Cinterface>> closed_;
    QObject* application_ = nullptr;
    std::shared_ptr<CurrencyService> currency_;
    rt::Variant markupMethod_ = std::int16_t(0);
    HostObjectFactory factory_;
};

} // namespace host
