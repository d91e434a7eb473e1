// Every option a program's --help lists is described in its man page, and the
// man page describes no option the program does not have.

#include "support/SimProcess.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QSet<QString> Options(const QString& text)
{
    static const QRegularExpression kOption(QStringLiteral("(?<![\\w-])--[a-z][a-z0-9-]*"));
    QSet<QString> options;
    for (auto matches = kOption.globalMatch(text); matches.hasNext();)
        options.insert(matches.next().captured());
    return options;
}

QString OutputOf(const QString& program, const QString& option, int* exitCode = nullptr)
{
    QProcess process;
    // plu-manager answers without a display.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(SimProcess::BinDir() + u'/' + program, {option});
    if (!process.waitForFinished(60000))
        return {};
    if (exitCode != nullptr)
        *exitCode = process.exitCode();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString HelpOf(const QString& program)
{
    return OutputOf(program, QStringLiteral("--help"));
}

// The man page's text with roff's escaped minus signs and font changes plain.
QString ManPageText(const QString& program)
{
    QFile file(QStringLiteral(PLU_MAN_DIR "/%1.1").arg(program));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    return text;
}

QStringList Sorted(const QSet<QString>& options)
{
    QStringList list(options.cbegin(), options.cend());
    list.sort();
    return list;
}

TEST(ManPageTest, EachProgramsOptionsAreTheOnesItsManPageDescribes)
{
    for (const QString& program : {QStringLiteral("plu-manager"), QStringLiteral("plu-cli"), QStringLiteral("ecr-sim")}) {
        QSet<QString> help = Options(HelpOf(program));
        help.remove(QStringLiteral("--help-all"));   // Qt's own
        ASSERT_TRUE(help.contains(QStringLiteral("--help"))) << program.toStdString();
        const QSet<QString> page = Options(ManPageText(program));
        EXPECT_EQ(Sorted(help - page), QStringList()) << program.toStdString() << ": missing from the man page";
        EXPECT_EQ(Sorted(page - help), QStringList()) << program.toStdString() << ": not in --help";
    }
}

// One version for all three programs: the project's, printed the same way.
TEST(ManPageTest, EveryProgramPrintsTheProjectsVersionAndExits)
{
    for (const QString& program : {QStringLiteral("plu-manager"), QStringLiteral("plu-cli"), QStringLiteral("ecr-sim")}) {
        int exitCode = -1;
        const QString output = OutputOf(program, QStringLiteral("--version"), &exitCode);
        EXPECT_EQ(exitCode, 0) << program.toStdString();
        EXPECT_EQ(output, QStringLiteral("%1 %2\n").arg(program, QStringLiteral(PLU_PROJECT_VERSION)));
    }
}

TEST(ManPageTest, PluCliManPageNamesEveryCommandAndExitStatus)
{
    const QString page = ManPageText(QStringLiteral("plu-cli"));
    for (const char* command : {"download", "upload", "test", "doctor", "dump", "program", "font", "compare",
                                "history", "export", "import", "labels", "report"})
        EXPECT_TRUE(page.contains(QStringLiteral(".B plu-cli %1").arg(QLatin1String(command))))
            << command << " missing from the synopsis";
    EXPECT_TRUE(page.contains(QStringLiteral("3 compare"))) << "exit status 3";
}

// Scripts parse plu-cli's output, so it stays English when the windows use a
// language file; both its help and its page say so.
TEST(ManPageTest, PluCliSaysItsMessagesStayEnglish)
{
    const QString help = HelpOf(QStringLiteral("plu-cli"));
    EXPECT_TRUE(help.contains(QStringLiteral("Messages are always in English"))) << help.toStdString();
    const QString page = ManPageText(QStringLiteral("plu-cli")).simplified();
    EXPECT_TRUE(page.contains(QStringLiteral("always in English, whatever language file the windows of")));
}

} // namespace
