#pragma once

#include <QString>

struct ServiceResult;
struct TransferResult;

// How plu-cli ends, and how an outcome is told on standard error.
namespace ExitStatus {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// "plu-cli: <text>" on standard error.
void PrintError(const QString& text);

// A wrong command line: says what is wrong and where help is, returns 2.
int UsageError(const QString& text);

// Prints what the operator has not been told yet and returns the exit status:
// 0 when every step ran (a detail, such as a link trace that could not be
// written, is then a warning), 1 for every other outcome.
// `cause` is why it failed in words, said below the status text.
int Report(const TransferResult& result, const QString& cause = QString());

// A signal ended the command before it wrote `file`, which is left as it
// was: says so and returns 1.
int Interrupted(const QString& file);
int Report(const ServiceResult& result, const QString& cause = QString());

} // namespace ExitStatus
