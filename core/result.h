#pragma once

#include <QString>

namespace Velmira {

// The outcome of a persistence operation: ok, or a message for the user that names the path and
// the reason. A success may carry a message too: something the user should be told although the
// operation went through.
struct Result
{
    bool ok = true;
    QString message;

    static Result success(const QString &note = {}) { return {true, note}; }
    static Result failure(const QString &message) { return {false, message}; }
};

// A value read from storage together with the outcome of the read. On failure `value` is
// default-constructed and must not be used.
template <typename T> struct Loaded
{
    T value{};
    Result result;
};

} // namespace Velmira
