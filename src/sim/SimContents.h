#pragma once

#include "sim/SimMemory.h"
#include "sim/SimRecords.h"

#include <QJsonObject>
#include <QString>

#include <array>
#include <map>
#include <vector>

// Everything the simulated register keeps: its PLU and department tables,
// the parameter block, the sales figures per article, the status values and
// what a program or font download brought in. The tables can be saved to and
// loaded from a readable JSON state file (see src/sim/README.md).
class TSimContents {
public:
    static constexpr int kPluCount = 3000;
    static constexpr int kDepartmentCount = 9;
    static constexpr int kMaxTotals = 10000;
    static constexpr int kMaxFontPackages = 1024;
    static constexpr int kProgramBlocks = 1024;  // the size of the program memory
    static constexpr int kBlockBytes = SimMemory::kBlockBytes;

    using Block = std::array<quint8, kBlockBytes>;
    using ParameterBlock = std::array<quint8, SimRecords::Parameters::kBytes>;

    // What a program download delivered.
    struct ProgramImage {
        bool started = false;
        quint16 startValue = 0;
        std::map<quint16, Block> blocks;
        bool ended = false;
        quint16 announcedChecksum = 0;
    };

    // PLUs and departments by 0-based index; reads beyond the table give a
    // zero record, writes beyond it are refused.
    SimRecords::PluBytes Plu(qint64 index) const;
    bool SetPlu(qint64 index, const SimRecords::PluBytes& record);
    SimRecords::DepartmentBytes Department(qint64 index) const;
    bool SetDepartment(qint64 index, const SimRecords::DepartmentBytes& record);

    const ParameterBlock& Parameters() const { return m_parameters; }
    // Half 0 or 1 of the parameter block.
    Block ParameterHalf(int half) const;
    bool SetParameterHalf(int half, const quint8* bytes);

    const std::vector<SimRecords::TotalsFields>& Totals() const { return m_totals; }
    bool SetTotals(std::vector<SimRecords::TotalsFields> totals);
    // The q-th 256-byte slice of the packed list of 17-byte records.
    Block TotalsSlice(qint64 slice) const;

    quint8 PriceDecimals() const { return m_priceDecimals; }
    void SetPriceDecimals(quint8 decimals) { m_priceDecimals = decimals; }
    quint8 ReportState() const { return m_reportState; }
    void SetReportState(quint8 state) { m_reportState = state; }

    const std::map<quint16, Block>& FontPackages() const { return m_fontPackages; }
    bool StoreFontPackage(quint16 index, const quint8* bytes);
    // All packages in order, gaps filled with zeros.
    QByteArray FontBytes() const;

    ProgramImage& Program() { return m_program; }
    const ProgramImage& Program() const { return m_program; }
    // The received blocks at their places, gaps filled with zeros.
    QByteArray ProgramBytes() const;

    // A small shop: named articles with barcodes and prices, nine named
    // departments, receipt header lines, clerks, VAT rates and some sales.
    void FillDemo();

    QJsonObject ToJson() const;
    // Replaces the contents only when the whole object is valid.
    bool FromJson(const QJsonObject& json, QString* error);

    bool LoadFile(const QString& path, QString* error);
    // Written through a temporary file and renamed, so a crash never leaves
    // a half-written state file.
    bool SaveFile(const QString& path, QString* error) const;

private:
    std::vector<SimRecords::PluBytes> m_plus;  // allocated with the first PLU stored
    std::array<SimRecords::DepartmentBytes, kDepartmentCount> m_departments{};
    ParameterBlock m_parameters{};
    std::vector<SimRecords::TotalsFields> m_totals;
    quint8 m_priceDecimals = 2;
    quint8 m_reportState = 0;
    std::map<quint16, Block> m_fontPackages;
    ProgramImage m_program;
};
