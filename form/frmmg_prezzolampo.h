#pragma once
// FRMMG_PREZZOLAMPO: the window "Creazione Veloce Listini Anagrafici". One class, declared
// here; its procedures are defined in the folder of the subsystem they belong to:
//   form/lifecycle.cpp, form/layout.cpp, form/header.cpp     (life, error routine, header)
//   grids/columns.cpp, grids/setup.cpp, grids/editing.cpp    (columns, parameters, editing)
//   pricing/recalculation.cpp                                (derivation of sales prices)
//   storage/working_tables.cpp, storage/loading.cpp, storage/saving.cpp

#include "form/plugin_class.h"
#include "form/procedure.h"
#include "runtime/variant.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

namespace host {
class ArticleLookupProvider;
class Cinterface;
class Connection;
class ConnectionFactory;
class GlobalServices;
class HeaderFrame;
class KRX_COMBO;
class KRX_GROUPBOX;
class KRX_LABEL;
class KRX_QGRID;
class KRX_RESIZEFORM;
class KRX_TBARMENU;
class KrxRichTextBox;
class LogService;
class MDIActiveX;
class NetPriceCalculator;
class NumberFormatter;
class Recordset;
class RecordsetSupplier;
class RoundingService;
class TXT_EDITVARIANTE;
class FieldControl;
class TxtArticolo;
class TxtEditDate;
class GridRow;
} // namespace host

// What the list of the grid's current row asks for.
namespace storage {
class LoadAnswers;
}

struct ListConfig {
    std::int16_t RichPrezzo = 0;
    std::int16_t NumScPerc = 0;
    std::int16_t RichScImp = 0;
    std::int16_t NumMagPerc = 0;
    std::int16_t RichMagImp = 0;
    std::int16_t RichRicarico = 0;
    std::int16_t RichProvv = 0;
};

class FRMMG_PREZZOLAMPO : public QWidget, public ErrorRoutine {
    Q_OBJECT
  public:
    // Form_Initialize: builds the controls and writes the "INI" trace line.
    explicit FRMMG_PREZZOLAMPO(QWidget* parent = nullptr);
    // Form_Terminate: writes the "TER" trace line.
    ~FRMMG_PREZZOLAMPO() override;

    // ---- Public variables, in the window's order ----
    FRMMG_PREZZOLAMPO* FrmPrezzoLampo = nullptr;
    std::shared_ptr<host::GlobalServices> Gcls_Global;
    std::shared_ptr<host::LogService> Gcls_Log;
    std::shared_ptr<host::Connection> Gcon_Connect;
    std::shared_ptr<host::ConnectionFactory> Gcls_Connect;
    QString Gstr_Connect;
    std::shared_ptr<PluginClassInterface> ActiveClass;
    std::shared_ptr<host::Cinterface> ActiveInterface;
    std::shared_ptr<host::Recordset> Rst_RecSet_LISACQ;
    std::shared_ptr<host::Recordset> Rst_RecSet_LISVEN;

    // ---- What the plug-in class and the host call ----
    // The first access to the window: runs Form_Load once.
    void ensureLoaded();
    bool isLoaded() const { return loaded_; }
    // Unloads the window: query-unload, then unload. True when the window closed.
    bool unloadForm();
    bool isUnloaded() const { return unloaded_; }
    // Shows the window; modal shows return when the window has closed.
    void showForm(bool modal);
    void setWindowStateValue(std::int32_t state);

    // ---- Window events (form/lifecycle.cpp) ----
    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Form_Unload(bool& cancel);
    void MDIActiveX1_FormLoad();
    void RESIZEFORM_Setup();
    void CMD_NUOVO_ButtonClick();

    // The common error routine: reports the current error and answers 2, 3 or 4.
    std::int32_t GestisciErrore(const QString& procedure);
    int reportProcedureError(const QString& procedure, const rt::Error& error) override;

