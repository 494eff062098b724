#pragma once
// Run-time errors: every failure the window's code can meet is an exception carrying
// a number and a description, as the desktop run time reports them.

#include <QString>
#include <stdexcept>

namespace rt {

enum ErrorNumber : int {
    ErrOverflow = 6,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrObjectNotSet = 91,
    ErrInvalidUseOfNull = 94,
    ErrInvalidProcedureCall = 5,
    ErrSubscriptOutOfRange = 9,
    ErrInternal = 51,
    // Errors raised by the data layer; the text is the server's own message.
    ErrDatabase = -2147217900,
};

class Error : public std::runtime_error {
  public:
    Error(int number, const QString& description);
    int number() const { return number_; }
    QString description() const { return description_; }

    static Error overflow();
    static Error typeMismatch();
    static Error divisionByZero();
    static Error invalidUseOfNull();
    static Error objectNotSet();

  private:
    int number_;
    QString description_;
};

} // namespace rt
