#include "labels/LabelPdf.h"
#include "model/Language.h"

#include "files/FileIo.h"
#include "files/FilePath.h"
#include "labels/LabelPainter.h"

#include <QBuffer>
#include <QPdfWriter>

namespace {

// Bars of 0.02 mm steps: fine enough for any printer the file goes to.
constexpr int kPdfResolution = 1200;

} // namespace

QString LabelsPdfBytes(const LabelLayout& layout, const std::vector<LabelArticle>& sequence, QByteArray& bytes)
{
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return Tr("LabelPainter", "NoMemory", "no memory for the pages");
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolution);
    writer.setCreator(QStringLiteral("TQR716 PLU manager"));
    writer.setTitle(QStringLiteral("Shelf labels"));
    return PaintLabelPages(writer, layout, sequence);
}

QString WriteLabelsPdf(const QString& path, const LabelLayout& layout, const std::vector<LabelArticle>& sequence)
{
    QByteArray bytes;
    if (const QString problem = LabelsPdfBytes(layout, sequence, bytes); !problem.isEmpty())
        return problem;
    WriteFileAtomically(FilePath(path), bytes);
    return QString();
}
