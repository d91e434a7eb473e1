#pragma once

struct CliOptions;

// plu-cli doctor: the connection check, one line per finding on standard
// output. Exit 0 when the register answered, 1 otherwise.
int RunDoctor(const CliOptions& options);
