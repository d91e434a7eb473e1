// The source tree keeps its layers: every quoted include names a folder at or
// below the including file's own in src/LAYERS, and no core file includes a
// header of Qt's widget, GUI or printing modules (a folder marked "paints" may
// use QtGui's painter and PDF writer).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kGuiMarker = QStringLiteral("--- gui ---");
const QString kPaintsMark = QStringLiteral("paints");

struct Layers
{
    QStringList order;   // bottom first
    int firstGui = -1;   // index of the first gui folder
    QStringList painting; // core folders that draw pages
    QStringList problems;

    int IndexOf(const QString& folder) const { return order.indexOf(folder); }
    bool IsCore(int index) const { return firstGui < 0 || index < firstGui; }
};

Layers ReadLayers(const QString& path)
{
    Layers layers;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        layers.problems << path + QStringLiteral(": ") + file.errorString();
        return layers;
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (line == kGuiMarker)
            layers.firstGui = int(layers.order.size());
        else
            layers.order << words.first();
        if (words.size() == 2 && words.last() == kPaintsMark)
            layers.painting << words.first();
        else if (words.size() > 1 && line != kGuiMarker)
            layers.problems << QStringLiteral("LAYERS: \"%1\" is not a folder name").arg(line);
    }
    return layers;
}

// The Qt headers a core file must not include: those of the modules that
// need a display. A painting folder may draw with QtGui.
bool IsDisplayHeader(const QString& header, bool painting)
{
    static const QString headers = QLibraryInfo::path(QLibraryInfo::HeadersPath);
    for (const char* module : {"QtWidgets", "QtGui", "QtPrintSupport", "QtCharts"}) {
        if (painting && QLatin1String(module) == QLatin1String("QtGui"))
            continue;
        if (QFileInfo::exists(headers + QLatin1Char('/') + QLatin1String(module) + QLatin1Char('/') + header))
            return true;
    }
    return false;
}

void CheckFile(const Layers& layers, const QDir& src, const QString& path, QStringList& problems)
{
    const QString relative = src.relativeFilePath(path);
    const QString folder = relative.section(QLatin1Char('/'), 0, 0);
    const int own = layers.IndexOf(folder);
    if (own < 0) {
        problems << relative + QStringLiteral(": folder \"") + folder + QStringLiteral("\" is not in LAYERS");
        return;
    }
    static const QRegularExpression quoted(QStringLiteral(R"(^\s*#\s*include\s*"([^/"]+)/[^"]+")"));
    static const QRegularExpression angled(QStringLiteral(R"(^\s*#\s*include\s*<(?:Qt\w+/)?(Q\w+)>)"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        problems << relative + QStringLiteral(": ") + file.errorString();
        return;
    }
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        ++lineNumber;
        const QString where = relative + QLatin1Char(':') + QString::number(lineNumber) + QStringLiteral(": ");
        if (const auto match = quoted.match(line); match.hasMatch()) {
            const QString included = match.captured(1);
            const int index = layers.IndexOf(included);
            if (index > own)
                problems << where + QStringLiteral("%1 includes %2, a layer above it").arg(folder, included);
        }
        if (const auto match = angled.match(line); match.hasMatch() && layers.IsCore(own)
                                                   && IsDisplayHeader(match.captured(1), layers.painting.contains(folder)))
            problems << where + QStringLiteral("core folder %1 includes <%2>").arg(folder, match.captured(1));
    }
}

QStringList LayerViolations(const QString& srcPath)
{
    const QDir src(srcPath);
    Layers layers = ReadLayers(src.filePath(QStringLiteral("LAYERS")));
    QStringList problems = layers.problems;
    for (const QString& folder : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (layers.IndexOf(folder) < 0)
            problems << folder + QStringLiteral(": folder is not in LAYERS");
    }
    QDirIterator files(srcPath, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (QFileInfo(path).dir() == src)
            continue;   // nothing lives at the top
        CheckFile(layers, src, path, problems);
    }
    problems.sort();
    return problems;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(LayersTest, NoFolderIncludesOneAboveItAndNoCoreFileNeedsADisplay)
{
    const QStringList problems = LayerViolations(QStringLiteral(PLU_SOURCE_DIR "/src"));
    EXPECT_TRUE(problems.isEmpty()) << qPrintable(problems.join(QLatin1Char('\n')));
}

TEST(LayersTest, NamesFileAndLineOfEveryBrokenRule)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString src = dir.filePath(QStringLiteral("src"));
    Write(src + QStringLiteral("/LAYERS"), "# bottom first\nmodel\nlink\npages paints\n--- gui ---\nwidgets\n");
    Write(src + QStringLiteral("/model/A.h"), "#pragma once\n#include \"model/B.h\"\n#include \"link/L.h\"\n");
    Write(src + QStringLiteral("/link/L.cpp"), "#include \"model/A.h\"\n\n#include <QWidget>\n#include <QString>\n");
    Write(src + QStringLiteral("/widgets/W.cpp"), "#include \"link/L.h\"\n#include <QtWidgets/QWidget>\n");
    Write(src + QStringLiteral("/stray/S.cpp"), "\n");
    Write(src + QStringLiteral("/pages/P.cpp"), "#include <QPdfWriter>\n#include <QPrinter>\n");

    EXPECT_EQ(LayerViolations(src), (QStringList{
                                        QStringLiteral("link/L.cpp:3: core folder link includes <QWidget>"),
                                        QStringLiteral("model/A.h:3: model includes link, a layer above it"),
                                        QStringLiteral("pages/P.cpp:2: core folder pages includes <QPrinter>"),
                                        QStringLiteral("stray/S.cpp: folder \"stray\" is not in LAYERS"),
                                        QStringLiteral("stray: folder is not in LAYERS"),
                                    }));
}