    // ---- Controls ----
    host::KRX_GROUPBOX* GRB_HEAD = nullptr;
    host::KRX_LABEL* LBL_ARTICOLO = nullptr;
    host::KRX_LABEL* LBL_VARIANTE = nullptr;
    host::TxtArticolo* TXT_CODART = nullptr;
    host::TXT_EDITVARIANTE* TXT_OPZIONE = nullptr;
    host::KrxRichTextBox* TXT_DESCART = nullptr;
    host::KRX_GROUPBOX* GRB_DETAILACQ = nullptr;
    host::KRX_LABEL* TXT_DADATA_ACQ_LBL = nullptr;
    host::KRX_LABEL* TXT_ADATA_ACQ_LBL = nullptr;
    host::TxtEditDate* TXT_DADATA_ACQ = nullptr;
    host::TxtEditDate* TXT_ADATA_ACQ = nullptr;
    host::KRX_COMBO* CBO_DADATA_ACQ = nullptr;
    host::KRX_COMBO* CBO_ADATA_ACQ = nullptr;
    host::KRX_QGRID* GRD_LISACQ = nullptr;
    host::KRX_GROUPBOX* GRB_DETAILVEN = nullptr;
    host::KRX_LABEL* TXT_DADATA_VEN_LBL = nullptr;
    host::KRX_LABEL* TXT_ADATA_VEN_LBL = nullptr;
    host::TxtEditDate* TXT_DADATA_VEN = nullptr;
    host::TxtEditDate* TXT_ADATA_VEN = nullptr;
    host::KRX_COMBO* CBO_DADATA_VEN = nullptr;
    host::KRX_COMBO* CBO_ADATA_VEN = nullptr;
    host::KRX_QGRID* GRD_LISVEN = nullptr;
    host::KRX_LABEL* TXT_DESCLISTINO_LBL = nullptr;
    host::KRX_LABEL* TXT_DESCLISTINO = nullptr;
    host::KRX_TBARMENU* CMD_RICALCOLATUTTI = nullptr;
    host::KRX_TBARMENU* CMD_NUOVO = nullptr;
    host::KRX_RESIZEFORM* RESIZEFORM = nullptr;
    host::MDIActiveX* MDIActiveX1 = nullptr;

    // ---- Window state shared by the subsystems ----
    QString Gstr_InstanceId;
    bool Gbol_Busy = false;
    bool Gbol_Activated = false;
    QString Gstr_Ditta;
    QString Gstr_SqlArticoli;
    std::shared_ptr<host::Recordset> Rst_Articoli;
    std::shared_ptr<host::HeaderFrame> FME_TESTATA;
    // Auxiliary host objects created at load.
    std::shared_ptr<host::NumberFormatter> Gcls_NumberFormat;
    std::shared_ptr<host::ArticleLookupProvider> Gcls_ArticleLookup;
    std::shared_ptr<rt::Object> Gcls_Aux1, Gcls_Aux2, Gcls_Aux3;
    std::shared_ptr<host::NetPriceCalculator> Gcls_NetPrice;
    std::shared_ptr<host::RoundingService> Gcls_Rounding;
    // Recordset suppliers, created on first use.
    std::shared_ptr<host::RecordsetSupplier> Gcls_SupplierArticoli;
    std::shared_ptr<host::RecordsetSupplier> Gcls_SupplierLISACQ;
    std::shared_ptr<host::RecordsetSupplier> Gcls_SupplierLISVEN;
    // The parameter sets: the MG44_PARMAGLIST rows of each side that take part.
    std::shared_ptr<host::Recordset> Rst_ParametriACQ;
    std::shared_ptr<host::Recordset> Rst_ParametriVEN;
    bool AcqStartDateRequired = false;
    bool AcqEndDateRequired = false;
    bool VenStartDateRequired = false;
    bool VenEndDateRequired = false;
    ListConfig CurrentListConfig;
    QString CurrentSide;
    bool RowsModified = false;
    bool RowsInserted = false;
    // The current run-time error, as the error routine hands it to the log service.
    std::optional<rt::Error> Err;

    // ---- Lifecycle (form/lifecycle.cpp) ----
    rt::Variant ExecuteFormEvent(const rt::Variant& eventName);
    rt::Variant Status();
    rt::Variant GetInstanceId();
    QString GetGuidString();

    // ---- Grid columns (grids/columns.cpp) ----
    void INITGRD_LISACQ();
    void INITGRD_LISVEN();

