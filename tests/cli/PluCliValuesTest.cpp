// The register gets exactly what the document says, or nothing and a reason:
// decimal commas, the register's price decimals, rows without a name and the
// parameter values the register itself gave, against the simulator.

#include "CliFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

class PluCliValuesTest : public CliFixture
{
protected:
    static QByteArray PluLine(const QByteArray& barcode, const QByteArray& name, const QByteArray& price,
                              const QByteArray& stocks = "0.000")
    {
        return barcode + "\t" + name + "\t" + price + "\t1\t" + stocks + "\t0\t0\t0\r\n";
    }

    // A register holding the given PLUs and departments, prices in units of
    // 10^-decimals, and the parameter block.
    QString WriteState(int decimals, const QJsonArray& plus, const QJsonArray& departments = {},
                       const QByteArray& parameters = QByteArray(512, '\0'))
    {
        QJsonObject state{{"format", "ecr-sim-state"}, {"version", 1},     {"price_decimals", decimals},
                          {"plus", plus},              {"departments", departments},
                          {"parameters", QString::fromLatin1(parameters.toHex())}};
        const QString path = Path("state.json");
        WriteFile(path, QJsonDocument(state).toJson());
        return path;
    }

    static QJsonObject Plu(int number, const char* barcode, const char* name, int price)
    {
        return {{"number", number}, {"barcode", barcode}, {"name", name}, {"price", price}, {"department", 1}};
    }

    // The PLU lines an upload of the range writes.
    QList<QByteArray> Uploaded(const QString& range)
    {
        const CliRun up = OverSim({"upload", Path("U.PLU"), "--tables", "plu", "--range", range, "--new"});
        EXPECT_EQ(up.exitCode, 0) << up.err.toStdString();
        return Lines(ReadFile(Path("U.PLU")));
    }
};

TEST_F(PluCliValuesTest, ACommaPriceIsSentAsTheValueThatPassedTheCheck)
{
    ASSERT_TRUE(sim.Start()) << sim.ErrorString().toStdString();
    WriteFile(Path("SHOP.PLU"), PluLine("12", "Tea", "1,50", "2,5"));
    const CliRun down = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-1", "--verify"});
    ASSERT_EQ(down.exitCode, 0) << down.err.toStdString();
    const QList<QByteArray> lines = Uploaded("1-1");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], PluLine("12", "Tea", "1.50", "2.500").chopped(1));
}

TEST_F(PluCliValuesTest, APriceTheRegisterCannotKeepIsRefusedBeforeSending)
{
    ASSERT_TRUE(sim.Start({"--price-decimals", "0"})) << sim.ErrorString().toStdString();
    WriteFile(Path("SHOP.PLU"), PluLine("1", "Milk", "1.19") + PluLine("2", "Bread", "2.29")
                                    + PluLine("3", "Cheese", "15.00"));
    const CliRun refused = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-3", "--verify"});
    EXPECT_EQ(refused.exitCode, 1) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("Invalid data!")) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("the register keeps 0 decimals: 1.19 cannot be stored"))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("PLU 2, Unit price: 2.29")) << refused.err.toStdString();
    EXPECT_TRUE(sim.FrameLines().filter("(PLU download)").isEmpty()) << "nothing was sent";

    // Prices the register keeps go, and verify compares the document's own values.
    WriteFile(Path("SHOP.PLU"), PluLine("1", "Milk", "1.00") + PluLine("2", "Bread", "2") + PluLine("3", "Cheese", "15.00"));
    const CliRun whole = OverSim({"download", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-3", "--verify"});
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    EXPECT_TRUE(whole.err.contains("PLU: 0 differences")) << whole.err.toStdString();

    // A document with 1.19 against the register's 1 differs.
    WriteFile(Path("SHOP.PLU"), PluLine("1", "Milk", "1.19") + PluLine("2", "Bread", "2.00") + PluLine("3", "Cheese", "15.00"));
    const CliRun compared = OverSim({"compare", Path("SHOP.PLU"), "--tables", "plu", "--range", "1-3"});
    EXPECT_EQ(compared.exitCode, 3) << compared.err.toStdString();
    EXPECT_EQ(compared.out.trimmed(), "PLU 1 Unit price: document \"1.19\", register \"1.00\"");
}

TEST_F(PluCliValuesTest, AnUploadWritesPricesWithTheRegistersDecimals)
{
    const QString state = WriteState(3, QJsonArray{Plu(1, "2000000000015", "Scale", 1234), Plu(2, "0", "Nail", 5)},
                                     QJsonArray{QJsonObject{{"number", 1}, {"name", "Hardware"}, {"tax", 1}, {"price", 5678}}});
    ASSERT_TRUE(sim.Start({"--state", state})) << sim.ErrorString().toStdString();
    const CliRun up = OverSim({"upload", Path("U.PLU"), "--tables", "plu,department", "--range", "1-2", "--new"});
    ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
    const QList<QByteArray> lines = Lines(ReadFile(Path("U.PLU")));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("2000000000015\tScale\t1.234\t")) << lines[0].constData();
    EXPECT_TRUE(lines[1].startsWith("0\tNail\t0.005\t")) << lines[1].constData();
    EXPECT_TRUE(ReadFile(Path("U.DEP")).startsWith("Hardware\t1\t5.678\r\n")) << ReadFile(Path("U.DEP")).constData();

    // The next download sends what the register held.
    const CliRun down = OverSim({"download", Path("U.PLU"), "--tables", "plu,department", "--range", "1-2", "--verify"});
    ASSERT_EQ(down.exitCode, 0) << down.err.toStdString();
    EXPECT_TRUE(down.err.contains("PLU: 0 differences, department: 0 differences")) << down.err.toStdString();
}

