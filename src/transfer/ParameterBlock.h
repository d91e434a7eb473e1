#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>

class SettingsFile;

// The register's parameter set as one 512-byte block, sent and received as
// two packages of 256 bytes. Numbers are big-endian; texts are single bytes
// padded with zeros (a text of full width has no terminator). Bytes not named
// here are reserved: sent as zeros, ignored when received.
namespace ParameterBlockLayout {
constexpr std::size_t kSize = 512;
constexpr std::size_t kPackageBytes = 256;
constexpr int kPackages = 2;

constexpr std::size_t kDiscountRate = 37;   // percent × 100, 16-bit
constexpr std::size_t kSurchargeRate = 39;  // percent × 100, 16-bit
constexpr std::size_t kOptionBits = 41;     // 4 bytes; bit 0 least significant
constexpr int kOptionBytes = 4;
constexpr std::size_t kHeaderLines = 45;    // 5 × 24 bytes
constexpr int kHeaderCount = 5;
constexpr std::size_t kTailLines = 165;     // 2 × 24 bytes
constexpr int kTailCount = 2;
constexpr std::size_t kLineWidth = 24;
constexpr std::size_t kBarcodeTypes = 213;  // 10 bytes
constexpr int kBarcodeTypeCount = 10;
constexpr std::size_t kPrintSpeed = 223;
constexpr std::size_t kClerkPasswords = 348;  // 4 × 16-bit
constexpr std::size_t kClerkNames = 356;      // 4 × 10 bytes
constexpr int kClerkCount = 4;
constexpr std::size_t kClerkNameWidth = 10;
constexpr std::size_t kVatRates = 397;        // 9 × 16-bit, percent × 100
constexpr int kVatCount = 9;

// Rate values with a meaning of their own.
constexpr quint16 kVatTaxFree = 10000;
constexpr quint16 kVatDisabled = 10001;
} // namespace ParameterBlockLayout

using ParameterBlock = std::array<quint8, ParameterBlockLayout::kSize>;

// Builds the block from section "Default" of the settings file; missing or
// malformed keys take their defaults.
ParameterBlock EncodeParameterBlock(const SettingsFile& settings);

// Writes every item of the block into section "Default" in one replacement of
// the file. Throws SettingsWriteError on a refused write; the file then keeps
// its old content.
void WriteParameterBlock(const ParameterBlock& block, SettingsFile& settings);
