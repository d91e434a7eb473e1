#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

// A sheet of labels: the page, the grid of labels on it and where the grid
// starts. Every length is in millimetres; labels are counted row by row from
// the top left, from 0.
struct LabelLayout
{
    QString name;         // "a4-3x8"; "custom" for one set by hand
    QString description;  // "A4, 3 x 8 labels of 70 x 37 mm"
    QSizeF page;
    int columns = 0;
    int rows = 0;
    QSizeF label;
    double topMargin = 0;
    double leftMargin = 0;
    double horizontalGap = 0; // between two columns
    double verticalGap = 0;   // between two rows

    int LabelsPerPage() const { return columns * rows; }
    // The place of label index (0 .. LabelsPerPage() - 1) on its page.
    QRectF LabelRect(int index) const;
};

// A layout set by hand, named "custom".
LabelLayout CustomLayout(QSizeF page, int columns, int rows, QSizeF label, double topMargin, double leftMargin,
                         double horizontalGap, double verticalGap);

// The sheets the program knows, in the order offered.
const std::vector<LabelLayout>& NamedLayouts();
// The layout's description in the operator's language.
QString LayoutDescription(const LabelLayout& layout);
std::optional<LabelLayout> NamedLayout(const QString& name);

// Why the layout cannot be printed ("the grid of 3 x 8 labels needs 212.0 x
// 296.0 mm, the page is 210.0 x 297.0 mm"), or empty when it can.
QString LayoutProblem(const LabelLayout& layout);

// Command-line and settings forms of the custom layout's values: "210x297"
// (also "A4" and "Letter" for a page), "3x8", "10,5". Nothing when the text
// is not two numbers of that form.
std::optional<QSizeF> ParsePageSize(const QString& text);
std::optional<QSizeF> ParseMillimetres(const QString& text, QChar separator);
std::optional<std::pair<int, int>> ParseGrid(const QString& text);
QString MillimetresText(QSizeF size, QChar separator);

// The most copies of one article, and the labels a sheet may skip (the
// ones already used): copies 1 .. kMaxCopies, skip 0 .. LabelsPerPage() - 1.
inline constexpr int kMaxCopies = 100;
// Why copies or skip cannot be used with the layout, or empty.
QString CountProblem(const LabelLayout& layout, int copies, int skip);