TEST_F(PluCliValuesTest, APluWithoutANameAfterTheLastNamedOneIsKept)
{
    const QString state =
        WriteState(2, QJsonArray{Plu(1, "2000000000015", "Milk 1l", 119), Plu(50, "4006381333931", "", 399)});
    ASSERT_TRUE(sim.Start({"--state", state})) << sim.ErrorString().toStdString();
    const QList<QByteArray> lines = Uploaded("1-60");
    ASSERT_EQ(lines.size(), 50);
    EXPECT_TRUE(lines[49].startsWith("4006381333931\t\t3.99\t1\t")) << lines[49].constData();

    // A sheet that gives such a row to a document changes the file.
    WriteFile(Path("late.csv"), "NO.,Barcode,Unit price\n70,4006381333931,3.99\n");
    const CliRun imported = Cli({"import", "U.PLU", "late.csv"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const QList<QByteArray> after = Lines(ReadFile(Path("U.PLU")));
    ASSERT_EQ(after.size(), 70);
    EXPECT_TRUE(after[69].startsWith("4006381333931\t\t3.99\t")) << after[69].constData();
}

TEST_F(PluCliValuesTest, TheRegistersParametersGoBackUnchanged)
{
    QByteArray block(512, '\0');
    block[37] = char(0x27);  // -% rate 100.00
    block[38] = char(0x10);
    const QByteArray header("AB\x1b" "C\tD");
    block.replace(45, header.size(), header);
    block[213] = 40;          // BCode1
    block[223] = 0;           // print speed 0
    block[399] = char(0x27);  // VAT2 not in use
    block[400] = char(0x11);
    ASSERT_TRUE(sim.Start({"--state", WriteState(2, {}, {}, block)})) << sim.ErrorString().toStdString();
    WriteFile(Path("SHOP.PLU"), PluLine("1", "Tea", "1.00"));

    const CliRun up = OverSim({"upload", Path("SHOP.PLU"), "--tables", "parameter"});
    ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
    const QByteArray uploaded = ReadFile(settings);
    EXPECT_TRUE(uploaded.contains("Header1=AB\x1b" "C\tD")) << "control bytes kept: " << uploaded.constData();
    const CliRun down = OverSim({"download", Path("SHOP.PLU"), "--tables", "parameter"});
    ASSERT_EQ(down.exitCode, 0) << down.err.toStdString();
    ASSERT_EQ(OverSim({"upload", Path("SHOP.PLU"), "--tables", "parameter"}).exitCode, 0);
    EXPECT_EQ(ReadFile(settings), uploaded) << "the register got back what it gave";

    // The hexadecimal form the settings file defines is taken too.
    WriteFile(settings, ReadFile(settings).replace("Print Speed=0", "Print Speed=0x3"));
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--tables", "parameter"}).exitCode, 0);
    ASSERT_EQ(OverSim({"upload", Path("SHOP.PLU"), "--tables", "parameter"}).exitCode, 0);
    EXPECT_TRUE(ReadFile(settings).contains("Print Speed=3")) << ReadFile(settings).constData();

    // What cannot be carried faithfully is still refused.
    WriteFile(settings, "[Default]\r\nVAT3=100.00\r\nPrint Speed=300\r\n-% rate=7.505\r\nHeader2=" + QByteArray(25, 'x') + "\r\n");
    const CliRun refused = OverSim({"download", Path("SHOP.PLU"), "--tables", "parameter"});
    EXPECT_EQ(refused.exitCode, 1);
    for (const char* key : {"VAT3 = 100.00", "Print Speed = 300", "-% rate = 7.505", "Header2 = "})
        EXPECT_TRUE(refused.err.contains(key)) << key << ": " << refused.err.toStdString();
}

} // namespace
