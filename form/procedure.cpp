// The error convention's engine: what a failing step does, by the error routine's answer.
#include "form/procedure.h"

namespace {
// Answers of the error report as the procedures act on them.
constexpr int AnswerContinue = 2;
constexpr int AnswerRetry = 4;
} // namespace

bool Procedure::handle(const rt::Error& e) {
    if (routine_ == nullptr)
        return false; // errors ignored: the step is over, the next one runs
    const int answer = routine_->reportProcedureError(name_, e);
    if (answer == AnswerRetry)
        return true;
    if (answer == AnswerContinue)
        return false;
    left_ = true; // 3 and anything else: leave the procedure
    return false;
}