    // ---- Parameter-driven set-up (grids/setup.cpp) ----
    bool SetupGrids();
    std::int16_t IsPositive(host::Recordset& parameters, const QString& field);
    void ConfigurazioneListinoSpecifico(host::Recordset& parameters, host::Recordset& rows,
                                        host::KRX_QGRID* grid);
    void Setup();

    // ---- Header (form/header.cpp) ----
    bool KeyValid();
    bool DAtaValid();
    void Reinizializza();
    void SetupDateValidità();
    void DisabilitaTestata();
    QString GetDateInizio(host::Recordset& parameterRow);
    QString GetDateFine(host::Recordset& parameterRow);
    void FME_TESTATA_ChangeStatus(std::int32_t fenm_status, std::int32_t fenm_reason);
    void TXT_CODART_AfterItem();
    void TXT_OPZIONE_AfterItem();
    // An article or option that cannot be right is refused in words; the field keeps the focus.
    void TXT_CODART_Validate(bool& cancel);
    void TXT_OPZIONE_Validate(bool& cancel);
    void TXT_CODART_StartLookup(QString& query, rt::Variant& keyColumn, QString& title,
                                QString& connectionString);
    void TXT_OPZIONE_StartDecode(QList<QPair<QWidget*, QString>>& targets,
                                 QString& connectionString);
    void TXT_DADATA_ACQ_Validate(bool& cancel);
    void TXT_ADATA_ACQ_Validate(bool& cancel);
    void TXT_DADATA_VEN_Validate(bool& cancel);
    void TXT_ADATA_VEN_Validate(bool& cancel);
    void TXT_DADATA_ACQ_AfterItem();
    void TXT_ADATA_ACQ_AfterItem();
    void TXT_DADATA_VEN_AfterItem();
    void TXT_ADATA_VEN_AfterItem();
    void TXT_DADATA_ACQ_Entered();
    void TXT_ADATA_ACQ_Entered();
    void TXT_DADATA_VEN_Entered();
    void TXT_ADATA_VEN_Entered();

    // ---- Working tables, loading, saving (storage/) ----
    void CreateTabTemp(const QString& tableName);
    void SetupLisVen();
    void SetupLisAcq();
    void ValorizzaRecSet(const QString& tableName, host::Recordset& parameterRow);
    std::shared_ptr<host::Recordset> GetListino(std::int16_t side, const QString& article,
                                                const QString& option,
                                                const rt::Variant& listNumber,
                                                const QString& firstDay, const QString& lastDay);
    bool EsisteListino(std::int16_t listNumber, std::int16_t side, const QString& firstDay,
                       const QString& lastDay);
    void UpdateRecords(const QString& side);
    void UpdateRecord(host::Recordset& rs);
    QString DecimalDB(const rt::Variant& Expression);
    // A working row that the host wrote back to its working table (the media link's code, by
    // a batch update) is saved to the stored price lists as an edited row is.
    void saveRowsWrittenBack(host::Recordset& rs);

    // ---- Fewer round trips to the server (storage/, docs/storage.md) ----
    // On: a load reads the stored rows of a side with one statement and sends its working
    // rows together; a save sends the UPDATE first and the INSERT only when it changed no
    // row. Off: every question is its own statement, as the tests compare.
    bool fewerRoundTrips = true;
    // During a side's load: the stored rows that answer its questions, and the working-row
    // INSERTs held until the last list is done.
    std::shared_ptr<storage::LoadAnswers> loadAnswers;
    std::optional<QStringList> heldWorkingRows;
    void sendWorkingRows(const QString& tableName, const QStringList& inserts);
    // The proposed validity of a list, as GetDateInizio and GetDateFine answer it; these
    // throw rather than report.
    QString proposedStartDate(host::Recordset& parameterRow);
    QString proposedEndDate(host::Recordset& parameterRow);

    // ---- Working tables across a lost connection (storage/working_tables.cpp) ----
    // Makes the connection put the working tables back when it opens a lost session again.
    void keepWorkingTablesAcrossSessions(host::Connection& connection);
    void RestoreWorkingTables(host::Connection& connection);

