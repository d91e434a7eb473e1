#include "labels/LabelLayout.h"
#include "model/Language.h"

#include <QStringList>

#include <cmath>

namespace {

// Rounding of lengths written with one decimal must not refuse a sheet that
// fits to the hundredth of a millimetre.
constexpr double kTolerance = 0.01;

const QSizeF kA4(210.0, 297.0);
const QSizeF kLetter(215.9, 279.4);

LabelLayout Sheet(const char* name, const char* description, QSizeF page, int columns, int rows, QSizeF label,
                  double top, double left, double horizontalGap = 0, double verticalGap = 0)
{
    LabelLayout layout = CustomLayout(page, columns, rows, label, top, left, horizontalGap, verticalGap);
    layout.name = QString::fromLatin1(name);
    layout.description = QString::fromLatin1(description);
    return layout;
}

QString Mm(double value)
{
    return QString::number(value, 'f', 1);
}

bool Finite(QSizeF size)
{
    return std::isfinite(size.width()) && std::isfinite(size.height());
}

} // namespace

LabelLayout CustomLayout(QSizeF page, int columns, int rows, QSizeF label, double topMargin, double leftMargin,
                         double horizontalGap, double verticalGap)
{
    LabelLayout layout;
    layout.name = QStringLiteral("custom");
    layout.description =
        Tr("LabelLayout", "Custom", "Custom, %1 x %2 labels of %3 x %4 mm")
            .arg(columns)
            .arg(rows)
            .arg(QString::number(label.width(), 'g', 6), QString::number(label.height(), 'g', 6));
    layout.page = page;
    layout.columns = columns;
    layout.rows = rows;
    layout.label = label;
    layout.topMargin = topMargin;
    layout.leftMargin = leftMargin;
    layout.horizontalGap = horizontalGap;
    layout.verticalGap = verticalGap;
    return layout;
}

QRectF LabelLayout::LabelRect(int index) const
{
    const int column = index % columns;
    const int row = index / columns;
    return QRectF(leftMargin + column * (label.width() + horizontalGap),
                  topMargin + row * (label.height() + verticalGap), label.width(), label.height());
}

const std::vector<LabelLayout>& NamedLayouts()
{
    static const std::vector<LabelLayout> layouts{
        Sheet("a4-3x8", "A4, 3 x 8 labels of 70 x 37 mm", kA4, 3, 8, {70.0, 37.0}, 0.5, 0.0),
        Sheet("a4-3x7", "A4, 3 x 7 labels of 70 x 42.3 mm", kA4, 3, 7, {70.0, 42.3}, 0.45, 0.0),
        Sheet("a4-2x8", "A4, 2 x 8 labels of 105 x 37 mm", kA4, 2, 8, {105.0, 37.0}, 0.5, 0.0),
        Sheet("a4-4x10", "A4, 4 x 10 labels of 48.5 x 25.4 mm", kA4, 4, 10, {48.5, 25.4}, 21.5, 8.0),
        Sheet("letter-3x10", "Letter, 3 x 10 labels of 66.7 x 25.4 mm", kLetter, 3, 10, {66.7, 25.4}, 12.7, 4.8,
              3.2, 0.0),
        Sheet("roll-58x40", "Label printer roll, one label of 58 x 40 mm a page", {58.0, 40.0}, 1, 1, {58.0, 40.0},
              0.0, 0.0),
    };
    return layouts;
}

QString LayoutDescription(const LabelLayout& layout)
{
    // The named sheets are made once, so their words are looked up when shown.
    return NamedLayout(layout.name)
               ? Language::Text(u"LabelLayout", layout.name, layout.description)
               : layout.description;
}

std::optional<LabelLayout> NamedLayout(const QString& name)
{
    for (const LabelLayout& layout : NamedLayouts()) {
        if (layout.name.compare(name, Qt::CaseInsensitive) == 0)
            return layout;
    }
    return std::nullopt;
}

