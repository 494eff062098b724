#include "storage/load_answers.h"

#include "host/data/recordset.h"
#include "storage/form_utilities.h"

#include <algorithm>

namespace storage {

LoadAnswers::LoadAnswers(std::int16_t side, QString article, QString option,
                         QList<ListPeriod> lists, std::shared_ptr<host::Recordset> rows)
    : side_(side), article_(std::move(article)), option_(std::move(option)),
      rows_(std::move(rows)) {
    // The statements write the days as DataSql gives them: equal texts, equal conditions.
    for (const ListPeriod& list : lists)
        lists_.append({list.listNumber, DataSql(list.firstDay), DataSql(list.lastDay)});
}

std::shared_ptr<host::Recordset> LoadAnswers::rowsFor(std::int16_t side, const QString& article,
                                                      const QString& option,
                                                      const QString& listNumber,
                                                      const QString& firstDay,
                                                      const QString& lastDay) const {
    if (!rows_ || side != side_ || article != article_ || option != option_)
        return nullptr;
    const auto list = std::find_if(lists_.cbegin(), lists_.cend(), [&](const ListPeriod& l) {
        return QString::number(l.listNumber) == listNumber;
    });
    if (list == lists_.cend() || list->firstDay != DataSql(firstDay) ||
        list->lastDay != DataSql(lastDay))
        return nullptr;
    return rows_->rowsMatching(u"LI10_NUMLIST = "_qs + listNumber);
}

} // namespace storage