    // ---- Price derivation (pricing/recalculation.cpp) ----
    // Derives the sales prices from their base purchase lists: every sales row, or only the
    // current one when SoloRigaCorrente is True or 1.
    void RicalcolaPrezzi(const rt::Variant& SoloRigaCorrente = {});
    void CMD_RICALCOLATUTTI_ButtonClick();
    // The article's rounding bracket as text; "" for a blank code, Empty without a bracket.
    rt::Variant GetScaglione(const QString& article);
    // The VAT percentage of the header's article, as a whole number (halves to even); 0 if none.
    std::int16_t GetAliquotaIvaArticolo();

    // ---- Grid editing and navigation (grids/editing.cpp) ----
    rt::Variant ValueBeforeEdit; // the cell's value when its edit started (either grid)
    double MarkupBeforeEdit = 0; // the sales row's mark-up when its edit started
    void GRD_LISACQ_Entered();
    void GRD_LISACQ_KeyDown(int& KeyCode, int Shift);
    void GRD_LISACQ_OnEditing(const host::GridRow& row);
    void GRD_LISACQ_OnEdited(const host::GridRow& row);
    void GRD_LISACQ_RowChanged();
    void GRD_LISVEN_Entered();
    void GRD_LISVEN_KeyDown(int& KeyCode, int Shift);
    void GRD_LISVEN_OnEditing(const host::GridRow& row);
    void GRD_LISVEN_OnEdited(const host::GridRow& row);
    void GRD_LISVEN_RowChanged();
    void SetupGridFocus();
    void CheckColumnsVisibility(host::KRX_QGRID* grid);
    void SetColumnFocus(host::KRX_QGRID* grid, const QString& key);
    std::int16_t GetFocusIndex(const QString& key);
    void SpostaColAdestra();
    void RigaSuccessiva(QString& side);
    bool UltimaColonna();
    void RicalcolaSeUltimaColonna();

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void buildLayout();     // form/layout.cpp
    void connectHandlers(); // form/layout.cpp
    // The header's reaction (form/header.cpp), each part a step of the calling handler.
    void headerReaction(Procedure& p);
    void enableGridsByKey(Procedure& p);
    void enableRecalculationByKey(Procedure& p);
    bool setupWhenKeyValid(Procedure& p); // true when the header was complete and Setup ran
    void dateAfterItem(const QString& procedure, host::KRX_QGRID* grid);
    void dateValidate(const QString& procedure, host::TxtEditDate* field, bool& cancel);
    // Shows the field's refusal and cancels its confirmation; false when there is none.
    bool refuseWrongContent(Procedure& p, host::FieldControl* field, bool& cancel);
    // The calling program's article, entered as if typed and confirmed (first activation).
    void enterCalledArticle(Procedure& p, const QString& code);
    // The side's header date (trimmed) for a parameter row; nullopt for an unknown side.
    std::optional<QString> sideHeaderDate(host::Recordset& parameterRow,
                                          host::TxtEditDate* salesField,
                                          host::TxtEditDate* purchaseField);
    // The column rules of one side's parameter set (grids/setup.cpp).
    void applyColumnRules(Procedure& p, const std::shared_ptr<host::Recordset>& parameters,
                          host::KRX_QGRID* grid, bool purchase);
    // The header (article, option, the side's period) that a side's working set is loaded for.
    QString headerOfSide(host::TxtEditDate* start, host::TxtEditDate* end);
    QString salesLoadedFor_;
    QString purchaseLoadedFor_;
    // Unloading with the reason the window is closing (0 close box, 1 the program).
    bool unloadWith(int unloadMode); // form/lifecycle.cpp
    // The window became the active one: Form_Activate, once per activation.
    void windowActivated(); // form/lifecycle.cpp
    bool loaded_ = false;
    bool loading_ = false;
    // A close asked for while the load ran, with its reason: carried out when the load ends.
    std::optional<int> unloadAfterLoad_;
    bool unloaded_ = false;
    bool unloading_ = false;
    bool active_ = false;
    bool setUpAtLoad_ = false; // the load found the parameters for quick creation
};