QString LayoutProblem(const LabelLayout& layout)
{
    if (!Finite(layout.page) || !Finite(layout.label) || !std::isfinite(layout.topMargin)
        || !std::isfinite(layout.leftMargin) || !std::isfinite(layout.horizontalGap)
        || !std::isfinite(layout.verticalGap))
        return Tr("LabelLayout", "NotANumber", "every length must be a number of millimetres");
    if (layout.page.width() <= 0 || layout.page.height() <= 0)
        return Tr("LabelLayout", "NoPage", "the page must be wider and higher than 0 mm");
    if (layout.label.width() <= 0 || layout.label.height() <= 0)
        return Tr("LabelLayout", "NoLabel", "the label must be wider and higher than 0 mm");
    if (layout.columns < 1 || layout.rows < 1)
        return Tr("LabelLayout", "NoGrid",
                  "the grid needs at least 1 column and 1 row, not %1 x %2")
            .arg(layout.columns)
            .arg(layout.rows);
    if (layout.topMargin < 0 || layout.leftMargin < 0 || layout.horizontalGap < 0 || layout.verticalGap < 0)
        return Tr("LabelLayout", "NegativeMargins", "margins and gaps cannot be negative");
    if (layout.label.width() > layout.page.width() + kTolerance
        || layout.label.height() > layout.page.height() + kTolerance)
        return Tr("LabelLayout", "LabelTooLarge",
                  "the label (%1 x %2 mm) is larger than the page (%3 x %4 mm)")
            .arg(Mm(layout.label.width()), Mm(layout.label.height()), Mm(layout.page.width()),
                 Mm(layout.page.height()));
    const double right = layout.leftMargin + layout.columns * layout.label.width()
                         + (layout.columns - 1) * layout.horizontalGap;
    const double bottom =
        layout.topMargin + layout.rows * layout.label.height() + (layout.rows - 1) * layout.verticalGap;
    if (right > layout.page.width() + kTolerance || bottom > layout.page.height() + kTolerance)
        return Tr("LabelLayout", "GridTooLarge",
                  "the grid of %1 x %2 labels with its margins needs %3 x %4 mm, the page is %5 x "
                  "%6 mm")
            .arg(layout.columns)
            .arg(layout.rows)
            .arg(Mm(right), Mm(bottom), Mm(layout.page.width()), Mm(layout.page.height()));
    return QString();
}

std::optional<QSizeF> ParseMillimetres(const QString& text, QChar separator)
{
    const QStringList parts = text.trimmed().split(separator, Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (parts.size() != 2)
        return std::nullopt;
    bool firstOk = false;
    bool secondOk = false;
    const double first = parts[0].trimmed().toDouble(&firstOk);
    const double second = parts[1].trimmed().toDouble(&secondOk);
    if (!firstOk || !secondOk || !std::isfinite(first) || !std::isfinite(second))
        return std::nullopt;
    return QSizeF(first, second);
}

std::optional<QSizeF> ParsePageSize(const QString& text)
{
    if (text.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
        return kA4;
    if (text.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
        return kLetter;
    return ParseMillimetres(text, u'x');
}

std::optional<std::pair<int, int>> ParseGrid(const QString& text)
{
    const QStringList parts = text.trimmed().split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (parts.size() != 2)
        return std::nullopt;
    bool firstOk = false;
    bool secondOk = false;
    const int first = parts[0].toInt(&firstOk);
    const int second = parts[1].toInt(&secondOk);
    if (!firstOk || !secondOk)
        return std::nullopt;
    return std::pair{first, second};
}

QString MillimetresText(QSizeF size, QChar separator)
{
    return QString::number(size.width(), 'g', 6) + separator + QString::number(size.height(), 'g', 6);
}

QString CountProblem(const LabelLayout& layout, int copies, int skip)
{
    if (copies < 1 || copies > kMaxCopies)
        return Tr("LabelLayout", "Copies", "copies must be 1 to %1, not %2")
            .arg(kMaxCopies)
            .arg(copies);
    const int last = layout.LabelsPerPage() - 1;
    if (skip < 0 || skip > last)
        return Tr("LabelLayout", "Skip",
                  "skip must be 0 to %1 (the labels of one sheet less one), not %2")
            .arg(last)
            .arg(skip);
    return QString();
}
