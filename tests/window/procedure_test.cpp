// The error convention's engine on its own: a scripted error routine answers 2, 3, 4 or any
// other number, and the steps record what ran.
#include "form/procedure.h"

#include <QList>
#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class ScriptedRoutine : public ErrorRoutine {
  public:
    QList<int> answers;
    QStringList procedures;
    QList<int> numbers;
    QStringList descriptions;
    int reportProcedureError(const QString& procedure, const rt::Error& error) override {
        procedures.append(procedure);
        numbers.append(error.number());
        descriptions.append(error.description());
        return answers.isEmpty() ? 3 : answers.takeFirst();
    }
};

// A function of three steps whose second step fails `failures` times before it succeeds; the
// steps as they ran, retries included.
QList<int> runThreeSteps(Procedure& p, int failures) {
    QList<int> runs;
    p([&] { runs.append(1); });
    p([&] {
        runs.append(2);
        if (failures-- > 0)
            throw rt::Error::typeMismatch();
    });
    p([&] { runs.append(3); });
    return runs;
}

TEST(Procedure, TheAnswerDecidesWhatRunsNext) {
    const struct {
        const char* name;
        QList<int> answers;
        int failures;
        QList<int> runs;
        bool left;
        int reports;
        bool ignoring = false; // errors skip the failing step without asking
    } cases[] = {
        {"Continue", {2}, 1, {1, 2, 3}, false, 1},
        {"RetryOnce", {4}, 1, {1, 2, 2, 3}, false, 1},
        {"RetryTwiceThenContinue", {4, 4, 2}, 5, {1, 2, 2, 2, 3}, false, 3},
        {"Leave", {3}, 1, {1, 2}, true, 1},
        {"OtherAnswerLeaves", {7}, 1, {1, 2}, true, 1},
        {"NoErrorNoReport", {}, 0, {1, 2, 3}, false, 0},
        {"IgnoringErrors", {}, 3, {1, 2, 3}, false, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedRoutine routine;
        routine.answers = c.answers;
        const QString name = QStringLiteral("SetupGrids");
        Procedure p = c.ignoring ? Procedure::ignoringErrors(name) : Procedure(routine, name);
        EXPECT_EQ(runThreeSteps(p, c.failures), c.runs);
        EXPECT_EQ(p.left(), c.left);
        EXPECT_EQ(routine.procedures, QStringList(c.reports, QStringLiteral("SetupGrids")));
        EXPECT_EQ(routine.numbers, QList<int>(c.reports, rt::ErrTypeMismatch));
    }
}

// A step answers whether it ran to its end; exceptions other than the runtime's errors are
// reported as internal errors; a leave from inside a step stops the rest without asking.
TEST(Procedure, StepAnswersWhetherItRanToItsEnd) {
    ScriptedRoutine routine;
    routine.answers = {2, 3};
    Procedure p(routine, QStringLiteral("UpdateRecord"));
    EXPECT_TRUE(p([] {}));
    EXPECT_FALSE(p([] { throw std::runtime_error("disco pieno"); })); // continued
    EXPECT_FALSE(p([] { throw rt::Error::objectNotSet(); }));         // left
    bool ranAfterLeaving = false;
    EXPECT_FALSE(p([&] { ranAfterLeaving = true; }));
    EXPECT_FALSE(ranAfterLeaving);
    EXPECT_EQ(routine.numbers, (QList<int>{rt::ErrInternal, rt::ErrObjectNotSet}));
    EXPECT_EQ(routine.descriptions.value(0), QStringLiteral("disco pieno"));

    Procedure q(routine, QStringLiteral("Form_Activate"));
    QList<int> runs;
    q([&] {
        runs.append(1);
        q.leave();
    });
    q([&] { runs.append(2); });
    EXPECT_EQ(runs, (QList<int>{1}));
    EXPECT_EQ(routine.procedures.size(), 2) << "the leave asked nothing";
}

} // namespace
