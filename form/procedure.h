#pragma once
// The window's error convention. A procedure runs as a sequence of steps; a run-time error in
// a step is handed to the error routine, whose answer decides: 2 continue with the next step,
// 4 run the failing step again, 3 (or anything else) leave the procedure, after which later
// steps do nothing and a function returns what it has set so far. A procedure that ignores
// errors skips a failing step and goes on.
//
//     bool FRMMG_PREZZOLAMPO::SetupGrids() {
//         Procedure p(*this, "SetupGrids");
//         bool result = false;
//         p([&] { ... });
//         p([&] { ... });
//         return result;
//     }

#include "runtime/errors.h"

#include <QString>
#include <exception>
#include <utility>

class ErrorRoutine {
  public:
    virtual ~ErrorRoutine() = default;
    // Reports the error of the named procedure; answers 2, 3 or 4.
    virtual int reportProcedureError(const QString& procedure, const rt::Error& error) = 0;
};

class Procedure {
  public:
    // Errors go to the routine under the procedure's name.
    Procedure(ErrorRoutine& routine, QString name) : routine_(&routine), name_(std::move(name)) {}
    // Errors are ignored statement by statement.
    static Procedure ignoringErrors(QString name) { return Procedure(std::move(name)); }

    // Runs one step. Answers true when the step ran to its end.
    template <class Step> bool operator()(Step&& step) {
        while (!left_) {
            try {
                std::forward<Step>(step)();
                return true;
            } catch (const rt::Error& e) {
                if (!handle(e))
                    return false;
            } catch (const std::exception& e) {
                if (!handle(rt::Error(rt::ErrInternal, QString::fromUtf8(e.what()))))
                    return false;
            }
        }
        return false;
    }

    // Leaves the procedure from inside a step (the remaining steps do nothing).
    void leave() { left_ = true; }
    bool left() const { return left_; }
    const QString& name() const { return name_; }

  private:
    explicit Procedure(QString name) : name_(std::move(name)) {}
    // True: run the step again; false: the step is over (continued or left).
    bool handle(const rt::Error& e);

    ErrorRoutine* routine_ = nullptr;
    QString name_;
    bool left_ = false;
};
