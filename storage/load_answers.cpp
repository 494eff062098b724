#include "storage/load_answers.h"

#include "host/data/recordset.h"
#include "storage/form_utilities.h"

namespace storage {

LoadAnswers::LoadAnswers(std::int16_t side, QString article, QString option,
                         QList<ListPeriod> lists, std::shared_ptr<host::Recordset> rows)
    : side_(side), article_(std::move(article)), option_(std::move(option)),
      lists_(std::move(lists)), rows_(std::move(rows)) {}

std::shared_ptr<host::Recordset> LoadAnswers::rowsFor(std::int16_t side, const QString& article,
                                                      const QString& option,
                                                      const QString& listNumber,
                                                      const QString& firstDay,
                                                      const QString& lastDay) const {
    if (!rows_ || side != side_ || article != article_ || option != option_)
        return nullptr;
    // The statements write the days as DataSql gives them: equal texts, equal conditions.
    for (const ListPeriod& list : lists_) {
        if (QString::number(list.listNumber) == listNumber &&
            DataSql(list.firstDay) == DataSql(firstDay) &&
            DataSql(list.lastDay) == DataSql(lastDay))
            return rows_->rowsMatching(u"LI10_NUMLIST = "_qs + listNumber);
    }
    return nullptr;
}

} // namespace storage
