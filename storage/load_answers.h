#pragma once
// The stored price-list rows of one side's load, read with one statement before the working
// rows are made, so that the load's EsisteListino and GetListino questions are answered
// without a statement each. A question is answered only when it is exactly one the read
// covered (same side, article, option, list number and period texts); any other goes to the
// server as before.

#include "storage/statements.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

namespace host {
class Recordset;
}

namespace storage {

class LoadAnswers {
  public:
    LoadAnswers(std::int16_t side, QString article, QString option, QList<ListPeriod> lists,
                std::shared_ptr<host::Recordset> rows);

    // The rows the question's statement would read, on the first one; nullptr when the
    // question is not one of the load's.
    std::shared_ptr<host::Recordset> rowsFor(std::int16_t side, const QString& article,
                                             const QString& option, const QString& listNumber,
                                             const QString& firstDay, const QString& lastDay) const;

  private:
    std::int16_t side_;
    QString article_;
    QString option_;
    QList<ListPeriod> lists_; // days as DataSql writes them
    std::shared_ptr<host::Recordset> rows_;
};

} // namespace storage
