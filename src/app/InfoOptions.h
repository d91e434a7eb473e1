#pragma once

#include <optional>

// `plu-manager --help` and `--version`: answered on standard output before
// any window (or display) is needed. The exit status when one of them was
// given, nothing otherwise.
std::optional<int> AnswerInfoOptions(int argc, const char* const* argv);
